// The pointer crossing from one control to another: the control left hears its leave before the
// control entered hears its enter, each once, and both before the entered control sees the
// pointer's move (its status) or a click; while a button is held, only the control holding the
// capture hears enter and leave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lumivane/controls/ImButton.h"
#include "lumivane/controls/ImImage.h"
#include "lumivane/controls/ImPanel.h"
#include "lumivane/controls/KdUpDownEdit.h"
#include "lumivane/controls/KdUrlLabel.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Form.h"

using namespace lumivane;

namespace {

// A link and a button side by side, a panel with an image on it below them, and an ultra-flat
// up-down edit beside the panel; every enter, leave, click and status change goes to the log.
class MouseCrossing : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        form = new TForm(Application);
        form->SetBounds(100, 100, 400, 200);
        link = Add<TKdUrlLabel>("link", 10, 10, 80, 20);
        link->SetAutoSize(false);
        link->SetBounds(10, 10, 80, 20);
        button = Add<TImButton>("button", 90, 10, 75, 25);
        panel = Add<TImPanel>("panel", 10, 50, 120, 100);
        image = new TImImage(form);
        image->SetName("image");
        image->SetParent(panel);
        image->SetBounds(20, 20, 40, 40);
        image->OnImStatusChanged = [this](TObject*, int now, int) { log.push_back("image status " + std::to_string(now)); };
        edit = Add<TKdUpDownEdit>("edit", 150, 50, 121, 24);
        edit->SetBorderStyle(ebsUltraFlat);
        button->OnClick = [this](TObject*) { log.push_back("button click"); };
        form->Show();
        session.Pump();
        session.Move(0, 0);
        log.clear();
    }
    void TearDown() override { Application->DestroyComponents(); }

    template <class C>
    C* Add(const char* name, int x, int y, int w, int h) {
        auto* c = new C(form);
        c->SetName(name);
        c->SetParent(form);
        c->SetBounds(x, y, w, h);
        c->OnMouseEnter = [this, name](TObject*) { log.push_back(std::string(name) + " enter"); };
        c->OnMouseLeave = [this, name](TObject*) { log.push_back(std::string(name) + " leave"); };
        return c;
    }
    // Moves to the middle of a control (x, y within it when given) and returns what was logged.
    std::vector<std::string> MoveTo(TControl* c, int x = -1, int y = -1) {
        const TPoint p = c->ClientToScreen({x < 0 ? c->Width() / 2 : x, y < 0 ? c->Height() / 2 : y});
        session.Move(p.x, p.y);
        return Take();
    }
    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }
    using Log = std::vector<std::string>;

    HeadlessSession session;
    TForm* form = nullptr;
    TKdUrlLabel* link = nullptr;
    TImButton* button = nullptr;
    TImPanel* panel = nullptr;
    TImImage* image = nullptr;
    TKdUpDownEdit* edit = nullptr;
    Log log;
};

}  // namespace

TEST_F(MouseCrossing, TheLeaveComesFirstThenTheEnterOnceThenWhatTheUserDid) {
    EXPECT_EQ(MoveTo(link), (Log{"link enter"}));
    // Neighbours: one move from the link onto the button.
    EXPECT_EQ(MoveTo(button, 2), (Log{"link leave", "button enter"}));
    EXPECT_EQ(MoveTo(button, 60), Log{}) << "moving within the button enters it no more";
    EXPECT_EQ(MoveTo(panel, 5, 5), (Log{"button leave", "panel enter"}));
    // From the panel onto its image: the panel is left, then the image turns hot.
    EXPECT_EQ(MoveTo(image), (Log{"panel leave", "image status 1"}));
    // A move and a click that arrive together: the crossing is heard before the click.
    const TPoint b = button->ClientToScreen({30, 12});
    session.Driver().SetCursorPos(b);
    DriverEvent e;
    e.window = GetDriverWindowId(form->Handle());
    const TPoint o = form->ClientOrigin();
    e.x = b.x - o.x;
    e.y = b.y - o.y;
    e.button = 1;
    for (auto t : {DriverEvent::PointerMove, DriverEvent::ButtonDown, DriverEvent::ButtonUp}) {
        e.type = t;
        session.Driver().Push(e);
    }
    session.Pump();
    EXPECT_EQ(Take(), (Log{"button enter", "button click"}));
    EXPECT_EQ(MoveTo(edit, 10), (Log{"button leave", "edit enter"}));
    session.Move(0, 0);
    EXPECT_EQ(Take(), (Log{"edit leave"}));
}

// Held on the up arrow and slid onto the down arrow: the up arrow, which holds the capture, hears
// its leave (and stops stepping); the down arrow stays unlit until the button is released over it.
TEST_F(MouseCrossing, WhileAButtonIsHeldOnlyTheControlHoldingTheCaptureHearsEnterAndLeave) {
    TKdCustomUpDownButton* up = edit->UpButton();
    TKdCustomUpDownButton* down = edit->DownButton();
    EXPECT_EQ(MoveTo(up), (Log{"edit enter"}));
    session.Press();
    EXPECT_TRUE(up->Pressed());
    EXPECT_EQ(MoveTo(down), (Log{"edit leave"}));
    EXPECT_FALSE(up->MouseIn());
    EXPECT_TRUE(up->MouseHeld());
    EXPECT_FALSE(down->MouseIn()) << "the down arrow lit while the up arrow held the pointer";
    EXPECT_EQ(MoveTo(up), (Log{"edit enter"})) << "back over the held arrow";
    EXPECT_TRUE(up->Pressed());
    EXPECT_EQ(MoveTo(down), (Log{"edit leave"}));
    session.Release();
    EXPECT_EQ(Take(), (Log{"edit enter"})) << "released over the down arrow, which is entered now";
    EXPECT_TRUE(down->MouseIn());
    EXPECT_FALSE(up->MouseIn());
}
