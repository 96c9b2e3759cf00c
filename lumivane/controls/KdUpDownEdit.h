#pragma once
#include <cstdint>
#include <memory>

#include "lumivane/controls/Forward.h"
#include "lumivane/controls/KdUpDownButton.h"
#include "lumivane/controls/ValidateEdit.h"

namespace lumivane {

// The up-down edit: a validating edit that holds a signed 64-bit integer, with an optional lower
// and upper limit, stepped by 1 with the Up and Down keys and with two arrow buttons stacked at
// its right edge.
//
// The value is not stored: Value is the parse of the text every time it is read (text that does
// not parse reads as MinValue), so typing may leave it outside the limits. Clamping happens only
// when Value, MinValue or MaxValue is written and at each step. Limits (0, 0) mean none.
class TKdCustomUpDownEdit : public TCustomValidateEdit, public TKdUpDownButtonHost {
    LUMI_CLASS(TKdCustomUpDownEdit, TCustomValidateEdit)
public:
    static constexpr int kButtonWidth = 15;
    // Bits of FMouseInState for the pointer over the up and the down button.
    static constexpr uint32_t kMouseInUpButton = 0x0002, kMouseInDownButton = 0x0004;

    explicit TKdCustomUpDownEdit(TComponent* AOwner);
    ~TKdCustomUpDownEdit() override;

    // Properties.
    int64_t fGetValue();
    // Clamps to the limits, then writes the decimal text (an unchanged text raises no OnChange).
    void fSetValue(int64_t Value);
    int64_t fGetMinVal() const { return FMinValue; }
    int64_t fGetMaxVal() const { return FMaxValue; }
    // Writes one limit (moving the other along if they would cross), chooses ValidateType by the
    // limits, and pulls the value inside on this limit's side only.
    void fSetMinVal(int64_t Value);
    void fSetMaxVal(int64_t Value);
    TKdUpDownButtonColors* fGetUpDnColors() const { return FUpDownColors.get(); }
    void fSetUpDnColors(TKdUpDownButtonColors* Value);
    // The control's own key events, fired with this control as sender. They replace the
    // validating edit's accessors, which would hand the handler to the inner edit, whose key
    // events EvKeyDown and EvKeyUp take.
    const TKeyEvent& fGetKeyDown() const override { return FOnKeyDown; }
    void fSetKeyDown(const TKeyEvent& Value) override { FOnKeyDown = Value; }
    const TKeyEvent& fGetKeyUp() const override { return FOnKeyUp; }
    void fSetKeyUp(const TKeyEvent& Value) override { FOnKeyUp = Value; }

    // The properties by their published names (Value reads the text every time, see above).
    int64_t Value() { return fGetValue(); }
    void SetValue(int64_t Value) { fSetValue(Value); }
    int64_t MinValue() const { return fGetMinVal(); }
    void SetMinValue(int64_t Value) { fSetMinVal(Value); }
    int64_t MaxValue() const { return fGetMaxVal(); }
    void SetMaxValue(int64_t Value) { fSetMaxVal(Value); }
    TKdUpDownButtonColors* UpDownColors() const { return fGetUpDnColors(); }
    void SetUpDownColors(TKdUpDownButtonColors* Value) { fSetUpDnColors(Value); }

    // Adds Delta (+1 or -1) in wrapping 64-bit arithmetic, writes the clamped result and selects
    // the whole text.
    void StepValue(int Delta) override;
    // A spin button: the entry's text, and a value whose limits are MinValue and MaxValue (the
    // whole 64-bit range when there are none). A double holds it exactly only up to 2^53; the
    // text holds it exactly.
    void GetAccessible(TAccessibleInfo& Info) override;
    // Rounds to the nearest integer within the 64-bit range, then as Value (clamped to the limits).
    bool SetAccessibleValue(double Value) override;

    void EdgeWidthAdj() override;

    // Parts and state, for the buttons and tests.
    TKdCustomUpDownButton* UpButton() const { return FUpButton; }
    TKdCustomUpDownButton* DownButton() const { return FDownButton; }
    bool UpKeyDown() const { return FUpKeyDown; }
    bool DownKeyDown() const { return FDownKeyDown; }

    // What the arrow buttons read.
    TWinControl* UpDownControl() override { return this; }
    bool ArrowKeyHeld(bool DownKey) const override { return DownKey ? FDownKeyDown : FUpKeyDown; }
    TColor UpDownColor(int Index) const override;
    TColor FrameColor(int Index) const override { return FColors->fGetVEColor(Index); }
    uint32_t MouseInState() const override { return FMouseInState; }

protected:
    void DoEnter() override;
    // Releases the key-held looks; the text is neither read again nor clamped.
    void DoExit() override;

    // The inner edit's key events: Up and Down step (on every key repeat) and never reach the
    // inner edit; the control's own handler runs first and may change or clear Key.
    void EvKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void EvKeyUp(TObject* Sender, WORD& Key, TShiftState Shift);
    // The buttons' enter and leave, merged into the control's hover set.
    void _fUpDownMouseEnter(TObject* Sender);
    void _fUpDownMouseLeave(TObject* Sender);
    // Places the inner edit and the two buttons for the border style.
    void _fEdgeWidthAdj();

    int64_t FMinValue = 0;
    int64_t FMaxValue = 0;
    bool FUpKeyDown = false;
    bool FDownKeyDown = false;
    TKeyEvent FOnKeyDown;
    TKeyEvent FOnKeyUp;
    TKdCustomUpDownButton* FUpButton = nullptr;    // owned
    TKdCustomUpDownButton* FDownButton = nullptr;  // owned
    std::unique_ptr<TKdUpDownButtonColors> FUpDownColors;

private:
    // ValidateType by the limits: a minus sign only where the limits leave room for one.
    void _fApplyLimitRule();
    TKdCustomUpDownButton* _fNewButton(bool IsDown);
};

// The up-down edit with its properties published: Value, MinValue, MaxValue, UpDownColors, then
// those of the validating edit.
class TKdUpDownEdit : public TKdCustomUpDownEdit {
    LUMI_CLASS(TKdUpDownEdit, TKdCustomUpDownEdit)
public:
    explicit TKdUpDownEdit(TComponent* AOwner) : TKdCustomUpDownEdit(AOwner) {}
};

namespace KdUpDownEdit {
// Puts the unit's published control on the library's palette page.
void Register();
}  // namespace KdUpDownEdit

}  // namespace lumivane
