#include <gtest/gtest.h>

#include <set>

#include "WindowTestKit.h"

using namespace lumivane;

namespace {

class WindowCore : public ::testing::Test, public WindowTest {};

LRESULT NestingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER) return wp == 0 ? 0 : static_cast<LRESULT>(wp) + SendMessageA(hwnd, WM_USER, wp - 1, 0);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

WNDPROC gOldProc = nullptr;
LRESULT SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER) return 7;
    if (msg == WM_USER + 1) return 100 + CallWindowProcA(gOldProc, hwnd, msg, wp, lp);
    return CallWindowProcA(gOldProc, hwnd, msg, wp, lp);
}
LRESULT BaseProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_USER || msg == WM_USER + 1) return 1;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT SelfDestroyingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Log().push_back({hwnd, msg, wp, lp});
    if (msg == WM_USER) {
        DestroyWindow(hwnd);
        // Still inside the handler: everything on the handle must fail softly.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 5);
        InvalidateRect(hwnd, nullptr, true);
        return DefWindowProcA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")) + 40;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT RefusingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) return -1;
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void Register(const char* name, WNDPROC proc) {
    WNDCLASS wc;
    wc.lpszClassName = name;
    wc.lpfnWndProc = proc;
    RegisterClassA(wc);
}

TEST_F(WindowCore, PostedMessagesArriveInOrderAfterSentOnes) {
    HWND top = TopLevel();
    Log().clear();
    for (UINT i = 1; i <= 4; ++i) PostMessageA(top, WM_USER + i, i, 0);
    SendMessageA(top, WM_USER + 9, 0, 0);
    session.Pump();
    EXPECT_EQ(LoggedOf(top, {WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4, WM_USER + 9}),
              (std::vector<UINT>{WM_USER + 9, WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4}));
}

TEST_F(WindowCore, NestedSendMessageIsReentrant) {
    Register("Nester", NestingProc);
    HWND w = CreateWindowExA(0, "Nester", "", 0, 0, 0, 10, 10, nullptr, 0, nullptr);
    EXPECT_EQ(SendMessageA(w, WM_USER, 20, 0), 210);
}

TEST_F(WindowCore, SubclassingChainsToTheOldProcedure) {
    Register("Base", BaseProc);
    HWND w = CreateWindowExA(0, "Base", "", 0, 0, 0, 10, 10, nullptr, 0, nullptr);
    gOldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    EXPECT_EQ(gOldProc, &BaseProc);
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 7);
    EXPECT_EQ(SendMessageA(w, WM_USER + 1, 0, 0), 101);
    // Text handling reaches DefWindowProcA through both procedures.
    SetWindowTextA(w, "chained");
    EXPECT_EQ(GetWindowTextString(w), "chained");
}

TEST_F(WindowCore, WindowTextIsTruncatedToTheBuffer) {
    HWND w = TopLevel();
    SetWindowTextA(w, "abcdef");
    char buf[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetWindowTextA(w, buf, 4), 3);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(GetWindowTextLengthA(w), 6);
    EXPECT_EQ(GetWindowTextA(w, buf, 0), 0);
    EXPECT_EQ(session.Driver().Find(GetDriverWindowId(w))->title, "abcdef");
}

TEST_F(WindowCore, StaleAndBogusHandlesAreHarmless) {
    HWND top = TopLevel();
    HWND child = Child(top, 0, 0, 10, 10, clRed);
    ASSERT_TRUE(DestroyWindow(child));
    for (HWND h : {child, reinterpret_cast<HWND>(0x7654320), reinterpret_cast<HWND>(1)}) {
        EXPECT_FALSE(IsWindow(h));
        EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 0);
        EXPECT_FALSE(PostMessageA(h, WM_USER, 0, 0));
        EXPECT_FALSE(SetWindowTextA(h, "x"));
        RECT rc;
        EXPECT_FALSE(GetClientRect(h, &rc));
        EXPECT_EQ(SetTimer(h, 1, 10, nullptr), 0u);
        EXPECT_EQ(SetFocus(h), nullptr);
        EXPECT_FALSE(InvalidateRect(h, nullptr, true));
        EXPECT_FALSE(DestroyWindow(h));
        EXPECT_EQ(GetDC(h), nullptr);
        EXPECT_EQ(SetWindowRgn(h, CreateRectRgn(0, 0, 1, 1), true), 0);
        EXPECT_EQ(GetParent(h), nullptr);
    }
    session.Pump();
}

TEST_F(WindowCore, HandlesAreNeverReused) {
    std::set<HWND> seen;
    for (int i = 0; i < 200; ++i) {
        HWND w = CreateWindowExA(0, "Recorder", "", 0, 0, 0, 5, 5, nullptr, 0, nullptr);
        EXPECT_TRUE(seen.insert(w).second);
        DestroyWindow(w);
    }
}

TEST_F(WindowCore, DestroyingInsideItsOwnHandlerIsSafe) {
    Register("SelfDestroying", SelfDestroyingProc);
    HWND top = TopLevel();
    HWND w = CreateWindowExA(0, "SelfDestroying", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, 0, nullptr);
    HWND inner = CreateWindowExA(0, "SelfDestroying", "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, w, 0, nullptr);
    Log().clear();
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 40);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(IsWindow(inner));
    EXPECT_EQ(GetWindow(top, GW_CHILD), nullptr);
    // Children go first; the last message a window gets is WM_NCDESTROY.
    std::vector<std::pair<HWND, UINT>> order;
    for (const LoggedMessage& m : Log())
        if (m.msg == WM_DESTROY || m.msg == WM_NCDESTROY) order.push_back({m.hwnd, m.msg});
    EXPECT_EQ(order, (std::vector<std::pair<HWND, UINT>>{
                         {inner, WM_DESTROY}, {inner, WM_NCDESTROY}, {w, WM_DESTROY}, {w, WM_NCDESTROY}}));
    session.Pump();
}

TEST_F(WindowCore, DestroyingAWindowDropsItsQueuedMessagesAndTimers) {
    HWND top = TopLevel();
    HWND w = Child(top, 0, 0, 10, 10, clRed);
    PostMessageA(w, WM_USER, 0, 0);
    SetTimer(w, 1, 10, nullptr);
    DestroyWindow(w);
    int64_t deadline;
    EXPECT_FALSE(GetNextTimerDeadline(&deadline));
    Log().clear();
    session.Wait(50);
    EXPECT_EQ(CountOf(w, WM_USER), 0);
}

TEST_F(WindowCore, RefusedCreationLeavesNoWindow) {
    Register("Refusing", RefusingProc);
    HWND top = TopLevel();
    EXPECT_EQ(CreateWindowExA(0, "Refusing", "", WS_CHILD, 0, 0, 5, 5, top, 0, nullptr), nullptr);
    EXPECT_EQ(GetWindow(top, GW_CHILD), nullptr);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_CHILD, 0, 0, 5, 5, top, 0, nullptr), nullptr);
}

TEST_F(WindowCore, ChildrenAreKeptTopFirstAndRestack) {
    HWND top = TopLevel();
    HWND a = Child(top, 0, 0, 10, 10, clRed);
    HWND b = Child(top, 0, 0, 10, 10, clRed);
    EXPECT_EQ(GetWindow(top, GW_CHILD), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(top, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), nullptr);
}

TEST_F(WindowCore, CoordinatesFollowTheTree) {
    HWND top = TopLevel();
    HWND child = Child(top, 20, 30, 50, 50, clRed);
    HWND inner = Child(child, 5, 6, 10, 10, clBlue);
    POINT p{130, 140};
    ASSERT_TRUE(ScreenToClient(inner, &p));
    EXPECT_EQ(p, (POINT{5, 4}));
    ClientToScreen(inner, &p);
    EXPECT_EQ(p, (POINT{130, 140}));
    RECT r;
    GetWindowRect(inner, &r);
    EXPECT_EQ(r, (RECT{125, 136, 135, 146}));
    POINT q{0, 0};
    MapWindowPoints(inner, top, &q, 1);
    EXPECT_EQ(q, (POINT{25, 36}));
    MoveWindow(child, 0, 0, 50, 50, true);
    EXPECT_GT(CountOf(child, WM_MOVE), 0);
    GetWindowRect(inner, &r);
    EXPECT_EQ(r, (RECT{105, 106, 115, 116}));
}

TEST_F(WindowCore, ShellExecuteHandsAddressesOverExactly) {
    const char* odd = "https://example.com/a b?q='1';$(rm -rf x)&z=\"2\"";
    EXPECT_GT(ShellExecuteA(nullptr, "open", odd, nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_GT(ShellExecuteA(nullptr, nullptr, "http://x/", nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_LE(ShellExecuteA(nullptr, "open", "-e evil", nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_LE(ShellExecuteA(nullptr, "open", "", nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_LE(ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_LE(ShellExecuteA(nullptr, "print", "http://x/", nullptr, nullptr, SW_SHOWNORMAL), 32);
    EXPECT_EQ(session.OpenedAddresses(), (std::vector<std::string>{odd, "http://x/"}));
}

TEST_F(WindowCore, ATerminateRequestEndsTheLoopAsQuit) {
    TopLevel();
    session.Driver().RequestTerminate();
    MSG m;
    EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_FALSE(session.Driver().TakeTerminateRequest()); // taken once
}

TEST_F(WindowCore, ClipboardAndPrimarySelectionHoldUtf8) {
    std::string got;
    EXPECT_FALSE(GetClipboardText(&got));
    EXPECT_FALSE(GetPrimarySelectionText(&got));
    std::string text("a\xC3\xA9\xE2\x82\xAC\0z\xF0\x9F\x98\x80", 12);
    SetClipboardText(text);
    ASSERT_TRUE(GetClipboardText(&got));
    EXPECT_EQ(got, text);
    EXPECT_FALSE(GetPrimarySelectionText(&got)); // two selections, apart
    // Bad bytes are stored as U+FFFD, going in and coming out.
    SetPrimarySelectionText("x\xE9y");
    ASSERT_TRUE(GetPrimarySelectionText(&got));
    EXPECT_EQ(got, "x\xEF\xBF\xBDy");
    session.SetClipboard("\xC3");
    ASSERT_TRUE(GetClipboardText(&got));
    EXPECT_EQ(got, "\xEF\xBF\xBD");
}

TEST_F(WindowCore, CloseRequestDestroysThroughDefWindowProc) {
    HWND top = TopLevel();
    HWND child = Child(top, 0, 0, 10, 10, clRed);
    session.Close(top);
    EXPECT_EQ(CountOf(top, WM_CLOSE), 1);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_TRUE(session.TopLevelWindows().empty());
    EXPECT_TRUE(session.Driver().Windows().empty());
}

// Per-window state: one object of each type side by side, found by its type only, and freed with
// the window even when nobody removes it.
struct CountedData : WindowData {
    explicit CountedData(int* alive) : alive(alive) { ++*alive; }
    ~CountedData() override { --*alive; }
    int* alive;
};
struct OtherData : WindowData {
    int value = 3;
};

TEST_F(WindowCore, WindowDataIsTypedAndGoesWithTheWindow) {
    HWND top = TopLevel();
    HWND child = Child(top, 0, 0, 10, 10, clRed);
    int alive = 0;
    CountedData* counted = MakeWindowData<CountedData>(child, &alive);
    ASSERT_NE(counted, nullptr);
    MakeWindowData<OtherData>(child);
    EXPECT_EQ(WindowDataOf<CountedData>(child), counted);
    EXPECT_EQ(WindowDataOf<OtherData>(child)->value, 3);
    EXPECT_EQ(WindowDataOf<OtherData>(top), nullptr);
    // Replacing frees the old object; removing frees it and leaves the others.
    MakeWindowData<CountedData>(child, &alive);
    EXPECT_EQ(alive, 1);
    RemoveWindowData<CountedData>(child);
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(WindowDataOf<CountedData>(child), nullptr);
    EXPECT_NE(WindowDataOf<OtherData>(child), nullptr);
    MakeWindowData<CountedData>(child, &alive);
    DestroyWindow(top);
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(WindowDataOf<OtherData>(child), nullptr);
    EXPECT_EQ(MakeWindowData<CountedData>(child, &alive), nullptr); // a stale handle takes nothing
    EXPECT_EQ(alive, 0);
}

} // namespace
