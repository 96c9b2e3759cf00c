#include <tuple>

#include <gtest/gtest.h>

#include "WindowTestKit.h"

using namespace lumivane;

namespace {

class WindowInput : public ::testing::Test, public WindowTest {};

// The client point of the last message of that kind the window got.
POINT LastPoint(HWND hwnd, UINT msg) {
    for (auto it = Log().rbegin(); it != Log().rend(); ++it)
        if (it->hwnd == hwnd && it->msg == msg) return {GET_X_LPARAM(it->lp), GET_Y_LPARAM(it->lp)};
    return {-999, -999};
}

TEST_F(WindowInput, HitTestingHonoursWindowRegions) {
    HWND top = TopLevel();
    HWND child = Child(top, 20, 20, 40, 40, clRed);
    SetWindowRgn(child, CreateRoundRectRgn(0, 0, 41, 41, 20, 20), false);
    Log().clear();
    session.ClickAt(top, 21, 21); // the cut-off corner belongs to the parent
    EXPECT_EQ(CountOf(child, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(LastPoint(top, WM_LBUTTONDOWN), (POINT{21, 21}));
    session.ClickAt(top, 40, 40);
    EXPECT_EQ(LastPoint(child, WM_LBUTTONDOWN), (POINT{20, 20}));
    EXPECT_EQ(CountOf(top, WM_LBUTTONDOWN), 1);
    POINT screen{121, 121};
    EXPECT_EQ(WindowFromPoint(screen), top);
    screen = {140, 140};
    EXPECT_EQ(WindowFromPoint(screen), child);
}

TEST_F(WindowInput, HiddenWindowsAreSkippedAndDisabledOnesSwallowInput) {
    HWND top = TopLevel();
    HWND hidden = Child(top, 0, 0, 50, 50, clRed);
    HWND disabled = Child(top, 100, 0, 50, 50, clRed);
    ShowWindow(hidden, SW_HIDE);
    EnableWindow(disabled, false);
    Log().clear();
    session.ClickAt(top, 10, 10);
    session.ClickAt(top, 110, 10);
    EXPECT_EQ(CountOf(hidden, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(CountOf(disabled, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(CountOf(top, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(LastPoint(top, WM_LBUTTONDOWN), (POINT{10, 10}));
}

TEST_F(WindowInput, ADesignSurfaceTakesWhatItsDisabledWindowsSwallow) {
    HWND top = TopLevel();
    HWND panel = Child(top, 100, 0, 80, 80, clRed);
    HWND inner = Child(panel, 10, 10, 20, 20, clBlue);
    HWND enabled = Child(top, 0, 0, 50, 50, clRed);
    EnableWindow(panel, false);
    SetWindowLongPtrA(top, GWL_EXSTYLE, GetWindowLongPtrA(top, GWL_EXSTYLE) | WS_EX_DESIGNSURFACE);
    // Each click: where it lands, and which window gets it at which client point.
    const struct {
        int X, Y;
        HWND To;
        POINT At;
    } clicks[] = {
        {110, 10, top, {110, 10}},   // the disabled window
        {115, 15, top, {115, 15}},   // an enabled one inside it
        {179, 79, top, {179, 79}},   // the disabled window's last pixel
        {10, 10, enabled, {10, 10}}, // an enabled one keeps its input
    };
    for (const auto& c : clicks) {
        Log().clear();
        session.ClickAt(top, c.X, c.Y);
        EXPECT_EQ(CountOf(c.To, WM_LBUTTONDOWN), 1) << c.X << "," << c.Y;
        EXPECT_EQ(CountOf(c.To, WM_LBUTTONUP), 1) << c.X << "," << c.Y;
        EXPECT_EQ(LastPoint(c.To, WM_LBUTTONDOWN), c.At) << c.X << "," << c.Y;
        EXPECT_EQ(CountOf(panel, WM_LBUTTONDOWN) + CountOf(inner, WM_LBUTTONDOWN), 0);
    }
    // The surface disabled as a whole takes nothing.
    EnableWindow(top, false);
    Log().clear();
    session.ClickAt(top, 110, 10);
    EXPECT_EQ(CountOf(top, WM_LBUTTONDOWN), 0);
}

TEST_F(WindowInput, CaptureKeepsThePointerUntilReleased) {
    HWND top = TopLevel();
    HWND child = Child(top, 20, 20, 40, 40, clRed);
    session.MoveTo(child, 5, 5);
    session.Press();
    SetCapture(child);
    Log().clear();
    session.MoveTo(top, 150, 120);   // over the parent
    session.Move(10, 10);            // outside the top-level window altogether
    EXPECT_EQ(CountOf(top, WM_MOUSEMOVE), 0);
    EXPECT_EQ(CountOf(child, WM_MOUSEMOVE), 2);
    EXPECT_EQ(LastPoint(child, WM_MOUSEMOVE), (POINT{-110, -110}));
    session.Release();
    EXPECT_EQ(LastPoint(child, WM_LBUTTONUP), (POINT{-110, -110}));
    EXPECT_EQ(GetCapture(), child);
    ReleaseCapture();
    EXPECT_EQ(CountOf(child, WM_CAPTURECHANGED), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    session.MoveTo(top, 150, 120);
    EXPECT_EQ(CountOf(top, WM_MOUSEMOVE), 1);
}

TEST_F(WindowInput, EveryPointerMoveIsDelivered) {
    HWND top = TopLevel();
    Log().clear();
    for (int i = 0; i < 3; ++i) session.MoveTo(top, 10 + i, 10);
    EXPECT_EQ(CountOf(top, WM_MOUSEMOVE), 3);
    EXPECT_EQ(CountOf(top, WM_SETCURSOR), 3);
}

TEST_F(WindowInput, FocusChangeSendsKillFocusBeforeSetFocus) {
    HWND top = TopLevel();
    HWND a = Child(top, 0, 0, 10, 10, clRed);
    HWND b = Child(top, 20, 0, 10, 10, clRed);
    SetFocus(a);
    Log().clear();
    EXPECT_EQ(SetFocus(b), a);
    // The new focus is also asked whether it takes typed text; only the focus messages count here.
    std::erase_if(Log(), [](const LoggedMessage& m) { return m.msg == WM_GETDLGCODE; });
    ASSERT_EQ(Log().size(), 2u);
    EXPECT_EQ(Log()[0].hwnd, a);
    EXPECT_EQ(Log()[0].msg, UINT(WM_KILLFOCUS));
    EXPECT_EQ(Log()[0].wp, reinterpret_cast<WPARAM>(b));
    EXPECT_EQ(Log()[1].hwnd, b);
    EXPECT_EQ(Log()[1].msg, UINT(WM_SETFOCUS));
    EXPECT_EQ(Log()[1].wp, reinterpret_cast<WPARAM>(a));
    EXPECT_EQ(GetFocus(), b);
    // Disabling or destroying the focus window takes the focus away.
    EnableWindow(b, false);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(SetFocus(b), nullptr);
    SetFocus(a);
    DestroyWindow(a);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowInput, ActivationRemembersTheFocus) {
    HWND first = TopLevel();
    HWND edit = Child(first, 0, 0, 10, 10, clRed);
    SetFocus(edit);
    HWND second = TopLevel();
    EXPECT_EQ(GetActiveWindow(), second);
    EXPECT_EQ(GetFocus(), second);
    EXPECT_EQ(CountOf(edit, WM_KILLFOCUS), 1);
    session.Activate(first);
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetFocus(), edit);
}

TEST_F(WindowInput, DoubleClicksOnlyForClassesThatAskForThem) {
    HWND top = TopLevel();
    HWND plain = Child(top, 0, 0, 50, 50, clRed);
    HWND dbl = Child(top, 100, 0, 50, 50, clRed, "RecorderDbl");
    Log().clear();
    session.MoveTo(plain, 10, 10);
    session.DoubleClick(session.Driver().CursorPos().x, session.Driver().CursorPos().y);
    session.MoveTo(dbl, 10, 10);
    TPoint p = session.Driver().CursorPos();
    session.DoubleClick(p.x, p.y);
    session.Click(p.x, p.y); // a third press starts a new pair
    std::initializer_list<UINT> kinds{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
    EXPECT_EQ(LoggedOf(plain, kinds), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(LoggedOf(dbl, kinds), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                                                       WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    session.Wait(600);
    Log().clear();
    session.Click(p.x, p.y);
    session.Wait(501);
    session.Click(p.x, p.y); // too late
    session.Click(p.x + 5, p.y); // too far
    EXPECT_EQ(CountOf(dbl, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(CountOf(dbl, WM_LBUTTONDOWN), 3);
}

TEST_F(WindowInput, LeavingTheTopLevelWindowTellsTheWindowUnderThePointer) {
    HWND top = TopLevel();
    HWND child = Child(top, 20, 20, 40, 40, clRed);
    session.MoveTo(child, 5, 5);
    Log().clear();
    session.Move(5, 5);
    EXPECT_EQ(CountOf(child, WM_MOUSELEAVE), 1);
    EXPECT_EQ(CountOf(top, WM_MOUSELEAVE), 0);
}

TEST_F(WindowInput, KeysGoToTheFocusElseTheActiveWindow) {
    HWND top = TopLevel();
    HWND child = Child(top, 0, 0, 10, 10, clRed);
    Log().clear();
    session.Key('A');
    EXPECT_EQ(LoggedOf(top, {WM_KEYDOWN, WM_CHAR, WM_KEYUP}), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    SetFocus(child);
    Log().clear();
    session.Key('A', MK_SHIFT);
    ASSERT_EQ(LoggedOf(child, {WM_KEYDOWN, WM_CHAR, WM_KEYUP}), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    std::vector<LoggedMessage> keys;
    for (const LoggedMessage& m : Log())
        if (m.msg == WM_KEYDOWN || m.msg == WM_CHAR || m.msg == WM_KEYUP) keys.push_back(m);
    EXPECT_EQ(keys[0].wp, WPARAM('A'));
    EXPECT_EQ(keys[0].lp, 1);
    EXPECT_EQ(keys[1].wp, WPARAM('A'));
    EXPECT_EQ(static_cast<uint32_t>(keys[2].lp), 0xC0000001u);
    session.KeyDown(VK_RIGHT);
    session.KeyDown(VK_RIGHT, 0, true);
    EXPECT_EQ(static_cast<uint32_t>(Log().back().lp), 0x40000001u); // previous state: down
    EXPECT_NE(GetKeyState(VK_RIGHT) & 0x8000, 0);
    session.KeyUp(VK_RIGHT);
    EXPECT_EQ(GetKeyState(VK_RIGHT) & 0x8000, 0);
    Log().clear();
    session.Key(VK_F4, DRIVER_ALT);
    // Alt+F4 closes through DefWindowProcA, so the release finds no window.
    EXPECT_EQ(LoggedOf(child, {WM_SYSKEYDOWN, WM_SYSKEYUP, WM_KEYDOWN}), (std::vector<UINT>{WM_SYSKEYDOWN}));
    EXPECT_FALSE(IsWindow(top));
}

// What GetKeyState said while each key or button message was handled.
struct HeldWhenHandled {
    UINT msg;
    WPARAM wp;
    bool ctrl;
    bool left;
};
std::vector<HeldWhenHandled>& Held() {
    static std::vector<HeldWhenHandled> held;
    return held;
}
HWND gDestroyOnCtrl = nullptr;
LRESULT CALLBACK_HeldKeys(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) {
        Held().push_back({msg, wp, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_LBUTTON) < 0});
        if (msg == WM_KEYDOWN && wp == VK_CONTROL && hwnd == gDestroyOnCtrl) DestroyWindow(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Events read in one batch (a slow program reads the display's backlog at once) are handled with
// the key state of their own moment, not the latest: Ctrl+V stays Ctrl+V though Ctrl's release
// was read with it; a press and release of the button read together still show the button down.
TEST_F(WindowInput, KeyStateIsThatOfTheMessageBeingHandled) {
    WNDCLASS wc;
    wc.lpszClassName = "HeldKeys";
    wc.lpfnWndProc = CALLBACK_HeldKeys;
    RegisterClassA(wc);
    HWND top = CreateWindowExA(0, "HeldKeys", "held", WS_CAPTION, 100, 100, 200, 150, nullptr, 0, nullptr);
    ShowWindow(top, SW_SHOW);
    session.Pump();
    Held().clear();
    const DriverWindowId id = GetDriverWindowId(top);
    auto key = [id](DriverEvent::Type type, unsigned vk, unsigned shift) {
        DriverEvent e;
        e.type = type;
        e.window = id;
        e.vk = vk;
        e.shift = shift;
        return e;
    };
    auto button = [id](DriverEvent::Type type, unsigned shift) {
        DriverEvent e;
        e.type = type;
        e.window = id;
        e.x = 10;
        e.y = 10;
        e.button = 1;
        e.shift = shift;
        return e;
    };
    for (const DriverEvent& e :
         {key(DriverEvent::KeyDown, VK_CONTROL, MK_CONTROL), key(DriverEvent::KeyDown, 'V', MK_CONTROL),
          button(DriverEvent::ButtonDown, MK_CONTROL), button(DriverEvent::ButtonUp, MK_CONTROL),
          key(DriverEvent::KeyUp, 'V', MK_CONTROL), key(DriverEvent::KeyUp, VK_CONTROL, 0),
          key(DriverEvent::KeyDown, 'V', 0)})
        session.Driver().Push(e);
    session.Pump();
    const std::vector<std::tuple<UINT, WPARAM, bool, bool>> expected = {
        {WM_KEYDOWN, VK_CONTROL, true, false}, {WM_KEYDOWN, 'V', true, false},
        {WM_LBUTTONDOWN, MK_CONTROL | MK_LBUTTON, true, true}, {WM_LBUTTONUP, MK_CONTROL, true, false},
        {WM_KEYUP, 'V', true, false}, {WM_KEYUP, VK_CONTROL, false, false}, {WM_KEYDOWN, 'V', false, false}};
    ASSERT_EQ(Held().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto& [msg, wp, ctrl, left] = expected[i];
        EXPECT_EQ(Held()[i].msg, msg) << i;
        EXPECT_EQ(Held()[i].wp, wp) << i;
        EXPECT_EQ(Held()[i].ctrl, ctrl) << i;
        EXPECT_EQ(Held()[i].left, left) << i;
    }
    session.Driver().Push(key(DriverEvent::KeyUp, 'V', 0));
    session.Pump();

    // A window destroyed with input still queued for it: what that input said of the keys is not
    // lost, and Ctrl is not left held.
    gDestroyOnCtrl = top;
    session.Driver().Push(key(DriverEvent::KeyDown, VK_CONTROL, MK_CONTROL));
    session.Driver().Push(key(DriverEvent::KeyUp, VK_CONTROL, 0));
    session.Pump();
    gDestroyOnCtrl = nullptr;
    EXPECT_FALSE(IsWindow(top));
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
}

TEST_F(WindowInput, CursorPositionComesFromTheDriver) {
    HWND top = TopLevel();
    HWND child = Child(top, 20, 20, 40, 40, clRed);
    session.Move(130, 140);
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    ASSERT_TRUE(ScreenToClient(child, &p));
    EXPECT_EQ(p, (POINT{10, 20}));
    session.Driver().SetCursorUnknown();
    EXPECT_FALSE(GetCursorPos(&p));
}

TEST_F(WindowInput, ModalLoopDisablesTheOwnerUntilDone) {
    HWND owner = TopLevel();
    HWND dialog = CreateWindowExA(0, "Recorder", "dlg", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 50, 50, owner, 0, nullptr);
    EXPECT_EQ(GetActiveWindow(), dialog);
    bool done = false;
    int waits = 0;
    session.Driver().SetWaitHook([&](int64_t) {
        ++waits;
        EXPECT_FALSE(IsWindowEnabled(owner));
        done = true;
        PostMessageA(dialog, WM_NULL, 0, 0);
    });
    EXPECT_EQ(RunModalLoop(dialog, &done), 0);
    EXPECT_EQ(waits, 1);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
}

} // namespace
