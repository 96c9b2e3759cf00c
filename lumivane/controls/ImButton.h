#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

#include "lumivane/framework/Button.h"
#include "lumivane/gfx/raster/Color.h"

namespace lumivane {

// An owner-drawn push button: six looks, hot tracking, a pushed face, a picture strip beside the
// caption and a frame animation while the pointer is over it.
//
// Pointer and button state (FMouseIn, FMouseHeld, FPressed):
//   pointer move, not hot, inside       enter steps (hot; pushed again while held)
//   CM_MOUSEENTER / CM_MOUSELEAVE       enter / leave steps when not hot / hot (once per crossing)
//   timer tick, cursor outside          leave steps
//   timer tick, cursor inside           Repaint when Animated
//   left press or double click          held and pushed (not while designing); then native press
//   left release                        neither held nor pushed; then native release (click)
//   focus moves                         FIsDefault follows, Refresh

enum TImBtnKind : uint8_t { ibkNormal, ibkFlat, ibkBevelFlat, ibkUltraFlat, ibkFullPicture, ibkWindowsXP };
inline constexpr std::string_view ImBtnKindNames[] = {"ibkNormal",     "ibkFlat",        "ibkBevelFlat",
                                                      "ibkUltraFlat",  "ibkFullPicture", "ibkWindowsXP"};

// State bits of one paint, handed to the painters and to OnOwnerDraw.
inline constexpr int ibsPushed = 0x01, ibsFocused = 0x02, ibsHot = 0x04, ibsAnimated = 0x08, ibsDisabled = 0x10,
                     ibsDefault = 0x20;

// Sender, the canvas of the draw request, the item rectangle, the state bits and the button's
// animation counter (the handler may change it).
struct TImOwnerDrawEvent : TEvent<TObject*, TCanvas*, TRect*, int, int&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, lpCanvas, lpRect, iStatus, iCounter";
};

// Four colours of one button: 0 DefaultColor (frame of a focused or default button),
// 1 DisabledColor, 2 PushedColor, 3 HotColor (faces). clDefault means the button's Color.
class TImButtonColors : public TPersistent {
    LUMI_CLASS(TImButtonColors, TPersistent)
public:
    explicit TImButtonColors(TWinControl* AOwner);

    // Every slot back to clDefault.
    void ResetToDefault();
    // Copies the four slots of another colour set; any other source is ignored.
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override { return FOwnerControl; }

    // clDefault outside 0..3; a write outside 0..3 is ignored. Every write repaints the owner.
    TColor fGetIbColor(int index) const;
    void fSetIbColor(int index, TColor value);
    // The slots by their published names.
    TColor DefaultColor() const { return fGetIbColor(0); }
    TColor DisabledColor() const { return fGetIbColor(1); }
    TColor PushedColor() const { return fGetIbColor(2); }
    TColor HotColor() const { return fGetIbColor(3); }
    void SetDefaultColor(TColor Value) { fSetIbColor(0, Value); }
    void SetDisabledColor(TColor Value) { fSetIbColor(1, Value); }
    void SetPushedColor(TColor Value) { fSetIbColor(2, Value); }
    void SetHotColor(TColor Value) { fSetIbColor(3, Value); }

private:
    void OwnerChanged();

    TWinControl* FOwnerControl;
    TColor FIbColors[4];
};

class TCustomImButton : public TButton {
    LUMI_CLASS(TCustomImButton, TButton)
public:
    explicit TCustomImButton(TComponent* AOwner);
    ~TCustomImButton() override;

    // Properties.
    bool fGetDefaultDraw() const { return FDefaultDraw; }
    void fSetDefaultDraw(bool Value) { FDefaultDraw = Value; }
    bool fGetAnimate() const { return FAnimated; }
    void fSetAnimate(bool Value);
    int fGetAniSpd() const;
    void fSetAniSpd(int Value);
    int fGetAniCount() const { return FAnimatedCount; }
    void fSetAniCount(int Value);
    int fGetSpacing() const { return FSpacing; }
    void fSetSpacing(int Value);
    bool fGetFocusRect() const { return FFocusRect; }
    void fSetFocusRect(bool Value);
    TImBtnKind fGetLooks() const { return FLooks; }
    // Also resets the colour set (ultra-flat gets its own colours), switches the focus rectangle
    // and shapes the window (rounded for the XP look).
    void fSetLooks(TImBtnKind Value);
    TImButtonColors* fGetBtnColors() const { return FColors.get(); }
    void fSetBtnColors(TImButtonColors* Value);
    TColor fGetHotTextColor() const { return FHotTextColor; }
    void fSetHotTextColor(TColor Value) { FHotTextColor = Value; }
    TPicture* fGetNomPicture() const { return FPicture.get(); }
    void fSetNomPicture(TPicture* Value);
    int fGetPicCount() const { return FPictureCount; }
    void fSetPicCount(int Value);
    TPicture* fGetHotPicture() const { return FAnimatePicture.get(); }
    void fSetHotPicutre(TPicture* Value);

    // Events. OnMouseEnter and OnMouseLeave are the framework's slots, fired by the enter and
    // leave steps (with the button's exception guard), not by the framework.
    const TImOwnerDrawEvent& fGetOnOwnerDraw() const { return FOnOwnerDraw; }
    void fSetOnOwnerDraw(const TImOwnerDrawEvent& Value) { FOnOwnerDraw = Value; }
    const TNotifyEvent& fGetOnMouseEnter() const { return OnMouseEnter; }
    void fSetOnMouseEnter(const TNotifyEvent& Value) { OnMouseEnter = Value; }
    const TNotifyEvent& fGetOnMouseLeave() const { return OnMouseLeave; }
    void fSetOnMouseLeave(const TNotifyEvent& Value) { OnMouseLeave = Value; }
    // Assigned like every event (Button->OnOwnerDraw = ...).
    TEventRef<TCustomImButton, TImOwnerDrawEvent, &TCustomImButton::fGetOnOwnerDraw, &TCustomImButton::fSetOnOwnerDraw>
        OnOwnerDraw{this};

    // The properties by their published names.
    bool DefaultDraw() const { return fGetDefaultDraw(); }
    void SetDefaultDraw(bool Value) { fSetDefaultDraw(Value); }
    bool Animated() const { return fGetAnimate(); }
    void SetAnimated(bool Value) { fSetAnimate(Value); }
    int AnimateSpeed() const { return fGetAniSpd(); }
    void SetAnimateSpeed(int Value) { fSetAniSpd(Value); }
    int AnimatedCount() const { return fGetAniCount(); }
    void SetAnimatedCount(int Value) { fSetAniCount(Value); }
    int Spacing() const { return fGetSpacing(); }
    void SetSpacing(int Value) { fSetSpacing(Value); }
    bool FocusRect() const { return fGetFocusRect(); }
    void SetFocusRect(bool Value) { fSetFocusRect(Value); }
    TImBtnKind Looks() const { return fGetLooks(); }
    void SetLooks(TImBtnKind Value) { fSetLooks(Value); }
    TImButtonColors* Colors() const { return fGetBtnColors(); }
    void SetColors(TImButtonColors* Value) { fSetBtnColors(Value); }
    TColor HotTextColor() const { return fGetHotTextColor(); }
    void SetHotTextColor(TColor Value) { fSetHotTextColor(Value); }
    TPicture* Picture() const { return fGetNomPicture(); }
    void SetPicture(TPicture* Value) { fSetNomPicture(Value); }
    int PictureCount() const { return fGetPicCount(); }
    void SetPictureCount(int Value) { fSetPicCount(Value); }
    TPicture* AnimatePicture() const { return fGetHotPicture(); }
    void SetAnimatePicture(TPicture* Value) { fSetHotPicutre(Value); }

    // State, for painters and tests.
    bool MouseIn() const { return FMouseIn; }
    bool MouseHeld() const { return FMouseHeld; }
    bool Pressed() const { return FPressed; }
    bool IsDefault() const { return FIsDefault; }
    int Counter() const { return FCounter; }
    TTimer* Timer() const { return FTimer; }

    // The enter and leave steps.
    void fMouseEnter();
    void fMouseLeave();
    // Hot tracking: leaving is noticed here when no leave notification comes; repaints for the
    // animation while the pointer stays.
    void ImMousePosTimer(TObject* Sender);

    // Painting of one draw request.
    void DrawItem(const DRAWITEMSTRUCT& DrawItemStruct);
    TColor fGetBtnColor(int State) const;
    TColor fGetFrameColor(int State) const;
    void fDrawFrameRect(TCanvas* Canvas, TRect Rect, int State);
    void fDefaultDrawNormal(TCanvas* Canvas, TRect Rect, int State);
    void fDefaultDrawFullPc(TCanvas* Canvas, TRect Rect, int State);

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void SetButtonStyle(bool ADefault) override;

    void WMLButtonDblClk(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CNDrawItem(TMessage& Message);
    void CNMeasureItem(TMessage& Message);

    TImOwnerDrawEvent FOnOwnerDraw;
    TImBtnKind FLooks = ibkNormal;
    std::unique_ptr<TImButtonColors> FColors;
    TColor FHotTextColor = clBlue;
    bool FDefaultDraw = true;
    bool FFocusRect = true;
    bool FMouseIn = false;
    bool FMouseHeld = false;
    bool FPressed = false;
    bool FAnimated = false;
    bool FIsDefault = false;
    TTimer* FTimer = nullptr;
    int FCounter = 0;
    int FSpacing = 2;
    int FPictureCount = 0;
    int FAnimatedCount = 0;
    std::unique_ptr<TPicture> FAnimatePicture;
    std::unique_ptr<TPicture> FPicture;

private:
    // The rounded window of the XP look, or none for the other looks.
    void _fApplyRegion();
    // The picture and frame index a face shows in a state; null when none. Advances the
    // animation counter when the animation strip is chosen.
    TPicture* _fChoosePicture(int State, int& Index, int& CountProp);
    // Frame count of a strip and the index fallback (which restarts the counter).
    int _fFrameCount(TGraphic* Graphic, int CountProp, bool Stacked) const;
    void _fFixIndex(int Count, int& Index);
    void _fDrawEmbossed(TCanvas* Canvas, TBitmap* Strip, TBitmap* Tmp, const TRect& Pr);
};

// The published button.
class TImButton : public TCustomImButton {
    LUMI_CLASS(TImButton, TCustomImButton)
public:
    explicit TImButton(TComponent* AOwner) : TCustomImButton(AOwner) {}
    ~TImButton() override = default;
};

namespace ImButton {
// Puts the unit's classes on the library's palette page.
void Register();
}  // namespace ImButton

}  // namespace lumivane
