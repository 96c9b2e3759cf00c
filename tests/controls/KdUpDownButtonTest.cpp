// The arrow buttons of the up-down edit: press, auto-repeat on the virtual clock, pointer
// tracking, and the faces of the three looks.
#include <stdexcept>
#include <string>

#include "KdUpDownTestKit.h"
#include "lumivane/controls/KdUpDownButtonColors.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/base/Exception.h"

using namespace lumivane;


class UpDownButtonTest : public ::testing::Test, public UpDownScene {
protected:
    TColor Face() { return Rgb(clBtnFace); }
    void PressOn(TControl* b) {
        PointAt(b, 7, 4);
        session.Press();
    }
};

TEST_F(UpDownButtonTest, ArrowPointsAndRaisedBevelOfTheDefaultEdit) {
    // Up button 15 x 8 at (104, 2): arrow (7, 2), (5, 6), (10, 6); down button 15 x 9 at
    // (104, 10): arrow (7, 6), (10, 2), (5, 2).
    for (TPoint p : {TPoint{7, 2}, TPoint{5, 6}, TPoint{10, 6}, TPoint{7, 4}}) EXPECT_EQ(At(Up(), p.x, p.y), clBlack) << p.x << "," << p.y;
    for (TPoint p : {TPoint{6, 2}, TPoint{8, 2}, TPoint{4, 6}, TPoint{11, 6}, TPoint{7, 1}})
        EXPECT_NE(At(Up(), p.x, p.y), clBlack) << p.x << "," << p.y;
    for (TPoint p : {TPoint{7, 6}, TPoint{10, 2}, TPoint{5, 2}, TPoint{7, 4}}) EXPECT_EQ(At(Down(), p.x, p.y), clBlack) << p.x << "," << p.y;
    for (TPoint p : {TPoint{6, 6}, TPoint{8, 6}, TPoint{4, 2}, TPoint{11, 2}, TPoint{7, 7}})
        EXPECT_NE(At(Down(), p.x, p.y), clBlack) << p.x << "," << p.y;

    const int w = 15, h = 8;
    struct Px {
        int x, y;
        TColor c;
    } bevel[] = {{0, 0, 0xFFFFFF},         {0, h - 1, 0xFFFFFF},     {w - 2, 0, 0xFFFFFF},
                 {w - 1, 0, 0x404040},     {w - 1, h - 2, 0x404040}, {1, h - 1, 0x404040},
                 {w - 1, h - 1, 0x404040}, {1, 2, 0xDFDFDF},         {1, h - 2, 0xDFDFDF},
                 {w - 3, 1, 0xDFDFDF},     {1, 1, 0xDFDFDF},         {w - 2, 1, 0x808080},
                 {w - 2, h - 3, 0x808080}, {2, h - 2, 0x808080},     {w - 2, h - 2, 0x808080}};
    for (const Px& p : bevel) EXPECT_EQ(At(Up(), p.x, p.y), p.c) << p.x << "," << p.y;
    EXPECT_EQ(At(Up(), 3, 3), Face());
}

TEST_F(UpDownButtonTest, QuickPressStepsOnceSelectsAllAndFocusesTheEdit) {
    EXPECT_FALSE(edit->Focused());
    PressOn(Up());
    EXPECT_TRUE(Up()->Pressed() && Up()->MouseHeld());
    EXPECT_TRUE(Up()->Timer()->Enabled());
    EXPECT_EQ(At(Up(), 0, 0), 0x404040u);  // sunken
    session.Release();
    EXPECT_EQ(Text(), "1");
    EXPECT_TRUE(AllSelected());
    EXPECT_TRUE(edit->Focused());
    EXPECT_FALSE(Up()->Timer()->Enabled());
    EXPECT_FALSE(Up()->Pressed());
    EXPECT_EQ(At(Up(), 0, 0), 0xFFFFFFu);

    session.Press(3);  // the right button does nothing
    session.Wait(600);
    session.Release(3);
    EXPECT_EQ(Text(), "1");

    session.DoubleClick(edit->ClientToScreen({Up()->Left() + 7, Up()->Top() + 4}).x,
                        edit->ClientToScreen({Up()->Left() + 7, Up()->Top() + 4}).y);
    EXPECT_EQ(Text(), "3");  // the double click's second press steps too
}

TEST_F(UpDownButtonTest, HeldPressRepeatsFromTheNinthTick) {
    PressOn(Down());
    EXPECT_EQ(Text(), "-1");
    session.Wait(494);
    EXPECT_EQ(Text(), "-1");
    EXPECT_EQ(Down()->RepeatCount(), 8);
    session.Wait(1);  // 495 ms: the ninth tick
    EXPECT_EQ(Text(), "-2");
    session.Wait(505);
    EXPECT_EQ(Text(), "-11");  // 11 steps in the first 1000 ms
    session.Release();
    session.Wait(500);
    EXPECT_EQ(Text(), "-11");
}

TEST_F(UpDownButtonTest, HeldOffTheButtonPausesAndBackOnResumes) {
    PressOn(Up());
    session.Wait(550);
    EXPECT_EQ(Text(), "3");
    PointAt(40, 10);  // over the text, the button still held
    EXPECT_FALSE(Up()->Pressed());
    EXPECT_TRUE(Up()->MouseHeld());
    EXPECT_EQ(At(Up(), 0, 0), 0xFFFFFFu);  // raised
    EXPECT_EQ(At(Up(), 3, 3), Face());     // DefaultColor face
    session.Wait(300);
    EXPECT_EQ(Text(), "3");
    PointAt(Up(), 7, 4);
    EXPECT_TRUE(Up()->Pressed());
    EXPECT_EQ(At(Up(), 0, 0), 0x404040u);
    session.Wait(55);  // the next tick steps; the count was not reset
    EXPECT_EQ(Text(), "4");
    session.Release();
}

TEST_F(UpDownButtonTest, ReleaseOutsideStopsTheClockAndClearsThePressedLook) {
    PressOn(Up());
    Away();
    session.Release();
    EXPECT_FALSE(Up()->MouseHeld() || Up()->Pressed() || Up()->MouseIn());
    EXPECT_FALSE(Up()->Timer()->Enabled());
    session.Wait(1000);
    EXPECT_EQ(Text(), "1");
    EXPECT_EQ(At(Up(), 0, 0), 0xFFFFFFu);
}

// A popup menu opened while an arrow is held takes the capture, and with it the release: losing
// the capture ends the press, so pointing at the arrow afterwards steps nothing and the clock
// sleeps. The same when a window of another kind takes the capture.
TEST_F(UpDownButtonTest, LosingTheCaptureEndsThePress) {
    for (bool byMenu : {true, false}) {
        SCOPED_TRACE(byMenu ? "popup menu" : "another window");
        edit->fSetValue(0);
        PressOn(Up());
        EXPECT_EQ(Text(), "1");
        HWND other = nullptr;
        if (byMenu) {
            session.Key(VK_F10, MK_SHIFT);
            ASSERT_TRUE(MenuWindow::OpenMenu());
        } else {
            other = CreateWindowExA(0, "BUTTON", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, 0, nullptr);
            SetCapture(other);
        }
        EXPECT_FALSE(Up()->MouseHeld() || Up()->Pressed());
        EXPECT_FALSE(Up()->Timer()->Enabled());
        session.Release();
        if (byMenu) session.Key(VK_ESCAPE);
        if (other) ReleaseCapture(), DestroyWindow(other);
        EXPECT_FALSE(MenuWindow::OpenMenu());
        PointAt(Up(), 7, 4);
        session.Wait(3000);
        EXPECT_EQ(Text(), "1");
        EXPECT_EQ(At(Up(), 0, 0), 0xFFFFFFu);  // raised, not pressed
        // A new press steps again from there.
        session.Press();
        session.Release();
        EXPECT_EQ(Text(), "2");
        Away();
    }
}

TEST_F(UpDownButtonTest, UltraFlatSeparatorsBlackBlueNavy) {
    edit->fSetBorderStyle(ebsUltraFlat);
    session.Pump();
    const int w = Up()->Width(), uh = Up()->Height(), dh = Down()->Height();
    auto lines = [&](TColor line, bool outlined) {
        for (int y = 0; y < uh; ++y) EXPECT_EQ(At(Up(), 0, y), line) << "up left, row " << y;
        for (int x = 1; x < w; ++x) EXPECT_EQ(At(Down(), x, 0), line) << "down top, x " << x;
        for (int y = 0; y < dh; ++y) EXPECT_EQ(At(Down(), 0, y), line) << "down left, row " << y;
        const TColor outer = outlined ? line : At(Up(), 2, 2);
        EXPECT_EQ(At(Up(), w - 1, uh / 2), outer);
        EXPECT_EQ(At(Up(), w / 2, 0), outer);
        EXPECT_EQ(At(Down(), w - 1, dh / 2), outer);
        EXPECT_EQ(At(Down(), w / 2, dh - 1), outer);
    };
    lines(0x000000, false);
    EXPECT_EQ(At(Up(), 2, 2), Face());
    PointAt(40, 10);  // anywhere over the edit: blue
    lines(0xFF0000, false);
    Focus();  // focus goes before hot: navy, outlined
    lines(0x800000, true);
    Away();
    lines(0x800000, true);
    edit->fGetColors()->fSetVEColor(2, clRed);  // the frame's FocusedColor
    session.Pump();
    lines(Rgb(clRed), true);

    PointAt(Up(), 7, 4);
    EXPECT_EQ(At(Up(), 2, 2), 0xF0C8C0u);  // hot face
    session.Press();
    EXPECT_EQ(At(Up(), 2, 2), 0xB5B5B5u);  // pressed face
    session.Release();
}

TEST_F(UpDownButtonTest, DisabledEditShowsDisabledFacesAndBlackArrows) {
    for (TKdEditBorderStyle style : {ebsNormal, ebsFlat, ebsUltraFlat, ebsNone}) {
        edit->fSetBorderStyle(style);
        edit->SetEnabled(false);
        session.Pump();
        EXPECT_EQ(At(Up(), 3, 3), Face()) << int(style);
        EXPECT_EQ(At(Up(), 7, 4), clBlack) << int(style);
        EXPECT_EQ(At(Down(), 7, 4), clBlack) << int(style);
        edit->fGetUpDnColors()->fSetVEColor(3, clGreen);
        session.Pump();
        EXPECT_EQ(At(Down(), 3, 3), Rgb(clGreen)) << int(style);
        EXPECT_EQ(At(Down(), 7, 4), clBlack) << int(style);
        edit->fGetUpDnColors()->fSetVEColor(3, clDefault);
        edit->SetEnabled(true);
    }
}

TEST_F(UpDownButtonTest, PressedColorInEveryLookAndBackToTheDefaults) {
    edit->fGetUpDnColors()->fSetVEColor(2, clRed);
    for (TKdEditBorderStyle style : {ebsNormal, ebsFlat, ebsUltraFlat, ebsNone}) {
        edit->fSetBorderStyle(style);
        PressOn(Up());
        EXPECT_EQ(At(Up(), 3, 3), Rgb(clRed)) << int(style);
        edit->fGetUpDnColors()->fSetVEColor(2, clDefault);
        session.Pump();
        const bool ultra = style == ebsUltraFlat || style == ebsNone;
        EXPECT_EQ(At(Up(), 3, 3), ultra ? 0xB5B5B5u : Face()) << int(style);
        edit->fGetUpDnColors()->fSetVEColor(2, clRed);
        session.Release();
    }
}

TEST_F(UpDownButtonTest, HotFaceAndColoursOfTheNormalLook) {
    edit->fGetUpDnColors()->fSetVEColor(0, clYellow);
    edit->fGetUpDnColors()->fSetVEColor(1, clAqua);
    session.Pump();
    EXPECT_EQ(At(Up(), 3, 3), Rgb(clYellow));
    PointAt(Up(), 7, 4);
    EXPECT_EQ(At(Up(), 3, 3), Rgb(clAqua));
    EXPECT_EQ(At(Down(), 3, 3), Rgb(clYellow));
}

TEST_F(UpDownButtonTest, EnterCallbackThatRaisesStillReachesTheEdit) {
    Up()->OnMouseEnter = TNotifyEvent([](TObject*) { throw Exception("enter"); });
    Up()->OnMouseLeave = TNotifyEvent([](TObject*) { throw Exception("leave"); });
    EXPECT_THROW(Up()->Perform(CM_MOUSEENTER, 0, 0), Exception);
    EXPECT_TRUE(Up()->MouseIn());
    EXPECT_EQ(edit->MouseInState(), 0x8000u);
    EXPECT_THROW(Up()->Perform(CM_MOUSELEAVE, 0, 0), Exception);
    EXPECT_FALSE(Up()->MouseIn());
    EXPECT_EQ(edit->MouseInState(), 0u);
}

TEST_F(UpDownButtonTest, WithoutAnUpDownOwnerItOnlyPaintsAndTracks) {
    auto* b = new TKdCustomUpDownButton(form.get());
    b->SetParent(form.get());
    b->SetBounds(200, 30, 15, 10);
    b->fSetBorderStyle(ebsUltraFlat);
    b->SetColor(clYellow);
    session.Pump();
    EXPECT_EQ(b->UpDownEdit(), nullptr);
    EXPECT_EQ(b->Cursor(), crHandPoint);
    EXPECT_EQ(b->Timer()->Interval(), 55u);
    EXPECT_EQ(session.Pixel(Hwnd(), 200, 33), clBlack);  // built-in line colour
    EXPECT_EQ(session.Pixel(Hwnd(), 203, 31), Rgb(clYellow));
    session.MoveTo(Hwnd(), 207, 34);
    session.Press();
    EXPECT_TRUE(b->Pressed());
    EXPECT_EQ(session.Pixel(Hwnd(), 203, 31), Rgb(clYellow));  // its own colour in every state
    session.Wait(1000);
    session.Release();
    EXPECT_EQ(Text(), "0");
}
