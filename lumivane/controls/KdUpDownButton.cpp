#include "lumivane/controls/KdUpDownButton.h"

#include <exception>

#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/gfx/raster/Color.h"
#include "lumivane/framework/GraphicControl.h"
#include "lumivane/framework/HandlerCalls.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TKdCustomUpDownButton) {}

TKdCustomUpDownButton::TKdCustomUpDownButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FBorderStyle(ebsNormal), FUpDownEdit(dynamic_cast<TKdUpDownButtonHost*>(AOwner)) {
    SetColor(clBtnFace);
    SetCursor(crHandPoint);
    FTimer = new TTimer(this);
    FTimer->SetInterval(kRepeatInterval);
    FTimer->SetOnTimer(TNotifyEvent(this, &TKdCustomUpDownButton::fRepeatTimer));
    FTimer->SetEnabled(false);
}

TKdCustomUpDownButton::~TKdCustomUpDownButton() {
    delete FTimer;
    FTimer = nullptr;
}

void TKdCustomUpDownButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER: CMMouseEnter(Message); return;
    case CM_MOUSELEAVE: CMMouseLeave(Message); return;
    case WM_CAPTURECHANGED:
        _fEndPress();
        inherited::Dispatch(Message);
        return;
    default: inherited::Dispatch(Message);
    }
}

bool TKdCustomUpDownButton::_fDown() const {
    return FPressed || (FUpDownEdit && FUpDownEdit->ArrowKeyHeld(FIsDownButton));
}

void TKdCustomUpDownButton::_fStep() {
    if (FUpDownEdit) FUpDownEdit->StepValue(FIsDownButton ? -1 : +1);
}

// The first step comes with the press; the clock then counts its ticks before repeating. The
// mouse capture that the framework takes for the pressed control brings the release here even
// when the pointer has left the button.
void TKdCustomUpDownButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TWatch w(this);
    if (Button == mbLeft && !FMouseHeld) {
        FMouseHeld = true;
        FPressed = true;
        // The framework may not have reported the pointer yet (a press right after a move).
        if (!FMouseIn) Perform(CM_MOUSEENTER, 0, 0);
        if (!w.Alive()) return;
        if (FUpDownEdit) {
            TWinControl* edit = FUpDownEdit->UpDownControl();
            if (!edit->Focused()) edit->SetFocus();
            if (!w.Alive()) return;
            _fStep();
            if (!w.Alive()) return;
        }
        FRepeatCount = 0;
        FTimer->SetEnabled(true);
        Invalidate();
    }
    inherited::MouseDown(Button, Shift, X, Y);
}

void TKdCustomUpDownButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) _fEndPress();
    inherited::MouseUp(Button, Shift, X, Y);
}

void TKdCustomUpDownButton::_fEndPress() {
    if (!FMouseHeld) return;
    FMouseHeld = false;
    FPressed = false;
    FRepeatCount = 0;
    FTimer->SetEnabled(false);
    Invalidate();
}

// Off the button FPressed is false and ticks pass without a step; the count is not reset, so
// coming back steps at the next tick.
void TKdCustomUpDownButton::fRepeatTimer(TObject*) {
    if (FRepeatCount < kTicksBeforeRepeat) {
        ++FRepeatCount;
        return;
    }
    if (FPressed) _fStep();
}

// The callback runs before the notification goes on to the edit, and the edit hears of it even
// when the callback raised. The framework's own handling would fire the control's OnMouseEnter
// once more: it is asked only to tell the parent (a notification naming this button as its
// source fires nothing here).
void TKdCustomUpDownButton::CMMouseEnter(TMessage& Message) { _fMouseCrossed(Message, true); }

void TKdCustomUpDownButton::CMMouseLeave(TMessage& Message) { _fMouseCrossed(Message, false); }

void TKdCustomUpDownButton::_fMouseCrossed(TMessage& Message, bool Entered) {
    if (FMouseIn != Entered) {
        FMouseIn = Entered;
        FPressed = Entered && FMouseHeld;
        Invalidate();
    }
    CallHandlerThen(
        this, [&] { (Entered ? OnMouseEnter : OnMouseLeave)(this); },
        [&] {
            TMessage toParent = Message;
            toParent.LParam = reinterpret_cast<LPARAM>(this);
            inherited::Dispatch(toParent);
        });
}

}  // namespace lumivane
