#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "lumivane/controls/Forward.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/CustomControl.h"

namespace lumivane {

// The validating edit: a single-line edit that lets through only the characters its kind allows
// (typed one at a time or pasted in one go), hosted in a control that paints one of four frames
// and presents the pair as one edit.

// ---- The inner edit ----

// The edit that filters. It has no border of its own (its host draws the frame) and tells its
// host, through OnMouseEnter / OnMouseLeave, when the pointer comes onto it or leaves it; those
// notifications are not passed on to the parent.
//
// The filter looks at one character at a time, against the text and selection as they stand;
// text set by program code, or present when the kind changes, is never validated.
class TKdCustomInplaceEdit : public TCustomEdit {
    LUMI_CLASS(TKdCustomInplaceEdit, TCustomEdit)
public:
    enum TValidateType : uint8_t {
        vtNone,       // everything, pastes included
        vtCustom,     // the characters listed by ValidateString
        vtInteger,    // digits and one leading minus sign
        vtIntegerPs,  // digits
        vtFloat,      // digits, one leading minus sign, one decimal point
        vtFloatPs,    // digits and one decimal point
        vtHex,        // digits, a-f, A-F
        vtHexUp,      // as vtHex, letters made upper case
        vtHexLo       // as vtHex, letters made lower case
    };

    explicit TKdCustomInplaceEdit(TComponent* AOwner);
    ~TKdCustomInplaceEdit() override;

    // Kind and set are coupled: a kind other than vtCustom empties the set; a non-empty set
    // makes the kind vtCustom. Neither touches the text.
    TValidateType fGetVType() const { return FVType; }
    void fSetVType(TValidateType Value);
    const std::string& fGetVString() const { return FVString; }
    void fSetVString(const std::string& Value);

    // Runs the current kind's filter on Key (a character, a Unicode code point): returns it
    // (case-changed for the hex kinds), or 0 when refused. Key is changed in place the same way.
    char32_t fProcessKey(char32_t& Key);
    void fProcessKeyInteger(char32_t& Key);
    void fProcessKeyIntegerPs(char32_t& Key);
    void fProcessKeyFloat(char32_t& Key);
    void fProcessKeyFloatPs(char32_t& Key);
    void fProcessKeyHex(char32_t& Key);
    void fProcessKeyHexUp(char32_t& Key);
    void fProcessKeyHexLo(char32_t& Key);
    void fProcessKeyCustom(char32_t& Key);

    bool MouseIn() const { return FMouseIn; }
    // Part of its host, which is the entry a screen reader sees.
    void GetAccessible(TAccessibleInfo& Info) override { Info.Role = TAccRole::None; }

    void Dispatch(TMessage& Message) override;

protected:
    // Only characters that pass the filter reach OnKeyPress and the edit.
    void KeyPress(char32_t& Key) override;
    void WMPaste(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

    TValidateType FVType = vtNone;
    std::string FVString;
    bool FMouseIn = false;

private:
    // The state the filters judge against: during a paste, the one taken before it; otherwise
    // the edit's as it stands (kept here, so what a rule looked up stays looked up).
    const TValidateState& _fState();
    const TValidateState* FPasteState = nullptr;
    std::unique_ptr<TValidateState> FKeyState;
};

using TValidateType = TKdCustomInplaceEdit::TValidateType;
inline constexpr TValidateType vtNone = TKdCustomInplaceEdit::vtNone, vtCustom = TKdCustomInplaceEdit::vtCustom,
                               vtInteger = TKdCustomInplaceEdit::vtInteger,
                               vtIntegerPs = TKdCustomInplaceEdit::vtIntegerPs,
                               vtFloat = TKdCustomInplaceEdit::vtFloat, vtFloatPs = TKdCustomInplaceEdit::vtFloatPs,
                               vtHex = TKdCustomInplaceEdit::vtHex, vtHexUp = TKdCustomInplaceEdit::vtHexUp,
                               vtHexLo = TKdCustomInplaceEdit::vtHexLo;
inline constexpr std::string_view ValidateTypeNames[] = {"vtNone",      "vtCustom", "vtInteger",
                                                         "vtIntegerPs", "vtFloat",  "vtFloatPs",
                                                         "vtHex",       "vtHexUp",  "vtHexLo"};

// ---- The framed control ----

enum TKdEditBorderStyle : uint8_t {
    ebsNone,      // no frame
    ebsNormal,    // sunken double edge
    ebsFlat,      // sunken single edge
    ebsUltraFlat  // three rings coloured by state (Colors)
};
inline constexpr std::string_view EditBorderStyleNames[] = {"ebsNone", "ebsNormal", "ebsFlat", "ebsUltraFlat"};

// Four colours of the ultra-flat frame: 0 DefaultColor (outer ring, idle; else black),
// 1 DisabledColor (inner rings and the edit's background when disabled; else clBtnFace),
// 2 FocusedColor (outer and second ring when focused; else navy), 3 HotColor (outer ring under
// the pointer; else blue). clDefault means the fallback.
class TValidateEditColors : public TPersistent {
    LUMI_CLASS(TValidateEditColors, TPersistent)
public:
    explicit TValidateEditColors(TWinControl* AOwner);

    // clDefault outside 0..3; a write outside 0..3 is ignored. Every write repaints the owner.
    TColor fGetVEColor(int Index) const;
    void fSetVEColor(int Index, TColor Value);
    // Copies the four slots of another colour set; any other source is ignored.
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override { return FOwnerControl; }

    TColor DefaultColor() const { return fGetVEColor(0); }
    TColor DisabledColor() const { return fGetVEColor(1); }
    TColor FocusedColor() const { return fGetVEColor(2); }
    TColor HotColor() const { return fGetVEColor(3); }
    void SetDefaultColor(TColor Value) { fSetVEColor(0, Value); }
    void SetDisabledColor(TColor Value) { fSetVEColor(1, Value); }
    void SetFocusedColor(TColor Value) { fSetVEColor(2, Value); }
    void SetHotColor(TColor Value) { fSetVEColor(3, Value); }

private:
    TWinControl* FOwnerControl;
    TColor FColors[4];
};

// Where the pointer is, one bit per source, in TCustomValidateEdit::FMouseInState. The bits
// 0x0002 and 0x0004 belong to descendants (the up-down edit's arrow buttons).
inline constexpr uint32_t kMouseInEdit = 0x0001, kMouseInFrame = 0x8000;

// The inner edit inside a painted frame. Text, edit properties, keyboard focus and the key and
// change events belong to the inner edit; its click and mouse events are fired again as this
// control's, in this control's coordinates; pointer over the frame and pointer over the inner
// edit make one hot state with one OnMouseEnter / OnMouseLeave pair.
class TCustomValidateEdit : public TCustomControl {
    LUMI_CLASS(TCustomValidateEdit, TCustomControl)
public:
    explicit TCustomValidateEdit(TComponent* AOwner);
    ~TCustomValidateEdit() override;

    // Operations for descendants to extend.
    virtual void Clear();
    virtual int GetSelTextBuf(char* Buffer, int BufSize);
    // Edge width of the border style: 0 none, 2 normal, 1 flat, 2 ultra-flat.
    virtual int GetBorderWidth();
    // Lays out the children; the base places the inner edit (_fEdgeWidthAdj).
    virtual void EdgeWidthAdj();
    // Fire OnMouseEnter / OnMouseLeave when the hot state (FMouseInState != 0) changes from what
    // was last reported. A pointer source sets or clears its bit first, then calls one of them.
    virtual void EvMouseEnter();
    virtual void EvMouseLeave();

    bool Focused() const override { return FFocused; }
    // An entry whose text, caret and focus are the inner edit's; text inserted goes through the
    // filter as typed text does. Its parts are not exposed.
    void GetAccessible(TAccessibleInfo& Info) override;
    void GetAccessibleChildren(std::vector<TControl*>&) override {}
    std::string AccessibleText() override { return FEdit->AccessibleText(); }
    // The inner edit's geometry, moved into this control's client area.
    TRect AccessibleCharRect(int Offset) override {
        const TRect r = FEdit->AccessibleCharRect(Offset);
        if (r == TRect{}) return r;
        return {r.Left + FEdit->Left(), r.Top + FEdit->Top(), r.Right + FEdit->Left(), r.Bottom + FEdit->Top()};
    }
    int AccessibleOffsetAt(TPoint Client) override {
        return FEdit->AccessibleOffsetAt({Client.x - FEdit->Left(), Client.y - FEdit->Top()});
    }
    int AccessibleCaret() override { return FEdit->AccessibleCaret(); }
    bool SetAccessibleCaret(int Offset) override { return FEdit->SetAccessibleCaret(Offset); }
    bool InsertAccessibleText(int Offset, const std::string& Text) override;
    bool DeleteAccessibleText(int Start, int End) override;
    bool GrabAccessibleFocus() override { return FEdit->GrabAccessibleFocus(); }
    void SetEnabled(bool Value) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Click() override;
    void Loaded() override;
    void Dispatch(TMessage& Message) override;

    // Properties of the control.
    TKdCustomInplaceEdit* InnerEdit() const { return FEdit; }
    TValidateType fGetVType() const { return FEdit->fGetVType(); }
    void fSetVType(TValidateType Value) { FEdit->fSetVType(Value); }
    const std::string& fGetVString() const { return FEdit->fGetVString(); }
    void fSetVString(const std::string& Value) { FEdit->fSetVString(Value); }
    TValidateEditColors* fGetColors() const { return FColors.get(); }
    void fSetColors(TValidateEditColors* Value);
    TKdEditBorderStyle fGetBorderStyle() const { return FBorderStyle; }
    // Lays out and repaints every time, also when the value is unchanged.
    void fSetBorderStyle(TKdEditBorderStyle Value);
    // The control's OnMouseEnter and OnMouseLeave (the framework's slots; fired by EvMouseEnter
    // and EvMouseLeave for the hot state as a whole).
    const TNotifyEvent& fGetOnMouseEnter() const { return OnMouseEnter; }
    void fSetOnMouseEnter(const TNotifyEvent& Value) { OnMouseEnter = Value; }
    const TNotifyEvent& fGetOnMouseLeave() const { return OnMouseLeave; }
    void fSetOnMouseLeave(const TNotifyEvent& Value) { OnMouseLeave = Value; }

    // Properties of the inner edit.
    bool fGetAutoSelect() const { return FEdit->AutoSelect(); }
    void fSetAutoSelect(bool Value) { FEdit->SetAutoSelect(Value); }
    TEditCharCase fGetCharCase() const { return FEdit->CharCase(); }
    void fSetCharCase(TEditCharCase Value) { FEdit->SetCharCase(Value); }
    bool fGetHideSelection() const { return FEdit->HideSelection(); }
    void fSetHideSelection(bool Value) { FEdit->SetHideSelection(Value); }
    TImeMode fGetImeMode() const { return FEdit->ImeMode(); }
    void fSetImeMode(TImeMode Value) { FEdit->SetImeMode(Value); }
    const std::string& fGetImeName() const { return FEdit->ImeName(); }
    void fSetImeName(const std::string& Value) { FEdit->SetImeName(Value); }
    int fGetMaxLength() const { return FEdit->MaxLength(); }
    void fSetMaxLength(int Value) { FEdit->SetMaxLength(Value); }
    bool fGetOEMConvert() const { return FEdit->OEMConvert(); }
    void fSetOEMConvert(bool Value) { FEdit->SetOEMConvert(Value); }
    char32_t fGetPasswordChar() const { return FEdit->PasswordChar(); }
    void fSetPasswordChar(char32_t Value) { FEdit->SetPasswordChar(Value); }
    bool fGetReadOnly() const { return FEdit->ReadOnly(); }
    void fSetReadOnly(bool Value) { FEdit->SetReadOnly(Value); }
    // The selection of the inner edit; a written text replaces it unfiltered.
    std::string fGetSelText() const { return FEdit->SelText(); }
    void fSetSelText(const std::string& Value) { FEdit->SetSelText(Value); }
    std::string SelText() const { return fGetSelText(); }
    void SetSelText(const std::string& Value) { fSetSelText(Value); }

    // Events kept by the inner edit, fired with it as sender. The key events' accessors are
    // virtual: the up-down edit keeps its own.
    const TNotifyEvent& fGetOnChange() const { return FEdit->OnChange; }
    void fSetOnChange(const TNotifyEvent& Value) { FEdit->OnChange = Value; }
    virtual const TKeyEvent& fGetKeyDown() const { return FEdit->OnKeyDown; }
    virtual void fSetKeyDown(const TKeyEvent& Value) { FEdit->OnKeyDown = Value; }
    const TKeyPressEvent& fGetKeyPress() const { return FEdit->OnKeyPress; }
    void fSetKeyPress(const TKeyPressEvent& Value) { FEdit->OnKeyPress = Value; }
    virtual const TKeyEvent& fGetKeyUp() const { return FEdit->OnKeyUp; }
    virtual void fSetKeyUp(const TKeyEvent& Value) { FEdit->OnKeyUp = Value; }

    // The events by their published names, assigned like every event (Edit->OnChange = ...)
    // through the accessors above. They stand for the framework's key slots of this control,
    // which the inner edit's keys never reach.
    TEventRef<TCustomValidateEdit, TNotifyEvent, &TCustomValidateEdit::fGetOnChange, &TCustomValidateEdit::fSetOnChange>
        OnChange{this};
    TEventRef<TCustomValidateEdit, TKeyEvent, &TCustomValidateEdit::fGetKeyDown, &TCustomValidateEdit::fSetKeyDown>
        OnKeyDown{this};
    TEventRef<TCustomValidateEdit, TKeyPressEvent, &TCustomValidateEdit::fGetKeyPress,
              &TCustomValidateEdit::fSetKeyPress>
        OnKeyPress{this};
    TEventRef<TCustomValidateEdit, TKeyEvent, &TCustomValidateEdit::fGetKeyUp, &TCustomValidateEdit::fSetKeyUp>
        OnKeyUp{this};

    // The properties by their published names.
    TValidateType ValidateType() const { return fGetVType(); }
    void SetValidateType(TValidateType Value) { fSetVType(Value); }
    const std::string& ValidateString() const { return fGetVString(); }
    void SetValidateString(const std::string& Value) { fSetVString(Value); }
    TValidateEditColors* Colors() const { return fGetColors(); }
    void SetColors(TValidateEditColors* Value) { fSetColors(Value); }
    TKdEditBorderStyle BorderStyle() const { return fGetBorderStyle(); }
    void SetBorderStyle(TKdEditBorderStyle Value) { fSetBorderStyle(Value); }
    bool AutoSelect() const { return fGetAutoSelect(); }
    void SetAutoSelect(bool Value) { fSetAutoSelect(Value); }
    TEditCharCase CharCase() const { return fGetCharCase(); }
    void SetCharCase(TEditCharCase Value) { fSetCharCase(Value); }
    bool HideSelection() const { return fGetHideSelection(); }
    void SetHideSelection(bool Value) { fSetHideSelection(Value); }
    TImeMode ImeMode() const { return fGetImeMode(); }
    void SetImeMode(TImeMode Value) { fSetImeMode(Value); }
    const std::string& ImeName() const { return fGetImeName(); }
    void SetImeName(const std::string& Value) { fSetImeName(Value); }
    int MaxLength() const { return fGetMaxLength(); }
    void SetMaxLength(int Value) { fSetMaxLength(Value); }
    bool OEMConvert() const { return fGetOEMConvert(); }
    void SetOEMConvert(bool Value) { fSetOEMConvert(Value); }
    char PasswordChar() const { return fGetPasswordChar(); }
    void SetPasswordChar(char Value) { fSetPasswordChar(Value); }
    bool ReadOnly() const { return fGetReadOnly(); }
    void SetReadOnly(bool Value) { fSetReadOnly(Value); }

    // State, for painters and tests.
    uint32_t MouseInState() const { return FMouseInState; }
    uint32_t MouseInReported() const { return FMouseInReported; }

protected:
    void Paint() override;
    void Resize() override;
    void DoEnter() override;
    void DoExit() override;

    // The base layout: the inner edit inset by the edge width plus one (0 without an edge).
    void _fEdgeWidthAdj();
    void _DrawNormalEdge(TCanvas* Canvas, const TRect& R);
    void _DrawFlatEdge(TCanvas* Canvas, const TRect& R);
    void _DrawUltraFlatEdge(TCanvas* Canvas, const TRect& R);
    // The colour of a slot, or its fallback while the slot is clDefault.
    TColor _fSlotColor(int Index) const;

    void WMSetFocus(TMessage& Message);
    void WMSetText(TMessage& Message);
    void WMGetText(TMessage& Message);
    void WMGetTextLength(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

    TKdCustomInplaceEdit* FEdit = nullptr;
    TKdEditBorderStyle FBorderStyle = ebsNormal;
    std::unique_ptr<TValidateEditColors> FColors;
    bool FFocused = false;
    uint32_t FMouseInState = 0;
    uint32_t FMouseInReported = 0;

private:
    // Raises the enter or leave handler; the reported state and the repaint follow it, even when
    // it raises (unless it freed this control).
    void _fReportMouseCrossing(const TNotifyEvent& Handler);
    // The inner edit's events, fired again as this control's.
    void _EditOnClick(TObject* Sender);
    void _EditOnDblClick(TObject* Sender);
    void _EditMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void _EditMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void _EditMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void _EditMouseEnter(TObject* Sender);
    void _EditMouseLeave(TObject* Sender);
};

// The validating edit with its properties published.
class TValidateEdit : public TCustomValidateEdit {
    LUMI_CLASS(TValidateEdit, TCustomValidateEdit)
public:
    explicit TValidateEdit(TComponent* AOwner) : TCustomValidateEdit(AOwner) {}
};

namespace ValidateEdit {
// Puts the unit's published control on the library's palette page.
void Register();
}  // namespace ValidateEdit

}  // namespace lumivane
