// Top-level windows: activation, showing and enabling, the icon, centring on the screen and
// the system metrics.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "lumivane/windows/NativeButton.h"
#include "lumivane/windows/NativeEdit.h"
#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

TopLevelKind KindFor(uint32_t style, bool owned) {
    if ((style & WS_POPUP) && (style & WS_CAPTION) == 0) return TopLevelKind::Popup;
    return owned ? TopLevelKind::Dialog : TopLevelKind::Normal;
}

void Raise(Wnd* top) {
    auto& tl = WS().topLevels;
    tl.erase(std::remove(tl.begin(), tl.end(), top), tl.end());
    tl.push_back(top);
    PaintOrderChanged();
}

bool CanActivate(const Wnd* w) {
    return w->IsTopLevel() && w->kind != TopLevelKind::Popup && !(w->exStyle & WS_EX_NOACTIVATE);
}

void DeactivateTopLevel(Wnd* top) {
    auto& ws = WS();
    if (ws.active != top->handle) return;
    Wnd* f = FromHandle(ws.focus);
    if (f && TopLevelOf(f) == top) top->lastFocus = ws.focus;
    ws.active = nullptr;
    SendMessageA(top->handle, WM_ACTIVATE, WA_INACTIVE, 0);
    f = FromHandle(ws.focus);
    if (f && TopLevelOf(f) == top) SetFocus(nullptr);
}

void ActivateOwnerOf(Wnd* top) {
    Wnd* owner = top->owner;
    if (owner && !owner->destroyed && (owner->style & WS_VISIBLE) && CanActivate(owner))
        SetActiveWindow(owner->handle);
}

bool ShowWindow(HWND hwnd, int cmd) {
    auto& ws = WS();
    Wnd* w = FromHandle(hwnd);
    if (!w) return false;
    bool was = (w->style & WS_VISIBLE) != 0;
    bool show = cmd != SW_HIDE;
    bool activate = show && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE && CanActivate(w);
    if (show == was) {
        if (activate && ws.active != hwnd) SetActiveWindow(hwnd);
        return was;
    }
    SendMessageA(hwnd, WM_SHOWWINDOW, show ? 1 : 0, 0);
    if (!FromHandle(hwnd)) return was;
    if (show)
        w->style |= WS_VISIBLE;
    else
        w->style &= ~WS_VISIBLE;
    PaintOrderChanged();

    if (w->parent) {
        if (IsVisibleChain(w->parent)) InvalidateParentArea(w, w->rect);
        if (!show) {
            Wnd* cap = FromHandle(ws.capture);
            if (cap && IsSelfOrAncestor(w, cap)) ReleaseCapture();
            Wnd* f = FromHandle(ws.focus);
            if (f && IsSelfOrAncestor(w, f)) SetFocus(w->parent->handle);
        }
        return was;
    }
    if (show) {
        Raise(w);
        InvalidateRect(hwnd, nullptr, true);
        ws.driver->ShowTopLevel(w->driverId, true);
        if (activate) SetActiveWindow(hwnd);
    } else {
        Wnd* cap = FromHandle(ws.capture);
        if (cap && TopLevelOf(cap) == w) ReleaseCapture();
        ws.driver->ShowTopLevel(w->driverId, false);
        if (ws.active == hwnd) {
            DeactivateTopLevel(w);
            ActivateOwnerOf(w);
        }
    }
    return was;
}

bool IsWindowVisible(HWND hwnd) {
    Wnd* w = FromHandle(hwnd);
    return w && IsVisibleChain(w);
}

bool EnableWindow(HWND hwnd, bool enable) {
    auto& ws = WS();
    Wnd* w = FromHandle(hwnd);
    if (!w) return false;
    bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) return wasDisabled;
    if (enable) {
        w->style &= ~WS_DISABLED;
    } else {
        w->style |= WS_DISABLED;
        Wnd* cap = FromHandle(ws.capture);
        if (cap && IsSelfOrAncestor(w, cap)) ReleaseCapture();
        Wnd* f = FromHandle(ws.focus);
        if (f && IsSelfOrAncestor(w, f)) SetFocus(nullptr);
    }
    SendMessageA(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    return wasDisabled;
}

bool IsWindowEnabled(HWND hwnd) {
    Wnd* w = FromHandle(hwnd);
    return w && !(w->style & WS_DISABLED);
}


// ---- Top-level windows ----

void SetWindowIcon(HWND hwnd, int w, int h, const std::vector<uint32_t>& argb) {
    Wnd* t = FromHandle(hwnd);
    if (!t || !t->IsTopLevel() || w <= 0 || h <= 0 || w > 1024 || h > 1024) return;
    if (argb.size() != static_cast<size_t>(w) * static_cast<size_t>(h)) return;
    WS().driver->SetIcon(t->driverId, w, h, argb);
}

void CenterWindowOnScreen(HWND hwnd) {
    Wnd* t = FromHandle(hwnd);
    if (!t || !t->IsTopLevel()) return;
    TSize s = WS().driver->ScreenSize();
    SetWindowPos(hwnd, nullptr, (s.cx - t->Width()) / 2, (s.cy - t->Height()) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int GetDisplayScale() { return WS().driver ? WS().driver->DeviceScale() : 1; }

int GetSystemMetrics(int index) {
    auto& ws = WS();
    switch (index) {
    case SM_CXSCREEN: return ws.driver ? ws.driver->ScreenSize().cx : 0;
    case SM_CYSCREEN: return ws.driver ? ws.driver->ScreenSize().cy : 0;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 8;
    default: return 0;
    }
}

unsigned GetDoubleClickTime() { return 500; }

int64_t GetTickCount64() { return WS().driver ? WS().driver->Now() : 0; }

uint64_t GetDriverWindowId(HWND toplevel) {
    Wnd* w = FromHandle(toplevel);
    return w && w->IsTopLevel() ? w->driverId : 0;
}

}  // namespace lumivane
