// TControl's mouse: presses, releases, moves, enter and leave, and the shift states of
// mouse and keyboard messages.
#include "lumivane/framework/Control.h"

#include "lumivane/framework/WinControl.h"

#include <algorithm>
#include <cstring>

#include "lumivane/framework/ControlsInternal.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/PropInfo.h"
#include "lumivane/framework/Published.h"
#include "lumivane/windows/Input.h"
#include "lumivane/windows/Painting.h"
#include "lumivane/base/Exception.h"
#include "lumivane/gfx/raster/Color.h"

namespace lumivane {

void TControl::WMMouseDown(TMessage& Message, TMouseButton Button, TShiftState Extra) {
    TWatch w(this);
    DefaultHandler(Message);
    if (!w.Alive()) return;
    if (Button == mbLeft) {
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
        if (FControlStyle.Contains(csClickEvents)) {
            if (Extra.Contains(ssDouble)) {
                DblClick();
                if (!w.Alive()) return;
            } else {
                FControlState.Include(csClicked);
            }
        }
        FControlState.Include(csLButtonDown);
    }
    MouseDown(Button, KeysToShiftState(Message.WParam) + Extra, GET_X_LPARAM(Message.LParam),
              GET_Y_LPARAM(Message.LParam));
    if (Button == mbLeft && FDragMode == dmAutomatic && w.Alive() && !IsDesigning()) BeginDrag(false);
}

void TControl::WMMouseUp(TMessage& Message, TMouseButton Button) {
    TWatch w(this);
    DefaultHandler(Message);
    if (!w.Alive()) return;
    const int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
    if (Button == mbLeft) {
        FControlState.Exclude(csLButtonDown);
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
        if (FControlState.Contains(csClicked)) {
            FControlState.Exclude(csClicked);
            if (GetClientRect().Contains(x, y)) {
                Click();
                if (!w.Alive()) return;
            }
        }
    }
    MouseUp(Button, KeysToShiftState(Message.WParam), x, y);
    if (Button == mbRight && w.Alive()) {
        const TPoint screen = ClientToScreen({x, y});
        Perform(WM_CONTEXTMENU, 0, MAKELPARAM(screen.x, screen.y));
    }
}

void TControl::WMMouseMove(TMessage& Message) {
    TWatch w(this);
    DefaultHandler(Message);
    if (!w.Alive()) return;
    MouseMove(KeysToShiftState(Message.WParam), GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
}

// The control's own event fires only for the pointer entering the control itself (LParam 0);
// the parent is told either way, with this control as LParam, so containers can track their
// children.
void TControl::CMMouseEnter(TMessage& Message) {
    TWatch w(this);
    if (Message.LParam == 0) OnMouseEnter(this);
    if (w.Alive() && FParent) FParent->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
}

void TControl::CMMouseLeave(TMessage& Message) {
    TWatch w(this);
    if (Message.LParam == 0) OnMouseLeave(this);
    if (w.Alive() && FParent) FParent->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
}

void TControl::CMParentFontChanged(TMessage&) {
    if (FParentFont) ApplyParentFont();
}

void TControl::CMParentColorChanged(TMessage&) {
    if (FParentColor) ApplyParentColor();
}

void TControl::CMParentShowHintChanged(TMessage&) {
    if (!FParentShowHint || !FParent) return;
    if (FShowHint != FParent->FShowHint) {
        FShowHint = FParent->FShowHint;
        Perform(CM_SHOWHINTCHANGED, 0, 0);
    }
}

TShiftState KeysToShiftState(WPARAM Keys) {
    TShiftState s;
    if (Keys & MK_SHIFT) s.Include(ssShift);
    if (Keys & MK_CONTROL) s.Include(ssCtrl);
    if (Keys & MK_LBUTTON) s.Include(ssLeft);
    if (Keys & MK_RBUTTON) s.Include(ssRight);
    if (Keys & MK_MBUTTON) s.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

TShiftState KeyboardShiftState() {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
    return s;
}

}  // namespace lumivane
