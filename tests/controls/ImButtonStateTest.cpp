// Properties, colour set, window shape, stored form, and the pointer, press and timer handling of
// the image button in a running window system.
#include <functional>
#include <string>
#include <utility>

#include "ImButtonTestKit.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Font.h"
#include "lumivane/framework/Object.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/StandardControls.h"

using namespace lumivane;

namespace {

// Persistent, but not a colour set.
class TOtherColors : public TPersistent {
    LUMI_CLASS(TOtherColors, TPersistent)
};
LUMI_DEFINE_CLASS(TOtherColors) {}

Region WindowRegion(HWND h) {
    Region r;
    EXPECT_NE(GetWindowRgn(h, &r), ERROR);
    return r;
}

}  // namespace

// ---- Construction, properties and the colour set ----

TEST_F(ImButtonTest, NewButtonValues) {
    TImButton b(nullptr);
    EXPECT_EQ(b.fGetLooks(), ibkNormal);
    EXPECT_TRUE(b.fGetFocusRect() && b.fGetDefaultDraw() && !b.fGetAnimate());
    EXPECT_EQ(b.fGetSpacing(), 2);
    EXPECT_EQ(b.fGetHotTextColor(), clBlue);
    EXPECT_EQ(b.fGetAniSpd(), 200);
    EXPECT_EQ(b.fGetPicCount() + b.fGetAniCount(), 0);
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_FALSE(b.ParentColor());
    EXPECT_EQ(b.Cursor(), crHandPoint);
    EXPECT_EQ(b.Width() * 100 + b.Height(), 7525);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(b.fGetBtnColors()->fGetIbColor(i), clDefault);
    EXPECT_FALSE(b.Timer()->Enabled());
    EXPECT_FALSE(b.fGetNomPicture()->HasGraphic() || b.fGetHotPicture()->HasGraphic());
    EXPECT_FALSE(b.HandleAllocated());  // no look was applied, so no window yet
}

TEST_F(ImButtonTest, LooksResetColoursAndFocusRectangle) {
    TImButtonColors* c = btn->fGetBtnColors();
    c->fSetIbColor(1, clRed);
    c->fSetIbColor(3, clGreen);
    btn->fSetLooks(ibkUltraFlat);
    EXPECT_EQ(c->fGetIbColor(0), 0x800000u);
    EXPECT_EQ(c->fGetIbColor(1), clRed);  // disabled colour kept
    EXPECT_EQ(c->fGetIbColor(2), 0xB5B5B5u);
    EXPECT_EQ(c->fGetIbColor(3), 0xF0C8C0u);
    btn->fSetLooks(ibkBevelFlat);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c->fGetIbColor(i), clDefault);

    for (TImBtnKind k : {ibkNormal, ibkFlat, ibkBevelFlat, ibkUltraFlat, ibkFullPicture, ibkWindowsXP}) {
        btn->fSetFocusRect(!(k == ibkFlat || k == ibkFullPicture));
        btn->fSetFocusRect(k == ibkFlat || k == ibkFullPicture);
        btn->fSetLooks(k);
        EXPECT_EQ(btn->fGetFocusRect(), !(k == ibkFlat || k == ibkFullPicture)) << int(k);
    }
}

TEST_F(ImButtonTest, ColourSetIndexesAssignAndRepaint) {
    TImButtonColors* c = btn->fGetBtnColors();
    c->fSetIbColor(4, clRed);
    c->fSetIbColor(-1, clRed);
    EXPECT_EQ(c->fGetIbColor(4), clDefault);
    EXPECT_EQ(c->fGetIbColor(-1), clDefault);
    TImButtonColors other(nullptr);
    for (int i = 0; i < 4; ++i) other.fSetIbColor(i, 0x10 + i);
    btn->fSetBtnColors(&other);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c->fGetIbColor(i), TColor(0x10 + i));
    TOtherColors stranger;
    EXPECT_NO_THROW(c->Assign(&stranger));
    EXPECT_NO_THROW(c->Assign(nullptr));
    EXPECT_EQ(c->fGetIbColor(2), TColor(0x12));

    int paints = 0;
    btn->fSetOnOwnerDraw([&](TObject*, TCanvas*, TRect*, int, int&) { ++paints; });
    session.Pump();
    paints = 0;
    c->fSetIbColor(2, TColor(0x12));  // unchanged, still repaints
    session.Pump();
    EXPECT_EQ(paints, 1);
    btn->fSetHotTextColor(clRed);  // stored only
    btn->fSetAniSpd(300);
    session.Pump();
    EXPECT_EQ(paints, 1);
}

// Which setters repaint (counted paints after the window system settles) and which only store.
TEST_F(ImButtonTest, SettersThatRepaintAndSettersThatOnlyStore) {
    int paints = 0;
    btn->fSetOnOwnerDraw([&](TObject*, TCanvas*, TRect*, int, int&) { ++paints; });
    session.Pump();
    auto paintsAfter = [&](const std::function<void()>& set) {
        paints = 0;
        set();
        session.Pump();
        return paints;
    };
    auto strip = Strip(18, {clRed});
    TPicture pic;
    pic.Assign(strip.get());
    TImButtonColors colours(nullptr);
    TFont font;
    font.SetColor(clRed);
    const std::pair<const char*, std::function<void()>> repainting[] = {
        {"Animated", [&] { btn->fSetAnimate(true); }},
        {"AnimatedCount", [&] { btn->fSetAniCount(3); }},
        {"Spacing", [&] { btn->fSetSpacing(2); }},
        {"FocusRect", [&] { btn->fSetFocusRect(true); }},
        {"Looks", [&] { btn->fSetLooks(ibkNormal); }},
        {"Colors", [&] { btn->fSetBtnColors(&colours); }},
        {"Picture", [&] { btn->fSetNomPicture(&pic); }},
        {"PictureCount", [&] { btn->fSetPicCount(0); }},
        {"AnimatePicture", [&] { btn->fSetHotPicutre(&pic); }},
        {"Color", [&] { btn->SetColor(clRed); }},
        {"Enabled", [&] { btn->SetEnabled(false); }},
        {"Font", [&] { btn->SetFont(&font); }},
    };
    for (const auto& [name, set] : repainting) EXPECT_EQ(paintsAfter(set), 1) << name;
    const std::pair<const char*, std::function<void()>> storing[] = {
        {"DefaultDraw", [&] { btn->fSetDefaultDraw(false); }},
        {"HotTextColor", [&] { btn->fSetHotTextColor(clRed); }},
        {"AnimateSpeed", [&] { btn->fSetAniSpd(50); }},
        {"OnMouseEnter", [&] { btn->fSetOnMouseEnter([](TObject*) {}); }},
        {"OnMouseLeave", [&] { btn->fSetOnMouseLeave([](TObject*) {}); }},
    };
    for (const auto& [name, set] : storing) EXPECT_EQ(paintsAfter(set), 0) << name;
    EXPECT_EQ(btn->fGetAniSpd(), 50);
    EXPECT_EQ(btn->Timer()->Interval(), 50u);
}

// ---- Window ----

TEST_F(ImButtonTest, WindowIsOwnerDrawnAndKeepsItsBackground) {
    EXPECT_EQ(Shown(0, 12), 0xFFFFFFu);  // the face is on screen: the bevel of the normal look
    btn->SetDefault(true);
    session.Pump();
    EXPECT_EQ(Shown(0, 12), Rgb(clWindowFrame));
    EXPECT_EQ(Shown(1, 12), 0xFFFFFFu);
    const auto style = static_cast<uint32_t>(GetWindowLongPtrA(Btn(), GWL_STYLE));
    EXPECT_EQ(style & BS_TYPEMASK, uint32_t(BS_OWNERDRAW));
    EXPECT_EQ(btn->Perform(WM_ERASEBKGND, 0, 0), 1);
    MEASUREITEMSTRUCT mis;
    btn->Perform(CN_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    EXPECT_EQ(mis.itemWidth, 75u);
    EXPECT_EQ(mis.itemHeight, 25u);
}

TEST_F(ImButtonTest, XpLookShapesTheWindowAndFollowsResize) {
    btn->fSetLooks(ibkWindowsXP);
    EXPECT_EQ(WindowRegion(Btn()), Region::RoundRect(0, 0, 76, 26, 2, 2));
    btn->SetBounds(20, 30, 80, 30);
    session.Pump();
    EXPECT_EQ(WindowRegion(Btn()), Region::RoundRect(0, 0, 81, 31, 2, 2));
    btn->fSetLooks(ibkFlat);
    Region r;
    EXPECT_EQ(GetWindowRgn(Btn(), &r), ERROR);
    btn->SetBounds(20, 30, 75, 25);  // no region comes back on resize
    EXPECT_EQ(GetWindowRgn(Btn(), &r), ERROR);
}

TEST_F(ImButtonTest, FocusMarksTheButtonAsDefault) {
    auto* edit = new TEdit(root);
    edit->SetParent(root);
    edit->SetBounds(150, 30, 100, 21);
    edit->HandleNeeded();
    btn->SetFocus();
    session.Pump();
    EXPECT_TRUE(btn->IsDefault());
    edit->SetFocus();
    session.Pump();
    EXPECT_FALSE(btn->IsDefault());
    int paints = 0;
    btn->fSetOnOwnerDraw([&](TObject*, TCanvas*, TRect*, int, int&) { ++paints; });
    session.Pump();
    paints = 0;
    btn->SetDefault(true);
    EXPECT_TRUE(btn->IsDefault());
    EXPECT_EQ(paints, 1);  // repainted at once, not later
    session.Pump();
    // The outline of a default button is on screen.
    EXPECT_EQ(Shown(0, 0), Rgb(clWindowFrame));
    paints = 0;
    btn->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(edit));  // marking unchanged: no paint
    session.Pump();
    EXPECT_TRUE(btn->IsDefault());
    EXPECT_EQ(paints, 0);
}

// ---- Stored form ----

// Read in published order, a look resets the focus rectangle stored before it and the colours
// stored after it stand.
TEST_F(ImButtonTest, ALookInALayoutResetsTheFocusRectStoredBeforeItButNotTheColoursAfter) {
    RegisterStandardControls();
    ImButton::Register();
    std::unique_ptr<TComponent> host(ReadRootComponent(
        "object Host: TWinControl\n"
        "  object B1: TImButton\n"
        "    FocusRect = True\n"
        "    Looks = ibkFlat\n"
        "    Colors.DefaultColor = clRed\n"
        "  end\n"
        "end\n",
        nullptr));
    auto* f = dynamic_cast<TImButton*>(host->FindComponent("B1"));
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(f->fGetFocusRect());
    EXPECT_EQ(f->fGetBtnColors()->fGetIbColor(0), clRed);
}

// ---- Pointer, press and timer ----

// One crossing of the edge fires each event once, whoever reports it: the button's own move test,
// the framework's notification, or the timer.
TEST_F(ImButtonTest, HoverEntersAndLeavesOncePerCrossing) {
    int enters = 0, leaves = 0;
    btn->OnMouseEnter = [&](TObject* s) {
        EXPECT_EQ(s, btn);
        ++enters;
    };
    btn->OnMouseLeave = [&](TObject*) { ++leaves; };
    session.MoveTo(Btn(), 10, 10);
    EXPECT_TRUE(btn->MouseIn());
    EXPECT_TRUE(btn->Timer()->Enabled());
    EXPECT_EQ(enters, 1);
    session.MoveTo(Btn(), 11, 10);  // already hot: the move test stays quiet
    btn->Perform(CM_MOUSEENTER, 0, 0);  // the framework's notification of the same crossing
    EXPECT_EQ(enters, 1);
    btn->Perform(CM_MOUSELEAVE, 0, 0);
    btn->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(leaves, 1);
    EXPECT_FALSE(btn->MouseIn());
    EXPECT_FALSE(btn->Timer()->Enabled());
    // The timer notices the pointer gone before the framework does: the framework's leave after
    // it fires nothing.
    session.MoveTo(Btn(), 10, 10);
    session.MoveTo(root->Handle(), 250, 150);
    session.Wait(200);
    EXPECT_EQ(leaves, 2);
    btn->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(leaves, 2);
}

// What the event handlers see: the flags are already updated; the timer starts after the enter
// event and stops before the leave event.
TEST_F(ImButtonTest, EnterAndLeaveEventsSeeTheUpdatedState) {
    bool inside = false, held = false, pressed = true, timer = true;
    int counter = -1;
    btn->fSetOnMouseEnter([&](TObject*) {
        inside = btn->MouseIn();
        pressed = btn->Pressed();
        timer = btn->Timer()->Enabled();
        counter = btn->Counter();
    });
    btn->fSetOnMouseLeave([&](TObject*) {
        inside = btn->MouseIn();
        held = btn->MouseHeld();
        pressed = btn->Pressed();
        timer = btn->Timer()->Enabled();
        counter = btn->Counter();
    });
    session.MoveTo(Btn(), 10, 10);
    EXPECT_TRUE(inside);
    EXPECT_FALSE(pressed || timer);
    EXPECT_EQ(counter, 0);
    session.Press();
    btn->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(inside || pressed || timer);
    EXPECT_TRUE(held);  // the press survives leaving
    btn->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(inside && pressed);  // pushed again before the event
    EXPECT_FALSE(timer);
    EXPECT_TRUE(btn->Timer()->Enabled());
    session.Release();
}

// A position that cannot be read or converted counts as inside: the button stays hot and the
// animation goes on.
TEST_F(ImButtonTest, TimerTakesAnUnknownCursorAsInside) {
    int paints = 0;
    btn->fSetOnOwnerDraw([&](TObject*, TCanvas*, TRect*, int, int&) { ++paints; });
    btn->fSetAnimate(true);
    session.MoveTo(Btn(), 10, 10);
    session.Driver().SetCursorPos({0, 0});  // far outside the button...
    session.Driver().SetCursorUnknown();    // ...but not readable
    paints = 0;
    btn->ImMousePosTimer(btn->Timer());
    EXPECT_TRUE(btn->MouseIn());
    EXPECT_EQ(paints, 1);  // Repaint, at once

    TImButton windowless(nullptr);  // no window to convert into
    session.Driver().SetCursorPos({500, 500});  // outside, read as screen or as client position
    windowless.fMouseEnter();
    windowless.ImMousePosTimer(windowless.Timer());
    EXPECT_TRUE(windowless.MouseIn());
    session.Driver().SetCursorPos({0, 0});  // readable and outside: the leave steps
    btn->ImMousePosTimer(btn->Timer());
    EXPECT_FALSE(btn->MouseIn());
}

TEST_F(ImButtonTest, TimerNoticesLeavingAndRepaintsOnlyWhenAnimated) {
    int paints = 0;
    btn->fSetOnOwnerDraw([&](TObject*, TCanvas*, TRect*, int, int&) { ++paints; });
    session.MoveTo(Btn(), 10, 10);
    paints = 0;
    session.Wait(1000);  // inside, not animated: polls without painting
    EXPECT_EQ(paints, 0);
    btn->fSetAnimate(true);
    session.Pump();
    paints = 0;
    session.Wait(600);
    EXPECT_EQ(paints, 3);
    session.MoveTo(root->Handle(), 250, 150);  // no leave notification without an application
    session.Wait(199);
    EXPECT_TRUE(btn->MouseIn());
    session.Wait(1);
    EXPECT_FALSE(btn->MouseIn());
    EXPECT_FALSE(btn->Timer()->Enabled());

    btn->fSetAniSpd(0);  // no polling: only a leave notification ends the hot state
    session.MoveTo(Btn(), 10, 10);
    session.MoveTo(root->Handle(), 250, 150);
    session.Wait(5000);
    EXPECT_TRUE(btn->MouseIn());
}

TEST_F(ImButtonTest, AnimationAdvancesOnTimerPaints) {
    auto anim = Strip(18, {clRed, clGreen, clBlue});
    SetAnimation(anim.get());
    btn->fSetAnimate(true);
    session.MoveTo(Btn(), 10, 10);
    std::vector<int> counters{btn->Counter()};
    for (int i = 0; i < 3; ++i) {
        session.Wait(200);
        counters.push_back(btn->Counter());
    }
    EXPECT_EQ(counters, (std::vector<int>{1, 2, 3, 1}));  // frames 0, 1, 2, then 0 again
}

TEST_F(ImButtonTest, PressDragOffAndBackThenReleaseClicksOnce) {
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    btn->fSetLooks(ibkFlat);
    session.MoveTo(Btn(), 10, 10);
    session.Press();
    EXPECT_TRUE(btn->MouseHeld() && btn->Pressed());
    EXPECT_EQ(Shown(0, 12), 0x808080u);  // pushed bevel
    session.MoveTo(Btn(), 200, 10);
    btn->Perform(CM_MOUSELEAVE, 0, 0);
    session.Pump();
    EXPECT_TRUE(btn->MouseHeld());
    EXPECT_FALSE(btn->Pressed() || btn->MouseIn());
    EXPECT_EQ(Shown(0, 12), Rgb(clBtnFace));
    session.MoveTo(Btn(), 12, 10);  // back over it, still held: the move test enters
    EXPECT_TRUE(btn->MouseIn() && btn->Pressed());
    EXPECT_EQ(Shown(0, 12), 0x808080u);
    session.Release();
    EXPECT_FALSE(btn->MouseHeld() || btn->Pressed());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Shown(0, 12), 0xFFFFFFu);  // hot, not pushed

    session.Press();  // released off the button: flags cleared, no click
    session.MoveTo(Btn(), 200, 10);
    session.Release();
    EXPECT_FALSE(btn->MouseHeld() || btn->Pressed());
    EXPECT_EQ(clicks, 1);

    POINT p{10, 10};  // a double click is two presses: two clicks
    ClientToScreen(Btn(), &p);
    session.DoubleClick(p.x, p.y);
    EXPECT_EQ(clicks, 3);

    // A captured move left of and above the button reads as far right and below: no enter.
    btn->Perform(CM_MOUSELEAVE, 0, 0);
    btn->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(-3, -3));
    EXPECT_FALSE(btn->MouseIn());
    btn->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(74, 24));
    EXPECT_TRUE(btn->MouseIn());
    btn->Perform(CM_MOUSELEAVE, 0, 0);
    btn->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(75, 10));
    btn->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(10, 25));
    EXPECT_FALSE(btn->MouseIn());

    btn->SetDesigning(true);  // a press while designing changes no flag
    btn->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(btn->MouseHeld() || btn->Pressed());
    btn->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TEST_F(ImButtonTest, RaisingOrFreeingEnterHandler) {
    int clicks = 0;
    btn->OnClick = [&](TObject*) { ++clicks; };
    btn->fSetOnMouseEnter([](TObject*) { throw Exception("enter failed"); });
    btn->fSetOnMouseLeave([](TObject*) { throw Exception("leave failed"); });
    EXPECT_NO_THROW(session.MoveTo(Btn(), 10, 10));
    EXPECT_TRUE(btn->MouseIn() && btn->Timer()->Enabled());
    session.Press();
    session.Release();
    EXPECT_EQ(clicks, 1);
    EXPECT_NO_THROW(btn->Perform(CM_MOUSELEAVE, 0, 0));
    EXPECT_FALSE(btn->MouseIn() || btn->Timer()->Enabled());

    btn->fSetOnMouseEnter([&](TObject*) {
        delete btn;
        btn = nullptr;
    });
    EXPECT_NO_THROW(session.MoveTo(root->Handle(), 30, 40));
    EXPECT_EQ(btn, nullptr);
}
