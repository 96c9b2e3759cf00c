#pragma once
#include <memory>

#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/GraphicControl.h"
#include "lumivane/framework/CustomControl.h"

namespace lumivane {

// The picture control and the panel.

enum TProgressStage { psStarting, psRunning, psEnding };
struct TProgressEvent : TEvent<TObject*, TProgressStage, uint8_t, bool, const TRect&, const std::string&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Stage, PercentDone, RedrawNow, R, Msg";
};

// A picture on its parent, without a window. The picture is drawn in DestRect: at the top-left
// at its own size, centred (Center), scaled to the client area (Stretch) or scaled keeping its
// aspect (Proportional; only shrinks unless Stretch is set too). With AutoSize the control takes
// the picture's size whenever the picture changes. Transparent draws a bitmap without its
// transparent colour (icons are always drawn with their mask).
class TImage : public TGraphicControl {
    LUMI_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool IncrementalDisplay() const { return FIncrementalDisplay; }
    void SetIncrementalDisplay(bool Value) { FIncrementalDisplay = Value; }
    void SetAutoSize(bool Value) override;

    // Where the picture is drawn, in client coordinates.
    TRect DestRect();

    // Stored only: pictures load whole, so there is no progress to report.
    TProgressEvent OnProgress;

protected:
    void Paint() override;
    // The picture's OnChange: resize (AutoSize), carry Transparent over, repaint.
    virtual void PictureChanged(TObject* Sender);

private:
    void AdjustToPicture();

    std::unique_ptr<TPicture> FPicture;
    bool FCenter = false;
    bool FStretch = false;
    bool FProportional = false;
    bool FTransparent = false;
    bool FIncrementalDisplay = false;
};

// A window with raised or lowered 3D frames (outer bevel, a border of Color BorderWidth wide,
// inner bevel), filled with Color, and its caption centred vertically and aligned by Alignment.
// Aligned children are placed inside the frames.
class TCustomPanel : public TCustomControl {
    LUMI_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The panel's own bevels (they hide the bevel values every windowed control stores).
    TBevelCut BevelInner() const { return FPanelBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FPanelBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FPanelBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }
    bool Locked() const { return FLocked; }
    void SetLocked(bool Value) { FLocked = Value; }

    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    // Width of everything drawn inside the client edge: border line, bevels and border.
    int FrameWidth() const;

    TAlignment FAlignment = taCenter;
    TBevelCut FPanelBevelInner = bvNone;
    TBevelCut FPanelBevelOuter = bvRaised;
    int FPanelBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    bool FFullRepaint = true;
    bool FLocked = false;
};

class TPanel : public TCustomPanel {
    LUMI_CLASS(TPanel, TCustomPanel)
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// Draws Width nested one-pixel frames inside Rect: top and left edges in TopColor, bottom and
// right in BottomColor (the bottom-left and top-right corner pixels go to BottomColor). Rect
// shrinks by Width on every side.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// Registers TImage, TPanel and their bases with the class registry. Safe to call again.
void RegisterExtControls();

}  // namespace lumivane
