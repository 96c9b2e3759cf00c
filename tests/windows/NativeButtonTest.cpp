#include <gtest/gtest.h>

#include <vector>

#include "lumivane/windows/NativeButton.h"
#include "lumivane/windows/Window.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/gfx/text/Font.h"

using namespace lumivane;

namespace {

// What the button tells its parent.
struct Record {
    int clicks = 0;
    UINT clickId = 0;
    HWND clickFrom = nullptr;
    int measures = 0;
    MEASUREITEMSTRUCT measured;
    std::vector<DRAWITEMSTRUCT> draws;
};
Record g;

constexpr TColor kSelectedFace = clRed;
constexpr TColor kFace = clBlue;

LRESULT HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED) {
            ++g.clicks;
            g.clickId = LOWORD(wp);
            g.clickFrom = reinterpret_cast<HWND>(lp);
        }
        return 0;
    case WM_DRAWITEM: {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        g.draws.push_back(*d);
        // Paint through the given context so the test can see where it lands.
        d->hDC->FillRect(d->rcItem, (d->itemState & ODS_SELECTED) ? kSelectedFace : kFace);
        return 1;
    }
    case WM_MEASUREITEM:
        ++g.measures;
        g.measured = *reinterpret_cast<const MEASUREITEMSTRUCT*>(lp);
        return 1;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

class NativeButton : public ::testing::Test {
protected:
    void SetUp() override {
        g = Record{};
        WNDCLASS wc;
        wc.lpszClassName = "NativeButtonHost";
        wc.lpfnWndProc = HostProc;
        ASSERT_TRUE(RegisterClassA(wc));
        host = CreateWindowExA(0, "NativeButtonHost", "host", WS_OVERLAPPED | WS_VISIBLE, 100, 100, 200, 80,
                               nullptr, 0, nullptr);
        other = CreateWindowExA(0, "NativeButtonHost", "", WS_CHILD | WS_VISIBLE, 150, 50, 20, 20, host, 3, nullptr);
        button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 75, 25, host, 7,
                                 nullptr);
        ASSERT_TRUE(button);
        s.Pump();
    }

    // Selected and focus bits of the latest draw request.
    UINT Shown() const { return g.draws.empty() ? 0xFFFF : g.draws.back().itemState & (ODS_SELECTED | ODS_FOCUS); }
    TColor FaceAt(int x, int y) { return s.Pixel(host, 10 + x, 10 + y); }

    HeadlessSession s;
    HWND host = nullptr;
    HWND other = nullptr;
    HWND button = nullptr;
};

} // namespace

TEST_F(NativeButton, MeasuresOnceAndDrawsTheWholeClientArea) {
    EXPECT_EQ(g.measures, 1);
    EXPECT_EQ(g.measured.CtlType, UINT(ODT_BUTTON));
    EXPECT_EQ(g.measured.CtlID, 7u);
    ASSERT_FALSE(g.draws.empty());
    const DRAWITEMSTRUCT& d = g.draws.back();
    EXPECT_EQ(d.CtlType, UINT(ODT_BUTTON));
    EXPECT_EQ(d.CtlID, 7u);
    EXPECT_EQ(d.itemAction, UINT(ODA_DRAWENTIRE));
    EXPECT_EQ(d.hwndItem, button);
    EXPECT_EQ(d.rcItem, Rect(0, 0, 75, 25));
    EXPECT_EQ(Shown(), 0u);
    EXPECT_EQ(FaceAt(0, 0), kFace);
    EXPECT_EQ(FaceAt(74, 24), kFace);
    EXPECT_EQ(s.Pixel(host, 85, 35), ColorToRGB(clBtnFace)); // nothing outside the item
}

TEST_F(NativeButton, PressAndReleaseOnTheButtonClicksOnce) {
    s.MoveTo(button, 20, 10);
    s.Press();
    EXPECT_EQ(GetCapture(), button);
    EXPECT_EQ(GetFocus(), button);
    EXPECT_EQ(Shown(), UINT(ODS_SELECTED | ODS_FOCUS));
    EXPECT_EQ(FaceAt(5, 5), kSelectedFace);
    EXPECT_EQ(g.clicks, 0);
    s.Release();
    EXPECT_EQ(g.clicks, 1);
    EXPECT_EQ(g.clickId, 7u);
    EXPECT_EQ(g.clickFrom, button);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Shown(), UINT(ODS_FOCUS));
    EXPECT_EQ(FaceAt(5, 5), kFace);
}

TEST_F(NativeButton, DraggingOffAndBackFollowsThePointer) {
    s.MoveTo(button, 20, 10);
    s.Press();
    s.MoveTo(button, 90, 10); // off to the right, still captured
    EXPECT_EQ(Shown(), UINT(ODS_FOCUS));
    EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0), LRESULT(BST_FOCUS));
    s.MoveTo(button, 30, 12);
    EXPECT_EQ(Shown(), UINT(ODS_SELECTED | ODS_FOCUS));
    EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0), LRESULT(BST_PUSHED | BST_FOCUS));
    s.MoveTo(button, 30, -5);
    s.Release(); // released elsewhere: no click, but capture and selection end
    EXPECT_EQ(g.clicks, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Shown(), UINT(ODS_FOCUS));
}

TEST_F(NativeButton, TheWindowRegionBoundsTheButton) {
    SetWindowRgn(button, CreateRoundRectRgn(0, 0, 76, 26, 20, 20), false);
    s.MoveTo(button, 37, 12);
    s.Press();
    s.MoveTo(button, 1, 1); // inside the rectangle, outside the rounded corner
    EXPECT_EQ(Shown(), UINT(ODS_FOCUS));
    s.Release();
    EXPECT_EQ(g.clicks, 0);
}

TEST_F(NativeButton, LosingTheFocusCancelsAPress) {
    s.MoveTo(button, 20, 10);
    s.Press();
    SetFocus(other);
    s.Pump();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Shown(), 0u);
    s.Release();
    EXPECT_EQ(g.clicks, 0);
}

TEST_F(NativeButton, SpaceClicksOnReleaseAndEnterDoesNothing) {
    SetFocus(button);
    s.Pump();
    EXPECT_EQ(Shown(), UINT(ODS_FOCUS));
    s.KeyDown(VK_SPACE);
    EXPECT_EQ(Shown(), UINT(ODS_SELECTED | ODS_FOCUS));
    s.KeyDown(VK_SPACE, 0, true); // auto-repeat changes nothing
    EXPECT_EQ(g.clicks, 0);
    s.KeyUp(VK_SPACE);
    EXPECT_EQ(g.clicks, 1);
    EXPECT_EQ(Shown(), UINT(ODS_FOCUS));
    s.Key(VK_RETURN);
    EXPECT_EQ(g.clicks, 1);
    s.KeyUp(VK_SPACE); // a stray release is not a click
    EXPECT_EQ(g.clicks, 1);
}

TEST_F(NativeButton, DoubleClickIsASecondPress) {
    POINT p{20, 10};
    ClientToScreen(button, &p);
    s.DoubleClick(p.x, p.y);
    EXPECT_EQ(g.clicks, 2);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(NativeButton, ProgrammaticStateStyleAndClick) {
    SendMessageA(button, BM_SETSTATE, 1, 0);
    s.Pump();
    EXPECT_EQ(Shown(), UINT(ODS_SELECTED));
    SendMessageA(button, BM_SETSTATE, 0, 0);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(g.clicks, 1);
    EnableWindow(button, false);
    s.Pump();
    EXPECT_TRUE(g.draws.back().itemState & ODS_DISABLED);
    // The style message changes the type (so this one is no longer owner-drawn) and nothing else.
    SendMessageA(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, 1);
    EXPECT_EQ(GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK, LONG_PTR(BS_DEFPUSHBUTTON));
    EXPECT_TRUE(GetWindowLongPtrA(button, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(SendMessageA(button, WM_GETFONT, 0, 0), 0);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetDefaultFont()), 0);
    EXPECT_EQ(SendMessageA(button, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(GetDefaultFont()));
}

TEST_F(NativeButton, ADestroyingClickHandlerIsSurvived) {
    // The parent destroys the button from its click notification.
    static HWND victim;
    victim = button;
    SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) {
                          if (m == WM_COMMAND && HIWORD(wp) == BN_CLICKED) DestroyWindow(victim);
                          return HostProc(h, m, wp, lp);
                      }));
    s.MoveTo(button, 20, 10);
    s.Press();
    s.Release();
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(g.clicks, 1);
}

TEST_F(NativeButton, PlainButtonPaintsABevelledFace) {
    HWND plain = CreateWindowExA(0, "BUTTON", "Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 10, 60, 24, host, 8,
                                 nullptr);
    s.Pump();
    auto at = [&](int x, int y) { return s.Pixel(host, 100 + x, 10 + y); };
    EXPECT_EQ(at(0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(0, 22), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(at(0, 23), ColorToRGB(cl3DDkShadow)); // corners belong to the shadow edges
    EXPECT_EQ(at(59, 0), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(at(59, 23), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(at(1, 1), ColorToRGB(cl3DLight));
    EXPECT_EQ(at(58, 22), ColorToRGB(clBtnShadow));
    EXPECT_EQ(at(3, 3), ColorToRGB(clBtnFace));
    // Pressed (and so focused): dark outer frame, shadow frame inside it.
    s.MoveTo(plain, 5, 5);
    s.Press();
    EXPECT_EQ(at(0, 0), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(at(1, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(at(58, 22), ColorToRGB(clBtnShadow));
    EXPECT_EQ(at(2, 2), ColorToRGB(clBtnFace));
    s.Release();
    EXPECT_EQ(g.clicks, 1);
    EXPECT_EQ(g.clickId, 8u);
}
