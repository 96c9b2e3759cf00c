#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

namespace {

constexpr unsigned kVkMButton = 0x04;
constexpr int64_t kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 4;

Wnd* TopLevelByDriverId(DriverWindowId id) {
    for (Wnd* t : WS().topLevels)
        if (t->driverId == id) return t;
    return nullptr;
}

unsigned ButtonKey(int button) {
    switch (button) {
    case 1: return VK_LBUTTON;
    case 2: return kVkMButton;
    case 3: return VK_RBUTTON;
    default: return 0;
    }
}

UINT ButtonMessage(int button, int kind /*0 down, 1 up, 2 double*/) {
    UINT base = button == 1 ? WM_LBUTTONDOWN : button == 3 ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
    return base + static_cast<UINT>(kind);
}

WPARAM MouseKeys() {
    auto& k = WS().keys;
    WPARAM mk = 0;
    if (k[VK_LBUTTON] & 0x80) mk |= MK_LBUTTON;
    if (k[VK_RBUTTON] & 0x80) mk |= MK_RBUTTON;
    if (k[kVkMButton] & 0x80) mk |= MK_MBUTTON;
    if (k[VK_SHIFT] & 0x80) mk |= MK_SHIFT;
    if (k[VK_CONTROL] & 0x80) mk |= MK_CONTROL;
    return mk;
}

void SetModifierKeys(unsigned shift) {
    auto& k = WS().keys;
    k[VK_SHIFT] = (shift & MK_SHIFT) ? 0x80 : 0;
    k[VK_CONTROL] = (shift & MK_CONTROL) ? 0x80 : 0;
    k[VK_MENU] = (shift & DRIVER_ALT) ? 0x80 : 0;
}

// The keys and buttons whose state an input message carries.
constexpr unsigned kHeldKeys[] = {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LBUTTON, VK_RBUTTON, kVkMButton};

uint8_t HeldKeyBits() {
    const auto& k = WS().keys;
    uint8_t bits = 0;
    for (size_t i = 0; i < std::size(kHeldKeys); ++i)
        if (k[kHeldKeys[i]] & 0x80) bits |= static_cast<uint8_t>(1u << i);
    return bits;
}

void Post(Wnd* w, UINT msg, WPARAM wp, LPARAM lp) {
    auto& ws = WS();
    ws.queue.push_back(QueuedMessage{MakeMessage(w->handle, msg, wp, lp), true, HeldKeyBits()});
    ++ws.queuedInput;
}

// Where pointer input at a client point of the top-level window goes; nullptr when nowhere
// (outside, or a disabled window swallows it; a design surface takes it itself).
Wnd* PointerTarget(Wnd* top, TPoint local, bool* captured) {
    auto& ws = WS();
    *captured = false;
    if (Wnd* cap = FromHandle(ws.capture)) {
        *captured = true;
        return cap;
    }
    if (!TRect{0, 0, top->Width(), top->Height()}.Contains(local)) return nullptr;
    if (top->region && !top->region->Contains(local)) return nullptr;
    Wnd* target = HitTestWindow(top, local, false);
    if (IsEnabledChain(target)) return target;
    return (top->exStyle & WS_EX_DESIGNSURFACE) && !(top->style & WS_DISABLED) ? top : nullptr;
}

void PointerEvent(Wnd* top, const DriverEvent& e) {
    auto& ws = WS();
    TPoint o = ScreenOrigin(top);
    TPoint screen{o.x + e.x, o.y + e.y};
    ws.pointer = screen;
    ws.pointerKnown = true;
    ws.pointerTop = top->handle;
    if (unsigned vk = ButtonKey(e.button)) {
        if (e.type == DriverEvent::ButtonDown) ws.keys[vk] = 0x80;
        if (e.type == DriverEvent::ButtonUp) ws.keys[vk] = 0;
    }
    bool captured = false;
    Wnd* target = PointerTarget(top, {e.x, e.y}, &captured);
    if (!target) return;
    HWND hwnd = target->handle;
    ws.pointerWindow = hwnd;
    TPoint to = ScreenOrigin(target);
    LPARAM pos = MAKELPARAM(screen.x - to.x, screen.y - to.y);

    switch (e.type) {
    case DriverEvent::PointerMove:
        if (!captured) {
            SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            target = FromHandle(hwnd);
            if (!target) return;
        }
        Post(target, WM_MOUSEMOVE, MouseKeys(), pos);
        break;
    case DriverEvent::ButtonDown: {
        if (!ButtonKey(e.button)) return;
        Wnd* targetTop = TopLevelOf(target);
        if (CanActivate(targetTop) && ws.active != targetTop->handle) {
            SetActiveWindow(targetTop->handle);
            target = FromHandle(hwnd);
            if (!target) return;
        }
        int64_t now = ws.driver->Now();
        bool dbl = (target->cls->wc.style & CS_DBLCLKS) && ws.lastDownWindow == hwnd &&
                   ws.lastDownButton == e.button && now - ws.lastDownTime <= kDoubleClickMs &&
                   std::abs(screen.x - ws.lastDownPoint.x) <= kDoubleClickDistance &&
                   std::abs(screen.y - ws.lastDownPoint.y) <= kDoubleClickDistance;
        if (dbl) {
            ws.lastDownWindow = nullptr; // a third press starts over
        } else {
            ws.lastDownWindow = hwnd;
            ws.lastDownButton = e.button;
            ws.lastDownTime = now;
            ws.lastDownPoint = screen;
        }
        Post(target, ButtonMessage(e.button, dbl ? 2 : 0), MouseKeys(), pos);
        break;
    }
    case DriverEvent::ButtonUp:
        if (!ButtonKey(e.button)) return;
        Post(target, ButtonMessage(e.button, 1), MouseKeys(), pos);
        break;
    default:
        break;
    }
}

Wnd* KeyTarget() {
    auto& ws = WS();
    if (Wnd* f = FromHandle(ws.focus)) return f;
    return FromHandle(ws.active);
}

void KeyEvent(const DriverEvent& e) {
    auto& ws = WS();
    unsigned vk = e.vk & 0xFF;
    bool down = e.type == DriverEvent::KeyDown;
    bool wasDown = (ws.keys[vk] & 0x80) != 0;
    ws.keys[vk] = down ? 0x80 : 0;
    Wnd* target = KeyTarget();
    if (!target) return;
    // Alt makes system keys, unless Ctrl is held too (AltGr).
    bool alt = ((e.shift & DRIVER_ALT) || vk == VK_MENU) && !(e.shift & MK_CONTROL);
    uint32_t bits = 1;
    if (alt) bits |= 1u << 29;
    if (down) {
        if (wasDown || e.repeat) bits |= 1u << 30;
    } else {
        bits |= (1u << 30) | (1u << 31);
    }
    UINT msg = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
    Post(target, msg, vk, static_cast<LPARAM>(bits));
}

} // namespace

void TranslateDriverEvent(const DriverEvent& e) {
    auto& ws = WS();
    if (e.type == DriverEvent::ConnectionLost) {
        PostQuitMessage(0);
        return;
    }
    if (e.type == DriverEvent::Terminate) {
        RunTerminateHandler();
        return;
    }
    if (e.type == DriverEvent::Readable) {
        ReadableEvent(e.x);
        return;
    }
    if (e.type == DriverEvent::ScaleChanged) {
        RescaleTopLevels();
        return;
    }
    Wnd* top = TopLevelByDriverId(e.window);
    if (!top) return;
    switch (e.type) {
    case DriverEvent::PointerMove:
    case DriverEvent::ButtonDown:
    case DriverEvent::ButtonUp:
        SetModifierKeys(e.shift);
        PointerEvent(top, e);
        break;
    case DriverEvent::Wheel: {
        SetModifierKeys(e.shift);
        TPoint o = ScreenOrigin(top);
        TPoint screen{o.x + e.x, o.y + e.y};
        ws.pointer = screen;
        Wnd* target = KeyTarget();
        if (!target) {
            bool captured = false;
            target = PointerTarget(top, {e.x, e.y}, &captured);
        }
        if (target)
            Post(target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<int>(MouseKeys()), e.delta * 120),
                 MAKELPARAM(screen.x, screen.y));
        break;
    }
    case DriverEvent::PointerEnter:
        ws.pointerTop = top->handle;
        break;
    case DriverEvent::PointerLeave: {
        Wnd* p = FromHandle(ws.pointerWindow);
        if (p && TopLevelOf(p) == top) {
            Post(p, WM_MOUSELEAVE, 0, 0);
            ws.pointerWindow = nullptr;
        }
        if (ws.pointerTop == top->handle) ws.pointerTop = nullptr;
        break;
    }
    case DriverEvent::KeyDown:
    case DriverEvent::KeyUp:
        SetModifierKeys(e.shift);
        KeyEvent(e);
        break;
    case DriverEvent::Char: {
        SetModifierKeys(e.shift);
        Wnd* target = KeyTarget();
        if (!target) break;
        bool alt = (e.shift & DRIVER_ALT) && !(e.shift & MK_CONTROL);
        Post(target, alt ? WM_SYSCHAR : WM_CHAR, e.ch, alt ? (1 | (1 << 29)) : 1);
        break;
    }
    case DriverEvent::CloseRequest:
        // A window behind a modal dialog cannot be closed.
        if (IsEnabledChain(top)) Post(top, WM_CLOSE, 0, 0);
        break;
    case DriverEvent::Expose: {
        // The surface still holds the pixels: present them again, nothing repaints.
        Region r(e.rect);
        r.Intersect(TRect{0, 0, top->Width(), top->Height()});
        top->dirty.Union(r);
        break;
    }
    case DriverEvent::Resize: {
        int w = std::clamp(e.width, 0, 8192), h = std::clamp(e.height, 0, 8192);
        if (w == top->Width() && h == top->Height()) break;
        top->rect.Right = top->rect.Left + w;
        top->rect.Bottom = top->rect.Top + h;
        ResizeSurface(top);
        SendMessageA(top->handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w, h));
        break;
    }
    case DriverEvent::Move:
        if (e.x == top->rect.Left && e.y == top->rect.Top) break;
        top->rect = top->rect.Offset(e.x - top->rect.Left, e.y - top->rect.Top);
        SendMessageA(top->handle, WM_MOVE, 0, MAKELPARAM(e.x, e.y));
        break;
    case DriverEvent::FocusIn:
        if (CanActivate(top) && ws.active != top->handle) SetActiveWindow(top->handle);
        break;
    case DriverEvent::FocusOut:
        DeactivateTopLevel(top);
        break;
    default:
        break;
    }
}

void CatchUpKeyState() {
    auto& ws = WS();
    std::copy(std::begin(ws.keys), std::end(ws.keys), std::begin(ws.handledKeys));
}

void TookInputMessage(const QueuedMessage& taken) {
    auto& ws = WS();
    if (ws.queuedInput > 0) --ws.queuedInput;
    if (ws.queuedInput == 0) {
        CatchUpKeyState();
        return;
    }
    for (size_t i = 0; i < std::size(kHeldKeys); ++i)
        ws.handledKeys[kHeldKeys[i]] = (taken.held & (1u << i)) ? 0x80 : 0;
    const UINT m = taken.msg.message;
    if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN || m == WM_KEYUP || m == WM_SYSKEYUP)
        ws.handledKeys[taken.msg.wParam & 0xFF] = (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) ? 0x80 : 0;
}

void ForgetQueuedInput(size_t dropped) {
    auto& ws = WS();
    ws.queuedInput -= std::min(dropped, ws.queuedInput);
    if (dropped > 0 && ws.queuedInput == 0) CatchUpKeyState();
}

void ForgetInput(Wnd* w) {
    auto& ws = WS();
    if (ws.pointerWindow == w->handle) ws.pointerWindow = nullptr;
    if (ws.pointerTop == w->handle) ws.pointerTop = nullptr;
    if (ws.lastDownWindow == w->handle) ws.lastDownWindow = nullptr;
}

// Tells the driver which top-level window, if any, has the focus on a control that takes typed
// text (it answers WM_GETDLGCODE with DLGC_WANTCHARS), so that a window of buttons never pays for
// an input method and an edit pays when it gets the focus, not at its first key.
void SyncTextInput() {
    auto& ws = WS();
    Wnd* f = FromHandle(ws.focus);
    Wnd* top = nullptr;
    if (f && (SendMessageA(f->handle, WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS)) {
        f = FromHandle(ws.focus); // the answer may have changed anything
        if (f) top = TopLevelOf(f);
    }
    const HWND now = top ? top->handle : nullptr;
    if (now == ws.textInputTop || !ws.driver) return;
    if (Wnd* old = FromHandle(ws.textInputTop); old && old->driverId) ws.driver->SetTextInput(old->driverId, false);
    ws.textInputTop = now;
    if (top && top->driverId) ws.driver->SetTextInput(top->driverId, true);
}

namespace {

// SetFocus without telling the driver.
HWND MoveFocus(HWND hwnd) {
    auto& ws = WS();
    HWND old = ws.focus;
    if (!hwnd) {
        if (!old) return nullptr;
        ws.focus = nullptr;
        SendMessageA(old, WM_KILLFOCUS, 0, 0);
        return old;
    }
    Wnd* w = FromHandle(hwnd);
    if (!w || !IsEnabledChain(w)) return nullptr;
    Wnd* top = TopLevelOf(w);
    if (!CanActivate(top)) return nullptr; // popups never take the focus
    if (ws.active != top->handle) {
        // Activation hands the focus to the remembered window: make that this one.
        top->lastFocus = hwnd;
        SetActiveWindow(top->handle);
        if (ws.focus == hwnd) return old;
        w = FromHandle(hwnd);
        if (!w) return old;
    }
    old = ws.focus;
    if (old == hwnd) return old;
    ws.focus = hwnd;
    top->lastFocus = hwnd;
    if (old) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (ws.focus == hwnd) SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

} // namespace

HWND SetFocus(HWND hwnd) {
    HWND old = MoveFocus(hwnd);
    SyncTextInput();
    return old;
}

HWND GetFocus() { return IsWindow(WS().focus) ? WS().focus : nullptr; }

HWND SetCapture(HWND hwnd) {
    auto& ws = WS();
    HWND old = IsWindow(ws.capture) ? ws.capture : nullptr;
    if (!IsWindow(hwnd)) return old;
    ws.capture = hwnd;
    if (old && old != hwnd) SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

bool ReleaseCapture() {
    auto& ws = WS();
    HWND old = ws.capture;
    ws.capture = nullptr;
    if (IsWindow(old)) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return true;
}

HWND GetCapture() { return IsWindow(WS().capture) ? WS().capture : nullptr; }

bool GetCursorPos(POINT* p) {
    Driver* d = WS().driver;
    TPoint q;
    if (!p || !d || !d->GetCursorPos(q)) return false;
    *p = q;
    return true;
}

short GetKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    return (WS().handledKeys[vk] & 0x80) ? static_cast<short>(0x8000) : 0;
}

void SetCursorShape(CursorKind cursor) {
    auto& ws = WS();
    Wnd* top = FromHandle(ws.pointerTop);
    if (!top) top = FromHandle(ws.active);
    if (top && ws.driver) ws.driver->SetCursor(top->driverId, cursor);
}

HWND GetActiveWindow() { return IsWindow(WS().active) ? WS().active : nullptr; }

HWND SetActiveWindow(HWND hwnd) {
    auto& ws = WS();
    HWND old = GetActiveWindow();
    Wnd* w = nullptr;
    if (hwnd) {
        w = FromHandle(hwnd);
        if (!w) return nullptr;
        w = TopLevelOf(w);
        if (!CanActivate(w) || !IsEnabledChain(w)) return old;
    }
    if (w && old == w->handle) return old;
    HWND target = w ? w->handle : nullptr;
    if (Wnd* o = FromHandle(old)) DeactivateTopLevel(o);
    w = FromHandle(target);
    if (!w) return old;
    ws.active = w->handle;
    SendMessageA(w->handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
    return old;
}

}  // namespace lumivane
