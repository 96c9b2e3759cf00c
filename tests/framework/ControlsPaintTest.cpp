#include "tests/framework/ControlsTestKit.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/CustomControl.h"

using namespace lumivane;

namespace {

class TBluePanel : public TCustomControl {
public:
    explicit TBluePanel(TComponent* owner) : TCustomControl(owner) {}

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect({0, 0, Width(), Height()});
    }
};

}  // namespace

// Graphic children paint in list order on the parent, each clipped to its bounds; windowed
// children stay above all of them whatever the order of creation.
TEST_F(ControlsTest, GraphicControlsPaintClippedAndUnderWindowedSiblings) {
    auto* panel = new TBluePanel(root);
    panel->SetParent(root);
    panel->SetBounds(40, 40, 30, 30);
    auto* red = new TSolidControl(root, clRed);
    red->SetParent(root);
    red->SetBounds(20, 20, 40, 40);
    auto* green = new TSolidControl(root, clLime);
    green->SetParent(root);
    green->SetBounds(50, 10, 20, 20);
    session.Pump();

    EXPECT_EQ(Px(19, 30), clWhite);  // left guard
    EXPECT_EQ(Px(20, 20), clRed);    // first pixel
    EXPECT_EQ(Px(59, 39), clRed);    // last pixel outside the panel
    EXPECT_EQ(Px(60, 30), clWhite);  // right guard
    EXPECT_EQ(Px(30, 60), clWhite);  // bottom guard
    EXPECT_EQ(Px(45, 45), clBlue);   // the window wins over the graphic control
    EXPECT_EQ(Px(55, 25), clLime);   // later graphic control on top of the earlier one
    EXPECT_EQ(Px(55, 35), clRed);    // below the later one, above the window

    // Moving a graphic control repaints both places.
    red->SetBounds(200, 100, 10, 10);
    session.Pump();
    EXPECT_EQ(Px(25, 25), clWhite);
    EXPECT_EQ(Px(205, 105), clRed);
    EXPECT_EQ(Px(210, 105), clWhite);

    // Bringing a graphic control to the front changes its paint order only among graphic ones.
    red->SetBounds(45, 5, 20, 20);
    red->BringToFront();
    session.Pump();
    EXPECT_EQ(Px(55, 15), clRed);
    green->BringToFront();
    session.Pump();
    EXPECT_EQ(Px(55, 15), clLime);

    red->Hide();
    session.Pump();
    EXPECT_EQ(Px(46, 6), clWhite);
}

TEST_F(ControlsTest, AlignedChildrenFollowTheParentsSize) {
    auto* top = new TSolidControl(root, clRed);
    top->SetParent(root);
    top->SetHeight(20);
    top->SetAlign(alTop);
    auto* left = new TBluePanel(root);
    left->SetParent(root);
    left->SetWidth(30);
    left->SetAlign(alLeft);
    auto* client = new TSolidControl(root, clLime);
    client->SetParent(root);
    client->SetAlign(alClient);
    EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 300, 20}));
    EXPECT_EQ(left->BoundsRect(), (TRect{0, 20, 30, 200}));
    EXPECT_EQ(client->BoundsRect(), (TRect{30, 20, 300, 200}));

    int resizes = 0;
    client->OnResize = [&](TObject*) { ++resizes; };
    session.Resize(Top(), 400, 250);
    EXPECT_EQ(root->Width(), 400);
    EXPECT_EQ(root->ClientHeight(), 250);
    EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 400, 20}));
    EXPECT_EQ(left->BoundsRect(), (TRect{30 - 30, 20, 30, 250}));
    EXPECT_EQ(client->BoundsRect(), (TRect{30, 20, 400, 250}));
    EXPECT_EQ(resizes, 1);
    session.Pump();
    EXPECT_EQ(Px(399, 249), clLime);
    EXPECT_EQ(Px(10, 100), clBlue);

    // Hiding an aligned control gives its room to the others.
    top->Hide();
    EXPECT_EQ(client->BoundsRect(), (TRect{30, 0, 400, 250}));
}

TEST_F(ControlsTest, ColourAndFontFlowFromParentUntilSetOnTheChild) {
    auto* panel = new TBluePanel(root);
    panel->SetParent(root);
    auto* shape = new TSolidControl(root);
    shape->SetParent(panel);
    EXPECT_EQ(panel->Color(), clWhite);
    EXPECT_EQ(shape->Color(), clWhite);

    root->Font()->SetHeight(-20);
    root->SetColor(clYellow);
    EXPECT_EQ(shape->Font()->Height(), -20);
    EXPECT_EQ(shape->Color(), clYellow);
    EXPECT_TRUE(shape->ParentFont());

    shape->Font()->SetName("DejaVu Serif");
    shape->SetColor(clRed);
    EXPECT_FALSE(shape->ParentFont());
    EXPECT_FALSE(shape->ParentColor());
    root->Font()->SetHeight(-9);
    root->SetColor(clAqua);
    EXPECT_EQ(shape->Font()->Height(), -20);
    EXPECT_EQ(shape->Color(), clRed);
    EXPECT_EQ(panel->Font()->Height(), -9);

    shape->SetParentFont(true);
    shape->SetParentColor(true);
    EXPECT_EQ(shape->Font()->Height(), -9);
    EXPECT_EQ(shape->Font()->Name(), panel->Font()->Name());
    EXPECT_EQ(shape->Color(), clAqua);
}

// The text of a windowed control lives in its window; a graphic control keeps its own. Writing
// the same text again changes nothing.
TEST_F(ControlsTest, TextGoesThroughTheTextMessages) {
    auto* panel = new TBluePanel(root);
    panel->SetParent(root);
    auto* shape = new TSolidControl(root);
    shape->SetParent(panel);
    int changes = 0;
    class TCounter : public TSolidControl {
    public:
        using TSolidControl::TSolidControl;
        int* changes = nullptr;
        void Dispatch(TMessage& m) override {
            if (m.Msg == CM_TEXTCHANGED) ++*changes;
            TSolidControl::Dispatch(m);
        }
    };
    auto* counted = new TCounter(root);
    counted->changes = &changes;
    counted->SetText("abc");
    counted->SetText("abc");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(counted->Caption(), "abc");

    panel->SetText("Panel text");
    EXPECT_EQ(GetWindowTextString(panel->Handle()), "Panel text");
    SetWindowTextA(panel->Handle(), "From outside");
    EXPECT_EQ(panel->Text(), "From outside");

    char small[4];
    EXPECT_EQ(counted->Perform(WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 3);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(counted->Perform(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(small)), 0);
    delete counted;
}
