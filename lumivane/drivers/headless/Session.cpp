#include "lumivane/drivers/headless/Session.h"

#include "lumivane/gfx/text/TextEncoding.h"

#include "lumivane/base/Exception.h"

namespace lumivane {

namespace {

// Rounds of "drain the queue, run the idle handler" before a pump gives up: a system that
// never goes quiet is a fault worth a clear failure.
constexpr int kMaxPumpRounds = 1000;
constexpr int kMaxMessagesPerRound = 100000;

// The character a key press types, as a keyboard with a US layout gives it; 0 for none.
unsigned char CharForKey(unsigned vk, unsigned shift) {
    bool shifted = (shift & MK_SHIFT) != 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (shift & MK_CONTROL) return static_cast<unsigned char>(vk - 'A' + 1);
        return static_cast<unsigned char>(shifted ? vk : vk - 'A' + 'a');
    }
    if (shift & MK_CONTROL) return 0;
    if (vk >= '0' && vk <= '9') return static_cast<unsigned char>(shifted ? ")!@#$%^&*("[vk - '0'] : vk);
    switch (vk) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return 8;
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 27;
    default: return 0;
    }
}

unsigned ModifierOf(unsigned vk) {
    switch (vk) {
    case VK_SHIFT: return MK_SHIFT;
    case VK_CONTROL: return MK_CONTROL;
    case VK_MENU: return DRIVER_ALT;
    default: return 0;
    }
}

} // namespace

HeadlessSession::HeadlessSession(int scale) {
    FDriver.SetDeviceScale(scale);
    InitWindowSystem(&FDriver);
}

HeadlessSession::~HeadlessSession() { ShutdownWindowSystem(); }

unsigned HeadlessSession::Modifiers() const { return FHeldModifiers; }

void HeadlessSession::Pump() {
    for (int round = 0; round < kMaxPumpRounds; ++round) {
        MSG m;
        int count = 0;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) {
                FQuit = true;
                FQuitCode = static_cast<int>(m.wParam);
                continue;
            }
            TranslateMessage(&m);
            DispatchMessageA(&m);
            if (++count > kMaxMessagesPerRound) throw Exception("Headless session: the message queue never runs empty");
        }
        RunIdleHandler();
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) return;
    }
    throw Exception("Headless session: the system never goes quiet");
}

int64_t HeadlessSession::Now() const { return const_cast<HeadlessDriver&>(FDriver).Now(); }

void HeadlessSession::Wait(int64_t ms) {
    int64_t target = Now() + ms;
    Pump();
    for (;;) {
        int64_t next = 0;
        if (GetNextTimerDeadline(&next) && next <= target) {
            FDriver.SetNow(std::max(next, Now() + 1));
            Pump();
            continue;
        }
        FDriver.SetNow(target);
        Pump();
        return;
    }
}

void HeadlessSession::PushPointer(DriverEvent::Type type, int button) {
    TPoint p = FDriver.CursorPos();
    DriverWindowId target = FGrabWindow ? FGrabWindow : FDriver.TopLevelAt(p);
    if (!target) return;
    TPoint o = FDriver.ClientOrigin(target);
    DriverEvent e;
    e.type = type;
    e.window = target;
    e.x = p.x - o.x;
    e.y = p.y - o.y;
    e.button = button;
    e.shift = Modifiers();
    FDriver.Push(e);
}

void HeadlessSession::Move(int x, int y) {
    const int n = FDriver.DeviceScale();
    MoveOnDisplay(x * n, y * n);
}

void HeadlessSession::MoveOnDisplay(int x, int y) {
    FDriver.SetCursorPos({x, y});
    DriverWindowId under = FDriver.TopLevelAt({x, y});
    if (under != FPointerWindow) {
        if (FPointerWindow && FDriver.Find(FPointerWindow)) {
            DriverEvent e;
            e.type = DriverEvent::PointerLeave;
            e.window = FPointerWindow;
            FDriver.Push(e);
        }
        if (under) {
            DriverEvent e;
            e.type = DriverEvent::PointerEnter;
            e.window = under;
            FDriver.Push(e);
        }
        FPointerWindow = under;
    }
    PushPointer(DriverEvent::PointerMove, 0);
    Pump();
}

void HeadlessSession::MoveTo(HWND hwnd, int x, int y) {
    POINT p{x, y};
    if (!ClientToScreen(hwnd, &p)) throw Exception("Headless session: MoveTo on a window that does not exist");
    Move(p.x, p.y);
}

void HeadlessSession::Press(int button) {
    if (!FGrabWindow) FGrabWindow = FDriver.TopLevelAt(FDriver.CursorPos());
    FButtons |= 1u << button;
    PushPointer(DriverEvent::ButtonDown, button);
    Pump();
}

void HeadlessSession::Release(int button) {
    PushPointer(DriverEvent::ButtonUp, button);
    FButtons &= ~(1u << button);
    if (!FButtons) FGrabWindow = 0;
    Pump();
}

void HeadlessSession::Click(int x, int y, int button) {
    Move(x, y);
    Press(button);
    Release(button);
}

void HeadlessSession::ClickAt(HWND hwnd, int x, int y, int button) {
    MoveTo(hwnd, x, y);
    Press(button);
    Release(button);
}

void HeadlessSession::DoubleClick(int x, int y) {
    Click(x, y);
    Click(x, y);
}

void HeadlessSession::Wheel(int delta) {
    TPoint p = FDriver.CursorPos();
    DriverWindowId target = FDriver.TopLevelAt(p);
    if (!target) return;
    TPoint o = FDriver.ClientOrigin(target);
    DriverEvent e;
    e.type = DriverEvent::Wheel;
    e.window = target;
    e.x = p.x - o.x;
    e.y = p.y - o.y;
    e.delta = delta;
    e.shift = Modifiers();
    FDriver.Push(e);
    Pump();
}

DriverWindowId HeadlessSession::KeyWindow() {
    HWND active = GetActiveWindow();
    if (active) return GetDriverWindowId(active);
    std::vector<DriverWindowId> s = FDriver.Stacking();
    return s.empty() ? 0 : s.back();
}

void HeadlessSession::KeyDown(unsigned vk, unsigned shift, bool repeat) {
    FHeldModifiers |= ModifierOf(vk);
    DriverEvent e;
    e.type = DriverEvent::KeyDown;
    e.window = KeyWindow();
    e.vk = vk;
    e.repeat = repeat;
    e.shift = shift | Modifiers();
    FDriver.Push(e);
    if (unsigned char ch = CharForKey(vk, e.shift)) {
        DriverEvent c = e;
        c.type = DriverEvent::Char;
        c.ch = ch;
        FDriver.Push(c);
    }
    Pump();
}

void HeadlessSession::KeyUp(unsigned vk, unsigned shift) {
    FHeldModifiers &= ~ModifierOf(vk);
    DriverEvent e;
    e.type = DriverEvent::KeyUp;
    e.window = KeyWindow();
    e.vk = vk;
    e.shift = shift | Modifiers();
    FDriver.Push(e);
    Pump();
}

void HeadlessSession::Key(unsigned vk, unsigned shift) {
    KeyDown(vk, shift);
    KeyUp(vk, shift);
}

void HeadlessSession::Type(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        DriverEvent e;
        e.type = DriverEvent::Char;
        e.window = KeyWindow();
        e.ch = NextChar(text, i);
        e.shift = Modifiers();
        FDriver.Push(e);
    }
    Pump();
}

void HeadlessSession::Paste(const std::string& text) {
    SetClipboard(text);
    KeyDown(VK_CONTROL, MK_CONTROL);
    Key('V', MK_CONTROL);
    KeyUp(VK_CONTROL);
}

void HeadlessSession::SetClipboard(const std::string& text) { FDriver.SetSelectionText(TSelection::Clipboard, text); }

std::string HeadlessSession::Clipboard() {
    std::string s;
    FDriver.GetSelectionText(TSelection::Clipboard, s);
    return s;
}

void HeadlessSession::SetPrimarySelection(const std::string& text) { FDriver.SetSelectionText(TSelection::Primary, text); }

std::string HeadlessSession::PrimarySelection() {
    std::string s;
    FDriver.GetSelectionText(TSelection::Primary, s);
    return s;
}

void HeadlessSession::Close(HWND toplevel) { SendWindowEvent(toplevel, DriverEvent::CloseRequest); }

void HeadlessSession::Resize(HWND toplevel, int width, int height) {
    DriverWindowId id = GetDriverWindowId(toplevel);
    const HeadlessDriver::Window* w = FDriver.Find(id);
    if (!w) return;
    width *= FDriver.DeviceScale();
    height *= FDriver.DeviceScale();
    FDriver.SetBounds(id, {w->bounds.Left, w->bounds.Top, w->bounds.Left + width, w->bounds.Top + height});
    DriverEvent e;
    e.type = DriverEvent::Resize;
    e.window = id;
    e.width = width;
    e.height = height;
    FDriver.Push(e);
    Pump();
}

void HeadlessSession::Activate(HWND toplevel) { SendWindowEvent(toplevel, DriverEvent::FocusIn); }

void HeadlessSession::Deactivate(HWND toplevel) { SendWindowEvent(toplevel, DriverEvent::FocusOut); }

void HeadlessSession::SendWindowEvent(HWND toplevel, DriverEvent::Type type) {
    DriverEvent e;
    e.type = type;
    e.window = GetDriverWindowId(toplevel);
    FDriver.Push(e);
    Pump();
}

TColor HeadlessSession::Pixel(HWND toplevel, int x, int y) {
    const Surface& s = Presented(toplevel);
    x *= FDriver.DeviceScale();
    y *= FDriver.DeviceScale();
    if (x < 0 || y < 0 || x >= s.Width() || y >= s.Height()) return CLR_INVALID;
    return PixelToColor(s.Get(x, y));
}

const Surface& HeadlessSession::Presented(HWND toplevel) {
    return FDriver.PresentedPixels(GetDriverWindowId(toplevel));
}

std::vector<std::vector<TRect>> HeadlessSession::Presents(HWND toplevel) {
    const HeadlessDriver::Window* w = FDriver.Find(GetDriverWindowId(toplevel));
    return w ? w->presents : std::vector<std::vector<TRect>>{};
}

void HeadlessSession::ClearPresents() { FDriver.ClearPresents(); }

void HeadlessSession::Save(HWND toplevel, const std::string& path) { SavePng(Presented(toplevel), path.c_str()); }

std::vector<HWND> HeadlessSession::TopLevelWindows() { return GetTopLevelWindows(); }

const std::vector<std::string>& HeadlessSession::OpenedAddresses() const { return FDriver.OpenedAddresses(); }

}  // namespace lumivane
