#pragma once
#include <cstdint>

#include "lumivane/controls/Forward.h"
#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

// One arrow button of the up-down edit: a windowless control at the edit's right edge that steps
// the edit's value on a left press, repeats while the press is held, and paints itself in the
// edit's border style.
//
// Pointer and button state (FMouseIn, FMouseHeld, FPressed; timer) and the face shown:
//   idle            false  false  false  off                          DefaultColor
//   hot             true   false  false  off                          HotColor
//   pressed         true   true   true   on, stepping after 8 ticks   PressedColor
//   held outside    false  true   false  on, not stepping             DefaultColor
// enter: idle -> hot, held outside -> pressed; leave: back again; left press on hot: pressed and
// one step; left release: pressed -> hot, held outside -> idle. An arrow key held in the edit
// shows the pressed face in any state; a disabled edit shows the disabled face in every state.

// What a button needs of the edit it belongs to. The up-down edit implements it; a button whose
// owner does not steps nothing and paints with its own colour.
class TKdUpDownButtonHost {
public:
    virtual ~TKdUpDownButtonHost() = default;
    // The edit as a control: its focus, SetFocus and Enabled.
    virtual TWinControl* UpDownControl() = 0;
    // Adds +1 or -1 to the value (clamped) and selects the whole text.
    virtual void StepValue(int Delta) = 0;
    // The Up (or Down) arrow key is held in the edit.
    virtual bool ArrowKeyHeld(bool DownKey) const = 0;
    // A slot of the buttons' colour set (DefaultColor 0, HotColor 1, PressedColor 2,
    // DisabledColor 3) and of the frame's (DefaultColor 0, FocusedColor 2, HotColor 3); clDefault
    // when unset.
    virtual TColor UpDownColor(int Index) const = 0;
    virtual TColor FrameColor(int Index) const = 0;
    // Where the pointer is over the edit (0: nowhere).
    virtual uint32_t MouseInState() const = 0;
};

// OnMouseEnter and OnMouseLeave (the control's own) are the edit's hover bookkeeping.
class TKdCustomUpDownButton : public TGraphicControl {
    LUMI_CLASS(TKdCustomUpDownButton, TGraphicControl)
public:
    static constexpr unsigned kRepeatInterval = 55;  // ms per tick of the repeat clock
    static constexpr int kTicksBeforeRepeat = 8;

    explicit TKdCustomUpDownButton(TComponent* AOwner);
    ~TKdCustomUpDownButton() override;

    void Dispatch(TMessage& Message) override;

    // The repeat clock's tick.
    void fRepeatTimer(TObject* Sender);

    // State, for the edit, painters and tests.
    bool IsDownButton() const { return FIsDownButton; }
    TKdEditBorderStyle BorderStyle() const { return FBorderStyle; }
    TKdUpDownButtonHost* UpDownEdit() const { return FUpDownEdit; }
    bool Pressed() const { return FPressed; }
    bool MouseIn() const { return FMouseIn; }
    bool MouseHeld() const { return FMouseHeld; }
    int RepeatCount() const { return FRepeatCount; }
    TTimer* Timer() const { return FTimer; }

    // Set by the edit: direction and look. Both only store; the edit repaints the button.
    void fSetIsDownButton(bool Value) { FIsDownButton = Value; }
    void fSetBorderStyle(TKdEditBorderStyle Value) { FBorderStyle = Value; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

    // The three looks and the arrow, on Canvas (the button's own while painting).
    void DrawNormalEdge(bool Down);
    void DrawFlatEdge(bool Down);
    void DrawUltraFlatEdge(bool Down);
    void DrawUpDownArrow();

    bool FIsDownButton = false;
    TKdEditBorderStyle FBorderStyle;  // ebsNormal until set
    TKdUpDownButtonHost* FUpDownEdit = nullptr;  // not owned
    TTimer* FTimer = nullptr;                    // owned
    bool FPressed = false;
    bool FMouseIn = false;
    bool FMouseHeld = false;
    int FRepeatCount = 0;

private:
    // The pointer's entry or exit: the hot (and pressed) look, the handler, then the parent told.
    void _fMouseCrossed(TMessage& Message, bool Entered);
    // The mouse press ends: by its release, or by the capture taken away (a popup menu opened
    // while the button was held takes the release).
    void _fEndPress();
    // The pressed look: the mouse, or the edit's arrow key for this button.
    bool _fDown() const;
    // The face of the current state from four candidates (default, hot, pressed, disabled) after
    // the edit's UpDownColors have replaced those that are set.
    TColor _fFaceColor(TColor Default, TColor Hot, TColor Pressed, TColor Disabled, bool Down) const;
    // Steps the edit once in this button's direction.
    void _fStep();
};

}  // namespace lumivane
