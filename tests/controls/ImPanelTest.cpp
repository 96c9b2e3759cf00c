// The image panel with real tri-state images in a running window system: the group operations,
// the cursor poll, clicks with and without KeepSelStatus, replaced painting and the stored form.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "KdBackImageTestKit.h"
#include "lumivane/controls/ImPanel.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/EventTrace.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/Form.h"
#include "lumivane/base/Exception.h"

using namespace lumivane;

namespace {

constexpr TColor kFormColor = RGB(0x20, 0x30, 0x40), kPanelColor = RGB(0x60, 0x70, 0x80);
constexpr TColor kNom = RGB(200, 0, 0), kHot = RGB(0, 200, 0), kSel = RGB(0, 0, 200);

std::unique_ptr<TPicture> SolidPicture(TColor c) {
    TBitmap bmp;
    bmp.SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) bmp.Pixels().Set(x, y, ColorToPixel(c));
    return PictureOf(&bmp);
}

// A shown 300x200 form with a 200x100 panel flush with its top right corner, so the pointer can
// leave the panel where no sibling takes the mouse. Images log their status events "A:new<-old".
struct PanelScene {
    HeadlessSession session;
    std::unique_ptr<TForm> form;
    TImPanel* panel;
    std::vector<std::string> events;

    PanelScene() : form(std::make_unique<TForm>(nullptr)) {
        form->SetBounds(50, 50, 300, 200);
        form->SetColor(kFormColor);
        panel = new TImPanel(form.get());
        panel->SetName("ImPanel1");
        panel->SetParent(form.get());
        panel->SetBounds(form->ClientWidth() - 200, 0, 200, 100);
        panel->SetColor(kPanelColor);
        form->Show();
        session.Pump();
    }
    TImImage* AddImage(TWinControl* parent, int left, const std::string& name) {
        auto* im = new TImImage(form.get());
        im->SetName(name);
        im->SetParent(parent);
        im->SetBounds(left, 10, 8, 8);
        im->Picture()->Assign(SolidPicture(kNom).get());
        im->fSetHotPicutre(SolidPicture(kHot).get());
        im->fSetSelPicture(SolidPicture(kSel).get());
        im->OnImStatusChanged = [this, name](TObject*, int n, int o) {
            events.push_back(name + ":" + std::to_string(n) + "<-" + std::to_string(o));
        };
        session.Pump();
        return im;
    }
    // Pointer actions in the panel's client coordinates.
    void MoveTo(int x, int y) { session.MoveTo(panel->Handle(), x, y); }
    void ClickAt(int x, int y) {
        session.ClickAt(panel->Handle(), x, y);
        session.Wait(1000);  // the next click is not a double click
    }
    TPoint PanelToScreen(int x, int y) { return panel->ClientToScreen({x, y}); }
    TColor At(int x, int y) { return session.Pixel(form->Handle(), panel->Left() + x, panel->Top() + y); }
};

}  // namespace

TEST(ImPanel, NewPanelPollsOnceASecondAndKeepsNoSelection) {
    PanelScene s;
    EXPECT_FALSE(s.panel->fGetKeepSelStatus());
    EXPECT_FALSE(s.panel->OnPaint.Assigned());
    EXPECT_EQ(s.panel->Timer()->Interval(), 1000u);
    EXPECT_TRUE(s.panel->Timer()->Running());
    EXPECT_EQ(s.panel->Timer()->Owner(), s.panel);
}

// Without images (only a plain control and a nested panel) every group operation and every tick
// does nothing, and the poll goes on.
TEST(ImPanel, WithoutImagesEveryOperationIsQuiet) {
    PanelScene s;
    auto* plain = new TPanel(s.form.get());
    plain->SetParent(s.panel);
    s.panel->ResetAllImages();
    s.panel->UnselAllImages();
    s.panel->InitializeImPanel();
    s.panel->fSetKeepSelStatus(false);
    s.session.Driver().SetCursorPos({0, 0});
    s.session.Wait(3000);
    EXPECT_TRUE(s.panel->Timer()->Running());
    EXPECT_EQ(s.panel->ControlCount(), 1);
}

// Out through the form's right edge, which the panel touches: no window sees the pointer go, so
// the image stays hot until the next tick, at most a second later.
TEST(ImPanel, PollReturnsAHotImageToNormalWithinASecondOfLeaving) {
    PanelScene s;
    TImImage* a = s.AddImage(s.panel, 190, "A");
    s.session.Wait(400);  // somewhere between two ticks
    s.MoveTo(192, 12);
    EXPECT_EQ(a->fGetImStatus(), 1);
    TPoint out = s.PanelToScreen(260, 12);
    s.session.Move(out.x, out.y);
    EXPECT_EQ(a->fGetImStatus(), 1);
    const int64_t left = s.session.Now();
    while (a->fGetImStatus() == 1 && s.session.Now() - left < 1000) s.session.Wait(1);
    EXPECT_EQ(a->fGetImStatus(), 0);
    EXPECT_LE(s.session.Now() - left, 1000);
    EXPECT_EQ(s.events, (std::vector<std::string>{"A:1<-0", "A:0<-1"}));
}

// While no image of the panel is hot a tick could change nothing, so the poll rests and an idle
// window never wakes for it; it is still running, and once an image turns hot the reset comes at
// the tick it would have come at had the poll ticked all along.
TEST(ImPanel, PollRestsWhileNoImageIsHotAndKeepsItsPhase) {
    PanelScene s;
    const int64_t start = s.session.Now();  // the poll started with the panel
    TImImage* a = s.AddImage(s.panel, 10, "A");
    s.session.Driver().SetCursorPos(s.PanelToScreen(250, 150));  // outside the panel
    s.session.Wait(2300 - (s.session.Now() - start));
    EXPECT_TRUE(s.panel->Timer()->Running());
    EXPECT_TRUE(s.panel->Timer()->Resting());
    a->fSetImStatus(1);
    EXPECT_FALSE(s.panel->Timer()->Resting());
    while (a->fGetImStatus() == 1 && s.session.Now() - start < 5000) s.session.Wait(1);
    EXPECT_EQ(s.session.Now() - start, 3000);
    s.session.Wait(1000);
    EXPECT_TRUE(s.panel->Timer()->Resting());
    // An image that comes onto the panel hot wakes it too.
    auto* other = new TPanel(s.form.get());
    other->SetParent(s.form.get());
    TImImage* b = s.AddImage(other, 10, "B");
    b->fSetImStatus(1);
    EXPECT_TRUE(s.panel->Timer()->Resting());
    b->SetParent(s.panel);
    EXPECT_FALSE(s.panel->Timer()->Resting());
    s.session.Wait(1000);
    EXPECT_EQ(b->fGetImStatus(), 0);
}

// The tick compares the cursor with the client area, the right and bottom edges included.
TEST(ImPanel, PollCountsTheRightAndBottomEdgesAsInside) {
    struct Case {
        int x, y;
        bool readable;
        bool resets;
    };
    const int w = 200, h = 100;
    const Case cases[] = {
        {w, h, true, false},      {w, 0, true, false},  {0, h, true, false},  {0, 0, true, false},
        {w + 1, 50, true, true},  {50, h + 1, true, true}, {-1, 50, true, true}, {50, -1, true, true},
        {w + 1, h + 1, false, false},  // an unreadable cursor skips the tick
    };
    PanelScene s;
    TImImage* a = s.AddImage(s.panel, 10, "A");
    for (const Case& c : cases) {
        a->fSetImStatus(1);
        s.session.Driver().SetCursorPos(s.PanelToScreen(c.x, c.y));
        if (!c.readable) s.session.Driver().SetCursorUnknown();
        s.session.Wait(1000);
        EXPECT_EQ(a->fGetImStatus(), c.resets ? 0 : 1) << c.x << "," << c.y;
    }
}

TEST(ImPanel, PointerOnTheBareSurfaceResetsAtOnce) {
    PanelScene s;
    TImImage* a = s.AddImage(s.panel, 10, "A");
    int moves = 0;
    s.panel->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++moves; };
    s.MoveTo(12, 12);
    s.MoveTo(50, 50);
    EXPECT_EQ(a->fGetImStatus(), 0);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(s.At(12, 12), kNom);
}

TEST(ImPanel, KeepSelStatusLeavesExactlyTheLastClickedImageSelected) {
    PanelScene s;
    TImImage* a = s.AddImage(s.panel, 10, "A");
    TImImage* b = s.AddImage(s.panel, 40, "B");
    s.panel->fSetKeepSelStatus(true);
    s.MoveTo(12, 12);
    s.ClickAt(12, 12);
    s.MoveTo(42, 12);
    s.events.clear();
    s.ClickAt(42, 12);
    // The old selection goes first, then the clicked image leaves hot for selected.
    EXPECT_EQ(s.events, (std::vector<std::string>{"A:0<-2", "B:0<-1", "B:2<-0"}));
    EXPECT_EQ(a->fGetImStatus(), 0);
    EXPECT_EQ(b->fGetImStatus(), 2);
    EXPECT_EQ(s.At(42, 12), kSel);

    s.events.clear();
    s.panel->fSetKeepSelStatus(false);
    EXPECT_EQ(s.events, (std::vector<std::string>{"B:0<-2"}));

    // Without it a click leaves every image normal, the clicked one included.
    s.MoveTo(12, 12);
    s.ClickAt(12, 12);
    s.ClickAt(42, 12);
    EXPECT_EQ(a->fGetImStatus(), 0);
    EXPECT_EQ(b->fGetImStatus(), 0);
}

// Only direct children are the panel's images; inert ones refuse every request.
TEST(ImPanel, InitializeReportsEveryOwnImageAndLeavesOthersAlone) {
    PanelScene s;
    auto* inner = new TPanel(s.form.get());
    inner->SetParent(s.panel);
    inner->SetBounds(100, 0, 50, 50);
    TImImage* a = s.AddImage(s.panel, 10, "A");
    TImImage* b = s.AddImage(s.panel, 30, "B");
    TImImage* bg = s.AddImage(s.panel, 50, "Bg");
    TImImage* nested = s.AddImage(inner, 10, "N");
    bg->fSetIsBkgnd(true);
    a->fSetImStatus(2);
    nested->fSetImStatus(1);
    s.events.clear();
    s.panel->ResetAllImages();
    s.panel->UnselAllImages();
    EXPECT_EQ(s.events, (std::vector<std::string>{"A:0<-2"}));
    s.events.clear();
    s.panel->InitializeImPanel();
    EXPECT_EQ(s.events, (std::vector<std::string>{"A:0<-0", "B:0<-0"}));
    EXPECT_EQ(nested->fGetImStatus(), 1);
    EXPECT_EQ(b->fGetImStatus() + bg->fGetImStatus(), 0);
}

// A handler failure that the image passes on stops only that image's step; so does a handler
// that frees a later image, and one that frees the panel ends the pass.
TEST(ImPanel, OneImagesFailureDoesNotStopTheOthers) {
    PanelScene s;
    TImImage* a = s.AddImage(s.panel, 10, "A");
    TImImage* b = s.AddImage(s.panel, 30, "B");
    TImImage* c = s.AddImage(s.panel, 50, "C");
    TImImage* d = s.AddImage(s.panel, 70, "D");
    for (TImImage* im : {a, b, c, d}) im->fSetImStatus(1);
    s.events.clear();
    b->OnImStatusChanged = [&](TObject*, int, int) {
        s.events.push_back("B failed");
        throw std::runtime_error("not ours");
    };
    c->OnImStatusChanged = [&](TObject*, int, int) {
        s.events.push_back("C frees D");
        delete d;
    };
    EXPECT_NO_THROW(s.panel->ResetAllImages());
    EXPECT_EQ(s.events, (std::vector<std::string>{"A:0<-1", "B failed", "C frees D"}));
    EXPECT_EQ(a->fGetImStatus() + b->fGetImStatus() + c->fGetImStatus(), 0);

    a->OnImStatusChanged = [&](TObject*, int, int) { delete s.panel; };
    EXPECT_NO_THROW(s.panel->InitializeImPanel());
    EXPECT_EQ(s.form->ControlCount(), 0);
}

// A handled OnPaint replaces everything the panel draws. An observed but unhandled one (the
// trace) changes nothing: the panel paints exactly as without the trace, and nothing is raised.
TEST(ImPanel, OnPaintReplacesThePanelsPaintingAndTheTraceDoesNot) {
    HeadlessSession session;
    // The panels' pixels of a new form: P1 plain, P2 handled (a red square only).
    auto render = [&](bool traced, std::vector<std::string>& trace) {
        TForm form(nullptr);
        form.SetBounds(20, 20, 260, 100);
        form.SetColor(kFormColor);
        TImPanel* panels[2];
        for (int i = 0; i < 2; ++i) {
            panels[i] = new TImPanel(&form);
            panels[i]->SetName("P" + std::to_string(i + 1));
            panels[i]->SetParent(&form);
            panels[i]->SetBounds(i * 120, 0, 100, 50);
            panels[i]->SetColor(kPanelColor);
            panels[i]->SetBevelInner(bvLowered);
            panels[i]->SetCaption("Xx");
        }
        TObject* sender = nullptr;
        panels[1]->OnPaint = [&](TObject* Sender) {
            sender = Sender;
            panels[1]->Canvas()->Brush()->SetColor(clRed);
            panels[1]->Canvas()->FillRect({10, 10, 20, 20});
        };
        if (traced) TraceEvents(&form, [&](const std::string& line) { trace.push_back(line); });
        form.Show();
        session.Pump();
        EXPECT_EQ(sender, panels[1]);
        std::vector<TColor> px;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 220; ++x) px.push_back(session.Pixel(form.Handle(), x, y));
        return px;
    };
    std::vector<std::string> trace;
    const std::vector<TColor> plain = render(false, trace);
    EXPECT_EQ(render(true, trace), plain);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "event: P2.OnPaint()"), 1);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "event: P1.OnPaint()"), 0);

    // P1 shows its bevels, background and caption; P2 the red square on one plain colour (the
    // window's erased background), nothing of the panel's own.
    auto colours = [&](int left) {
        std::set<TColor> seen;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x)
                if (x < 10 || x >= 20 || y < 10 || y >= 20) seen.insert(plain[static_cast<size_t>(y * 220 + left + x)]);
        return seen;
    };
    EXPECT_GE(colours(0).size(), 4u);
    EXPECT_EQ(colours(120).size(), 1u);
    EXPECT_EQ(plain[15 * 220 + 120 + 15], clRed);
}

TEST(ImPanel, RegisteredOnTheLumivanePageAndReadWithTheImagesInside) {
    ImPanel::Register();
    ImImage::Register();
    HeadlessSession session;
    bool onPage = false;
    for (const TPalettePage& page : GetPalette())
        for (TClass c : page.Classes) onPage |= page.Name == "Lumivane" && c == TImPanel::StaticClass();
    EXPECT_TRUE(onPage);

    const std::string text =
        "object Host: TWinControl\n"
        "  object ImPanel1: TImPanel\n"
        "    Left = 4\n"
        "    BevelOuter = bvLowered\n"
        "    Caption = 'Pictures'\n"
        "    KeepSelStatus = True\n"
        "    object ImImage1: TImImage\n"
        "      Left = 2\n"
        "    end\n"
        "  end\n"
        "end\n";
    TWinControl root(nullptr);
    ReadForm(&root, text);
    auto* panel = dynamic_cast<TImPanel*>(root.FindComponent("ImPanel1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->fGetKeepSelStatus());
    EXPECT_EQ(panel->BevelOuter(), bvLowered);
    EXPECT_EQ(panel->Caption(), "Pictures");
    ASSERT_EQ(panel->ControlCount(), 1);
    EXPECT_NE(dynamic_cast<TImImage*>(panel->Controls(0)), nullptr);
}
