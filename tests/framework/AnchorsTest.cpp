// Anchors across resizes of the parent: every combination of sides, with Align beside them,
// Constraints limiting them, and the way back to the first size.
#include "tests/framework/FormsTestKit.h"

#include "lumivane/framework/Panel.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Label.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/layout/FormReader.h"

using namespace lumivane;

namespace {

TAnchors AnchorsOf(unsigned bits) {
    TAnchors a;
    for (TAnchorKind k : {akLeft, akTop, akRight, akBottom})
        if (bits & (1u << k)) a.Include(k);
    return a;
}

// One axis of the expected place, for a control at (start, size) in a parent grown by `grown`
// from `then` pixels: the near side keeps its distance, the far side too, both stretch the
// control, neither keeps its centre's share.
std::pair<int, int> Expected(bool nearSide, bool farSide, int start, int size, int then, int grown) {
    if (nearSide && farSide) return {start, size + grown};
    if (farSide) return {start + grown, size};
    if (nearSide) return {start, size};
    return {static_cast<int>((int64_t{start} * 2 + size) * (then + grown) / then / 2) - size / 2, size};
}

}  // namespace

class AnchorsTest : public FormsTest {
protected:
    void Resize(int w, int h) { session.Resize(form->Handle(), w, h); }
    TForm* form = nullptr;
};

// The form's client area goes from 300 x 200 to 400 x 260 (and to 250 x 150), then back.
TEST_F(AnchorsTest, EveryCombinationOfSidesFollowsTheParent) {
    for (unsigned bits = 0; bits < 16; ++bits) {
        form = ShowForm(300, 200);
        auto* p = new TPanel(form);
        p->SetParent(form);
        p->SetBounds(20, 30, 100, 50);
        p->SetAnchors(AnchorsOf(bits));
        const bool l = bits & 1, t = bits & 2, r = bits & 4, b = bits & 8;
        for (auto [w, h] : {std::pair{400, 260}, std::pair{250, 150}}) {
            Resize(w, h);
            auto [x, cx] = Expected(l, r, 20, 100, 300, w - 300);
            auto [y, cy] = Expected(t, b, 30, 50, 200, h - 200);
            EXPECT_EQ(p->BoundsRect(), (TRect{x, y, x + cx, y + cy})) << "anchors " << bits << " at " << w << "x" << h;
        }
        Resize(300, 200);
        EXPECT_EQ(p->BoundsRect(), (TRect{20, 30, 120, 80})) << "anchors " << bits << " back at the first size";
        delete form;
    }
}

TEST_F(AnchorsTest, ConstraintsAlignAndAPlaceSetByCode) {
    form = ShowForm(300, 200);
    // Stretched both ways, but at most 150 wide and at least 40 high.
    auto* stretched = new TPanel(form);
    stretched->SetParent(form);
    stretched->SetBounds(20, 60, 100, 50);
    stretched->Constraints()->SetMaxWidth(150);
    stretched->Constraints()->SetMinHeight(40);
    stretched->SetAnchors(AnchorsOf(15));
    // Aligned: Align places it, whatever its anchors.
    auto* top = new TPanel(form);
    top->SetParent(form);
    top->SetHeight(20);
    top->SetAlign(alTop);
    top->SetAnchors(AnchorsOf(4 | 8));
    // Right and bottom, moved by code after it was anchored: the new place is the one kept.
    auto* corner = new TLabel(form);
    corner->SetParent(form);
    corner->SetBounds(250, 170, 40, 20);
    corner->SetAnchors(AnchorsOf(4 | 8));
    corner->SetLeft(200);

    Resize(400, 260);
    EXPECT_EQ(stretched->BoundsRect(), (TRect{20, 60, 170, 170}));
    EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 400, 20}));
    EXPECT_EQ(corner->BoundsRect(), (TRect{300, 230, 340, 250}));
    Resize(300, 150);
    EXPECT_EQ(stretched->BoundsRect(), (TRect{20, 60, 120, 100})) << "at least 40 high";
    EXPECT_EQ(corner->BoundsRect(), (TRect{200, 120, 240, 140}));
    Resize(300, 200);
    EXPECT_EQ(stretched->BoundsRect(), (TRect{20, 60, 120, 110}));
    EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 300, 20}));
}

// A layout's anchors take the distances of the loaded layout, also for a control inside a panel
// that is itself anchored.
TEST_F(AnchorsTest, ALoadedLayoutKeepsItsDistancesNested) {
    form = new TForm(Application);
    ReadForm(form, "object F: TForm\n  ClientWidth = 200\n  ClientHeight = 100\n"
                   "  object P: TPanel\n    Left = 10\n    Top = 10\n    Width = 180\n    Height = 80\n"
                   "    Anchors = [akLeft, akTop, akRight, akBottom]\n"
                   "    object E: TEdit\n      Left = 100\n      Top = 50\n      Width = 70\n      Height = 20\n"
                   "      Anchors = [akRight, akBottom]\n    end\n  end\nend\n");
    form->Show();
    session.Pump();
    Resize(220, 50);
    auto* panel = static_cast<TControl*>(form->FindComponent("P"));
    auto* edit = static_cast<TControl*>(form->FindComponent("E"));
    EXPECT_EQ(panel->BoundsRect(), (TRect{10, 10, 210, 40}));
    EXPECT_EQ(edit->BoundsRect(), (TRect{120, 0, 190, 20}));
}
