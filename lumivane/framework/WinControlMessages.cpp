// TWinControl's messages: the window procedure's path (WndProc, Dispatch, the native
// procedure), painting, focus and key messages, dialog keys and reflection to children.
#include <algorithm>
#include <unordered_map>

#include "lumivane/framework/CursorShapes.h"
#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/ControlsInternal.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/PropInfo.h"
#include "lumivane/framework/Published.h"
#include "lumivane/base/Exception.h"

namespace lumivane {

using namespace ControlsInternal;

namespace {
bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK; }
}  // namespace

void TWinControl::WndProc(TMessage& Message) {
    // An open popup menu takes the keys; a drag takes the pointer and Escape.
    if (MenuWindow::InterceptKey(Message) || DragDrop::InterceptMessage(this, Message)) return;
    if ((Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN) && IsMenuKey(static_cast<WORD>(Message.WParam))) {
        Message.Result = 0;
        return;
    }
    if (IsMouseMessage(Message.Msg)) {
        // Mouse input over a graphic child (or captured for one) is that child's.
        TControl* target = nullptr;
        const TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        if (FHandle && GetCapture() == FHandle) {
            if (Table().capture && Table().capture != this && Table().capture->Parent() == this) target = Table().capture;
        } else {
            target = ControlAtPos(p, false, false);
        }
        if (target) {
            TMessage m = Message;
            m.LParam = MAKELPARAM(p.x - target->Left(), p.y - target->Top());
            target->WndProc(m);
            Message.Result = m.Result;
            return;
        }
    } else if (Message.Msg == WM_CAPTURECHANGED) {
        TControl* held = Table().capture;
        if (held && (held == this || held->Parent() == this) && reinterpret_cast<HWND>(Message.LParam) != FHandle) {
            Table().capture = nullptr;
            // A graphic child that held the capture hears that it lost it, as a window does:
            // the press it was following ends without a release.
            if (held != this) {
                TWatch w(this);
                held->Perform(WM_CAPTURECHANGED, Message.WParam, Message.LParam);
                if (!w.Alive()) return;
            }
        }
    }
    TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_SIZE: WMSize(Message); return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        WMKeyDown(Message);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        WMKeyUp(Message);
        return;
    case WM_CHAR: WMChar(Message); return;
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        if (!ReflectToChild(Message)) DefaultHandler(Message);
        return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC: {
        if (auto* dc = reinterpret_cast<HDC>(Message.WParam)) {
            dc->textColor = FFont->Color();
            dc->bkColor = FColor;
        }
        Message.Result = CtlColorBrush(FColor);
        return;
    }
    case CM_ENABLEDCHANGED:
        if (FHandle) EnableWindow(FHandle, FEnabled);
        TControl::Dispatch(Message);
        return;
    case CM_FONTCHANGED:
        UpdateWindowFont();
        TControl::Dispatch(Message);
        NotifyControls(CM_PARENTFONTCHANGED);
        return;
    case CM_COLORCHANGED:
        TControl::Dispatch(Message);
        NotifyControls(CM_PARENTCOLORCHANGED);
        return;
    case CM_SHOWHINTCHANGED:
        NotifyControls(CM_PARENTSHOWHINTCHANGED);
        return;
    case CM_VISIBLECHANGED:
        if (FHandle)
            ShowWindow(FHandle, !FVisible ? int(SW_HIDE) : FParent ? int(SW_SHOWNA) : int(SW_SHOW));
        else if (FVisible && FParent && FParent->FHandle)
            CreateHandle();
        return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    default:
        TControl::Dispatch(Message);
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (FHandle && FDefWndProc)
        Message.Result = CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
    else
        TControl::DefaultHandler(Message);
}

void TWinControl::WMPaint(TMessage& Message) {
    if (!FOwnClass || !FHandle) {
        DefaultHandler(Message);
        return;
    }
    if (auto* dc = reinterpret_cast<HDC>(Message.WParam)) {
        PaintWindow(dc);
        PaintControls(dc, nullptr);
        return;
    }
    HWND h = FHandle;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    try {
        if (dc) {
            TWatch w(this);
            PaintWindow(dc);
            if (w.Alive()) PaintControls(dc, nullptr);
        }
    } catch (...) {
        EndPaint(h, &ps);
        throw;
    }
    EndPaint(h, &ps);
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    if (!FOwnClass) {
        DefaultHandler(Message);
        return;
    }
    if (auto* dc = reinterpret_cast<HDC>(Message.WParam)) dc->FillRect(GetClientRect(), FColor);
    Message.Result = 1;
}

void TWinControl::WMSize(TMessage& Message) {
    DefaultHandler(Message);
    if (FSettingBounds || !FHandle) return;
    const int oldW = FWidth, oldH = FHeight;
    UpdateBoundsFromWindow();
    if (FWidth == oldW && FHeight == oldH) return;
    TWatch w(this);
    Realign();
    if (w.Alive() && !IsLoading()) Resize();
}

void TWinControl::WMSetFocus(TMessage& Message) {
    TWatch w(this);
    DefaultHandler(Message);
    if (w.Alive()) TopParent()->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }

// A key goes to KeyDown (OnKeyDown) first; Tab, Enter and Escape then go to the top parent's
// dialog handling (default and cancel buttons, focus moves), and only a key nobody used
// reaches the native control.
void TWinControl::WMKeyDown(TMessage& Message) {
    Table().swallowChar = 0;
    TWatch w(this);
    WORD key = static_cast<WORD>(Message.WParam);
    KeyDown(key, KeyboardShiftState());
    if (!w.Alive() || key == 0) return;
    if ((key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE) && Message.Msg == WM_KEYDOWN) {
        TMessage dk{CM_DIALOGKEY, key, Message.LParam, 0};
        TopParent()->WndProc(dk);
        if (dk.Result != 0) {
            // Tab, Enter and Escape type the character of their key code.
            Table().swallowChar = key;
            Message.Result = 0;
            return;
        }
        if (!w.Alive()) return;
    }
    const bool contextKey = key == VK_APPS || (key == VK_F10 && KeyboardShiftState().Contains(ssShift) &&
                                               !KeyboardShiftState().Contains(ssCtrl));
    if (contextKey) {
        Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FHandle), -1);
        return;
    }
    Message.WParam = key;
    DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
    TWatch w(this);
    WORD key = static_cast<WORD>(Message.WParam);
    KeyUp(key, KeyboardShiftState());
    if (!w.Alive() || key == 0) return;
    Message.WParam = key;
    DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
    auto ch = static_cast<char32_t>(Message.WParam);
    if (Table().swallowChar && ch == Table().swallowChar) {
        Table().swallowChar = 0;
        return;
    }
    Table().swallowChar = 0;
    TWatch w(this);
    KeyPress(ch);
    if (!w.Alive() || ch == 0) return;
    Message.WParam = ch;
    DefaultHandler(Message);
}

// Every control hears a dialog key until one answers; Tab and Shift+Tab move the focus when
// none does.
void TWinControl::CMDialogKey(TMessage& Message) {
    Broadcast(Message);
    if (Message.Result != 0 || FParent) return;
    const TShiftState shift = KeyboardShiftState();
    if (Message.WParam == VK_TAB && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
        SelectNext(FFocusedControl, !shift.Contains(ssShift), true);
        Message.Result = 1;
    }
}

void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); }

bool TWinControl::ReflectToChild(TMessage& Message) {
    TWinControl* child = nullptr;
    switch (Message.Msg) {
    case WM_DRAWITEM:
        if (auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)) child = FindControl(dis->hwndItem);
        break;
    case WM_MEASUREITEM:
        // Sent while the child's window is being created, before it is known by handle.
        if (auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) child = ControlsInternal::ControlById(mis->CtlID);
        break;
    default:
        child = FindControl(reinterpret_cast<HWND>(Message.LParam));
        break;
    }
    if (!child || child == this) return false;
    Message.Result = child->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}

}  // namespace lumivane
