#include <gtest/gtest.h>

#include <map>

#include "WindowTestKit.h"
#include "lumivane/base/Exception.h"

using namespace lumivane;

namespace {

class WindowTimers : public ::testing::Test, public WindowTest {};
class WindowPainting : public ::testing::Test, public WindowTest {};

std::vector<int64_t>& TimerTimes() {
    static std::vector<int64_t> t;
    return t;
}

LRESULT TimedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) TimerTimes().push_back(static_cast<int64_t>(wp) * 100000 + GetTickCount64());
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT LazyPainterProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) return 0; // never validates
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND TimedWindow() {
    WNDCLASS wc;
    wc.lpszClassName = "Timed";
    wc.lpfnWndProc = TimedProc;
    RegisterClassA(wc);
    TimerTimes().clear();
    return CreateWindowExA(0, "Timed", "", 0, 0, 0, 10, 10, nullptr, 0, nullptr);
}

TEST_F(WindowTimers, FireExactlyOnTheVirtualClockAndZeroNever) {
    HWND w = TimedWindow();
    SetTimer(w, 1, 55, nullptr);
    SetTimer(w, 2, 0, nullptr);
    session.Wait(54);
    EXPECT_TRUE(TimerTimes().empty());
    session.Wait(200);
    EXPECT_EQ(TimerTimes(), (std::vector<int64_t>{100055, 100110, 100165, 100220}));
    KillTimer(w, 1);
    session.Wait(1000);
    EXPECT_EQ(TimerTimes().size(), 4u);
}

TEST_F(WindowTimers, MissedTicksCoalesceAndKeepThePhase) {
    HWND w = TimedWindow();
    SetTimer(w, 3, 10, nullptr);
    session.Driver().Advance(95);
    session.Pump();
    EXPECT_EQ(TimerTimes(), (std::vector<int64_t>{300095}));
    int64_t next = 0;
    ASSERT_TRUE(GetNextTimerDeadline(&next));
    EXPECT_EQ(next, 100);
}

TEST_F(WindowTimers, SettingATimerAgainRestartsIt) {
    HWND w = TimedWindow();
    SetTimer(w, 1, 50, nullptr);
    session.Wait(40);
    SetTimer(w, 1, 30, nullptr);
    session.Wait(60);
    EXPECT_EQ(TimerTimes(), (std::vector<int64_t>{100070, 100100}));
}

// A resting timer neither fires nor gives the loop a deadline; woken, it fires on its old phase
// (a tick due at that very moment included), and setting it again wakes it too.
TEST_F(WindowTimers, ARestingTimerSkipsItsTicksAndKeepsThePhase) {
    HWND w = TimedWindow();
    SetTimer(w, 1, 100, nullptr);
    session.Wait(150);
    ASSERT_TRUE(SetTimerResting(w, 1, true));
    int64_t next = 0;
    EXPECT_FALSE(GetNextTimerDeadline(&next));
    session.Wait(350);  // to 500, a tick of the old phase
    SetTimerResting(w, 1, false);
    session.Wait(120);
    EXPECT_EQ(TimerTimes(), (std::vector<int64_t>{100100, 100500, 100600}));
    SetTimerResting(w, 1, true);
    SetTimer(w, 1, 100, nullptr);
    session.Wait(100);
    EXPECT_EQ(TimerTimes().back(), 100720);
    EXPECT_FALSE(SetTimerResting(w, 2, true));
}

TEST_F(WindowTimers, AnIdleLoopSleepsInsteadOfSpinning) {
    TopLevel();
    HeadlessDriver& d = session.Driver();
    int idleBefore = d.IdleWaits();
    int callsBefore = d.WaitCalls();
    session.Pump();
    session.Pump();
    EXPECT_EQ(d.IdleWaits(), idleBefore);
    EXPECT_LE(d.WaitCalls() - callsBefore, 6);

    // GetMessageA with nothing to do waits once, without a deadline.
    std::vector<int64_t> deadlines;
    d.SetWaitHook([&](int64_t deadline) {
        deadlines.push_back(deadline);
        if (deadline >= 0)
            d.SetNow(deadline);
        else
            PostQuitMessage(3);
    });
    MSG m;
    EXPECT_FALSE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_EQ(deadlines, (std::vector<int64_t>{-1}));

    // With a timer it waits exactly until the timer is due.
    HWND w = TimedWindow();
    deadlines.clear();
    SetTimer(w, 1, 250, nullptr);
    ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
    EXPECT_EQ(m.message, UINT(WM_TIMER));
    EXPECT_EQ(deadlines, (std::vector<int64_t>{250}));
    d.SetWaitHook(nullptr);
}

TEST_F(WindowTimers, AWaitThatCanNeverEndFailsInsteadOfHanging) {
    TopLevel();
    MSG m;
    EXPECT_THROW(GetMessageA(&m, nullptr, 0, 0), Exception);
}

TEST_F(WindowPainting, FirstShowPaintsAndPresentsEverything) {
    HWND top = TopLevel(200, 150, clGreen);
    EXPECT_EQ(session.Pixel(top, 0, 0), clGreen);
    EXPECT_EQ(session.Pixel(top, 199, 149), clGreen);
    auto presents = session.Presents(top);
    ASSERT_EQ(presents.size(), 1u);
    EXPECT_EQ(presents[0], (std::vector<TRect>{{0, 0, 200, 150}}));
}

TEST_F(WindowPainting, InvalidatingASmallChildRepaintsAndPresentsOnlyIt) {
    HWND top = TopLevel(200, 150, clWhite);
    HWND small = Child(top, 30, 40, 20, 10, clRed);
    HWND other = Child(top, 100, 40, 20, 10, clBlue);
    session.Pump();
    EXPECT_EQ(session.Pixel(top, 30, 40), clRed);
    EXPECT_EQ(session.Pixel(top, 119, 49), clBlue);
    session.ClearPresents();
    Log().clear();
    SetWindowLongPtrA(small, GWLP_USERDATA, clYellow);
    InvalidateRect(small, nullptr, true);
    session.Pump();
    EXPECT_EQ(CountOf(small, WM_PAINT), 1);
    EXPECT_EQ(CountOf(top, WM_PAINT), 0);
    EXPECT_EQ(CountOf(other, WM_PAINT), 0);
    EXPECT_EQ(session.Presents(top), (std::vector<std::vector<TRect>>{{{30, 40, 50, 50}}}));
    EXPECT_EQ(session.Pixel(top, 30, 40), clYellow);
    EXPECT_EQ(session.Pixel(top, 49, 49), clYellow);
    EXPECT_EQ(session.Pixel(top, 50, 49), clWhite);
}

TEST_F(WindowPainting, ChildrenAreExcludedFromTheParentsClip) {
    HWND top = TopLevel(200, 150, clWhite);
    HWND child = Child(top, 30, 40, 20, 10, clRed);
    session.Pump();
    SetWindowLongPtrA(top, GWLP_USERDATA, clGreen);
    InvalidateRect(top, nullptr, true);
    ValidateRect(child, nullptr); // only the parent paints
    session.Pump();
    EXPECT_EQ(CountOf(child, WM_PAINT), 1); // the first paint only
    EXPECT_EQ(session.Pixel(top, 30, 40), clRed);
    EXPECT_EQ(session.Pixel(top, 49, 49), clRed);
    EXPECT_EQ(session.Pixel(top, 29, 40), clGreen);
    EXPECT_EQ(session.Pixel(top, 50, 49), clGreen);
}

TEST_F(WindowPainting, InvalidatingTheParentRepaintsTheChildrenOverIt) {
    HWND top = TopLevel(200, 150, clWhite);
    HWND child = Child(top, 30, 40, 20, 10, clRed);
    session.Pump();
    Log().clear();
    RECT r{0, 0, 35, 45};
    InvalidateRect(top, &r, true);
    session.Pump();
    EXPECT_EQ(CountOf(child, WM_PAINT), 1);
    EXPECT_EQ(session.Pixel(top, 30, 40), clRed);
    EXPECT_EQ(session.Presents(top).back(), (std::vector<TRect>{{0, 0, 35, 45}}));
}

TEST_F(WindowPainting, SiblingsAboveAreNotPaintedOver) {
    HWND top = TopLevel(200, 150, clWhite);
    HWND below = Child(top, 10, 10, 40, 40, clRed);
    Child(top, 30, 30, 40, 40, clBlue);
    session.Pump();
    SetWindowLongPtrA(below, GWLP_USERDATA, clYellow);
    InvalidateRect(below, nullptr, true);
    session.Pump();
    EXPECT_EQ(session.Pixel(top, 29, 29), clYellow);
    EXPECT_EQ(session.Pixel(top, 30, 30), clBlue);
    EXPECT_EQ(session.Pixel(top, 49, 49), clBlue);
}

TEST_F(WindowPainting, WindowRegionsClipPainting) {
    HWND top = TopLevel(200, 150, clWhite);
    HWND child = Child(top, 20, 20, 40, 40, clRed);
    SetWindowRgn(child, CreateRoundRectRgn(0, 0, 41, 41, 20, 20), true);
    SetWindowLongPtrA(top, GWLP_USERDATA, clGreen);
    InvalidateRect(top, nullptr, true);
    session.Pump();
    EXPECT_EQ(session.Pixel(top, 20, 20), clGreen); // the corner shows the parent
    EXPECT_EQ(session.Pixel(top, 40, 40), clRed);
    EXPECT_EQ(session.Pixel(top, 40, 20), clRed);
    Region copy;
    EXPECT_EQ(GetWindowRgn(child, &copy), COMPLEXREGION);
    EXPECT_FALSE(copy.Contains(0, 0));
}

TEST_F(WindowPainting, MovingAChildRepaintsWhatItUncovered) {
    HWND top = TopLevel(200, 150, clWhite);
    HWND child = Child(top, 10, 10, 20, 20, clRed);
    session.Pump();
    MoveWindow(child, 100, 100, 20, 20, true);
    session.Pump();
    EXPECT_EQ(session.Pixel(top, 10, 10), clWhite);
    EXPECT_EQ(session.Pixel(top, 100, 100), clRed);
    ShowWindow(child, SW_HIDE);
    session.Pump();
    EXPECT_EQ(session.Pixel(top, 100, 100), clWhite);
}

// Hundreds of overlapping siblings (enough for the window system to index where they lie),
// restacked, moved, hidden and destroyed: every pixel still shows the topmost visible child over
// it, or the parent.
TEST_F(WindowPainting, ManyOverlappingSiblingsAlwaysShowTheTopmost) {
    const int W = 240, H = 160, N = 150;
    HWND top = TopLevel(W, H, clWhite);
    std::map<HWND, TRect> rects;
    uint32_t seed = 12345;
    auto next = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(n));
    };
    std::vector<HWND> kids;
    for (int i = 0; i < N; ++i) {
        TRect r{next(W + 40) - 20, next(H + 40) - 20, 0, 0}; // some reach out of the parent
        bool wide = next(10) == 0; // some cover many cells of the index
        r.Right = r.Left + (wide ? 100 + next(150) : 4 + next(40));
        r.Bottom = r.Top + (wide ? 80 + next(100) : 4 + next(30));
        HWND c = Child(top, r.Left, r.Top, r.Width(), r.Height(), static_cast<TColor>(RGB(i * 7 % 256, 40, i + 1)));
        rects[c] = r;
        kids.push_back(c);
    }
    auto check = [&](const char* when) {
        session.Pump();
        std::vector<HWND> order; // topmost first
        for (HWND c = GetWindow(top, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) order.push_back(c);
        int wrong = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                TColor want = clWhite;
                for (HWND c : order)
                    if (IsWindowVisible(c) && rects[c].Contains(x, y)) {
                        want = static_cast<TColor>(GetWindowLongPtrA(c, GWLP_USERDATA));
                        break;
                    }
                wrong += session.Pixel(top, x, y) != want;
            }
        EXPECT_EQ(wrong, 0) << when;
    };
    check("shown");
    for (int i = 0; i < 40; ++i) {
        HWND c = kids[static_cast<size_t>(next(N))];
        switch (i % 4) {
        case 0: SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); break;
        case 1: SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); break;
        case 2: SetWindowPos(c, kids[static_cast<size_t>(next(N))], 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); break;
        default: {
            TRect r{next(W) - 10, next(H) - 10, 0, 0};
            r.Right = r.Left + 5 + next(60);
            r.Bottom = r.Top + 5 + next(40);
            MoveWindow(c, r.Left, r.Top, r.Width(), r.Height(), true);
            rects[c] = r;
        }
        }
    }
    check("restacked and moved");
    for (int i = 0; i < N; i += 3) ShowWindow(kids[static_cast<size_t>(i)], SW_HIDE);
    check("a third hidden");
    for (int i = 0; i < N; i += 2) DestroyWindow(kids[static_cast<size_t>(i)]);
    for (int i = 0; i < N; i += 6) ShowWindow(kids[static_cast<size_t>(i + 3)], SW_SHOW);
    check("half destroyed, some shown again");
}

TEST_F(WindowPainting, ResizeFromTheDisplayReallocatesAndRepaints) {
    HWND top = TopLevel(200, 150, clGreen);
    Log().clear();
    session.Resize(top, 300, 220);
    ASSERT_EQ(CountOf(top, WM_SIZE), 1);
    EXPECT_EQ(Log().front().lp, MAKELPARAM(300, 220));
    RECT rc;
    GetClientRect(top, &rc);
    EXPECT_EQ(rc, (RECT{0, 0, 300, 220}));
    EXPECT_EQ(session.Pixel(top, 299, 219), clGreen);
    EXPECT_EQ(session.Presents(top).back(), (std::vector<TRect>{{0, 0, 300, 220}}));
}

TEST_F(WindowPainting, AProcedureThatNeverPaintsDoesNotSpinTheLoop) {
    WNDCLASS wc;
    wc.lpszClassName = "Lazy";
    wc.lpfnWndProc = LazyPainterProc;
    RegisterClassA(wc);
    HWND top = TopLevel();
    HWND lazy = CreateWindowExA(0, "Lazy", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top, 0, nullptr);
    session.Pump();
    RECT r;
    EXPECT_FALSE(GetUpdateRect(lazy, &r, false));
}

TEST_F(WindowPainting, GetDCDrawsOnlyOnTheVisiblePartAndIsPresented) {
    HWND top = TopLevel(200, 150, clWhite);
    HWND child = Child(top, 10, 10, 20, 20, clRed);
    session.Pump();
    session.ClearPresents();
    HDC dc = GetDC(top);
    ASSERT_NE(dc, nullptr);
    dc->FillRect({0, 0, 50, 50}, clBlue);
    ReleaseDC(top, dc);
    session.Pump();
    EXPECT_EQ(session.Pixel(top, 5, 5), clBlue);
    EXPECT_EQ(session.Pixel(top, 15, 15), clRed);
    EXPECT_EQ(session.Presents(top).size(), 1u);
    (void)child;
}

} // namespace
