#include "lumivane/framework/Button.h"
#include "tests/framework/ControlsTestKit.h"

using namespace lumivane;

namespace {

struct Tree {
    TRecordingPanel* panel;
    TSolidControl* shape;
};

Tree MakeTree(TWinControl* root) {
    auto* panel = new TRecordingPanel(root);
    panel->SetName("Panel");
    panel->SetParent(root);
    panel->SetBounds(10, 10, 200, 150);
    auto* shape = new TSolidControl(root);
    shape->SetName("Shape");
    shape->SetParent(panel);
    shape->SetBounds(20, 30, 40, 20);
    return {panel, shape};
}

}  // namespace

// The notification fires the control's own event, then climbs the parents with the child as
// LParam; the parents do not fire their own events for it.
TEST_F(ControlsTest, MouseEnterAndLeaveFireTheEventThenTellEveryParent) {
    Tree t = MakeTree(root);
    std::vector<std::string> events;
    t.shape->OnMouseEnter = [&](TObject* s) { events.push_back("shape enter " + static_cast<TControl*>(s)->Name()); };
    t.shape->OnMouseLeave = [&](TObject*) { events.push_back("shape leave"); };
    t.panel->OnMouseEnter = [&](TObject*) { events.push_back("panel enter"); };
    root->OnMouseEnter = [&](TObject*) { events.push_back("root enter"); };

    t.shape->Perform(CM_MOUSEENTER, 0, 0);
    t.shape->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"shape enter Shape", "shape leave"}));
    EXPECT_EQ(t.panel->log, (std::vector<std::string>{"enter Shape", "leave Shape"}));

    // The panel itself: its own event, and the root hears about the panel.
    events.clear();
    t.panel->log.clear();
    t.panel->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"panel enter"}));
}

TEST_F(ControlsTest, AHandlerThatFreesTheControlStopsTheClimb) {
    Tree t = MakeTree(root);
    t.shape->OnMouseEnter = [&](TObject*) { delete t.shape; };
    t.shape->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(t.panel->log.empty());
    EXPECT_EQ(t.panel->ControlCount(), 0);
}

// Presses over a graphic control reach it in its own coordinates, the capture stays with it
// while the button is held, and a release over it clicks.
TEST_F(ControlsTest, GraphicControlGetsPressReleaseAndClick) {
    Tree t = MakeTree(root);
    int clicks = 0;
    t.shape->OnClick = [&](TObject*) { ++clicks; };
    session.Pump();

    HWND panel = t.panel->Handle();
    session.MoveTo(panel, 25, 35);
    session.Press();
    EXPECT_EQ(GetCaptureControl(), t.shape);
    session.MoveTo(panel, 150, 100);  // off the control, still captured
    session.MoveTo(panel, 30, 40);
    session.Release();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(t.shape->log, (std::vector<std::string>{"down 5,5", "up 10,10"}));
    EXPECT_EQ(GetCaptureControl(), nullptr);

    // Released elsewhere: no click, but the release still reaches the control.
    t.shape->log.clear();
    session.MoveTo(panel, 25, 35);
    session.Press();
    session.MoveTo(panel, 150, 100);
    session.Release();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(t.shape->log, (std::vector<std::string>{"down 5,5", "up 130,70"}));
}

TEST_F(ControlsTest, DisabledOrHiddenGraphicControlsLetThePressThrough) {
    Tree t = MakeTree(root);
    std::vector<std::string> panelDowns;
    t.panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        panelDowns.push_back(std::to_string(x) + "," + std::to_string(y));
    };
    session.Pump();
    t.shape->SetEnabled(false);
    session.ClickAt(t.panel->Handle(), 25, 35);
    t.shape->SetEnabled(true);
    t.shape->SetVisible(false);
    session.ClickAt(t.panel->Handle(), 26, 36);
    EXPECT_TRUE(t.shape->log.empty());
    EXPECT_EQ(panelDowns, (std::vector<std::string>{"25,35", "26,36"}));
}

// Freeing the sender inside OnClick: graphic (click after the release) and native button
// (click from the window's notification) both unwind without touching the freed control.
TEST_F(ControlsTest, ControlsFreedInsideTheirOwnClickDoNotCrash) {
    Tree t = MakeTree(root);
    t.shape->OnClick = [&](TObject* sender) { delete static_cast<TControl*>(sender); };
    auto* button = new TButton(root);
    button->SetParent(root);
    button->SetBounds(220, 10, 75, 25);
    button->OnClick = [](TObject* sender) { delete static_cast<TControl*>(sender); };
    session.Pump();

    session.ClickAt(t.panel->Handle(), 25, 35);
    EXPECT_EQ(t.panel->ControlCount(), 0);
    HWND bh = button->Handle();
    session.ClickAt(bh, 10, 10);
    EXPECT_FALSE(IsWindow(bh));
    EXPECT_EQ(root->ControlCount(), 1);

    // And by keyboard: Space on a focused button.
    auto* second = new TButton(root);
    second->SetParent(root);
    second->OnClick = [](TObject* sender) { delete static_cast<TControl*>(sender); };
    second->SetFocus();
    session.Key(VK_SPACE);
    EXPECT_EQ(root->ControlCount(), 1);
}

TEST_F(ControlsTest, DoubleClickRunsDblClickWithoutASecondClick) {
    Tree t = MakeTree(root);
    int clicks = 0, dbl = 0;
    t.shape->OnClick = [&](TObject*) { ++clicks; };
    t.shape->OnDblClick = [&](TObject*) { ++dbl; };
    session.Pump();
    POINT p{25, 35};
    ClientToScreen(t.panel->Handle(), &p);
    session.DoubleClick(p.x, p.y);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dbl, 1);
}
