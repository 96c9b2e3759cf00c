// The designer's edits: places and sizes, alignment, adding, deleting, copying and pasting.
#include <vector>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Control.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/Form.h"
#include "tests/SourceDir.h"
#include "tests/formview/DesignKit.h"
#include "tools/formview/DesignEdits.h"
#include "tools/formview/LayoutText.h"
#include "tools/formview/PropertyEdit.h"

using namespace lumivane;

namespace {

TRect Bounds(const TDesignModel& m, const char* name) { return dynamic_cast<TControl*>(m.Find(name))->BoundsRect(); }

std::string LayoutOfButtons(const std::vector<TRect>& rects) {
    std::string t = "object Form1: TForm\n  ClientHeight = 400\n  ClientWidth = 600\n";
    for (size_t i = 0; i < rects.size(); ++i) {
        const TRect& r = rects[i];
        t += "  object B" + std::to_string(i + 1) + ": TButton\n    Left = " + std::to_string(r.Left) +
             "\n    Top = " + std::to_string(r.Top) + "\n    Width = " + std::to_string(r.Width()) +
             "\n    Height = " + std::to_string(r.Height()) + "\n  end\n";
    }
    return t + "end\n";
}

}  // namespace

TEST_F(DesignTest, MovesAndResizesStayWithinWhatTheReaderTakes) {
    TDesignModel m;
    m.Load(kSmallLayout);
    MoveComponents(m, {"Button1", "Form1", "Nobody"}, -2000000, 3);  // the form itself does not move
    EXPECT_EQ(Bounds(m, "Button1"), (TRect{-MaxLayoutCoord, 19, -MaxLayoutCoord + 75, 44}));
    ResizeComponents(m, {"Button1"}, -75, -24);  // the smallest is 1 by 1
    EXPECT_EQ(Bounds(m, "Button1").Width(), 1);
    EXPECT_EQ(Bounds(m, "Button1").Height(), 1);
    EXPECT_FALSE(ResizeComponents(m, {"Button1"}, -1, -1));
    SetComponentBounds(m, "Label1", 40, 48, 64, 16);
    EXPECT_EQ(Bounds(m, "Label1").Left, 40);
    EXPECT_EQ(Bounds(m, "Label1").Top, 48);
}

TEST_F(DesignTest, AlignmentLinesUpOnTheFirstAndSpacingEvensTheGaps) {
    struct Case {
        const char* What;
        TLineUp How;
        std::vector<TRect> Before;
        std::vector<int> Expected;  // Left (or Top) of B1, B2, ... afterwards
    };
    const std::vector<Case> cases = {
        {"left", TLineUp::Left, {{30, 0, 80, 20}, {10, 40, 60, 60}, {50, 80, 90, 100}}, {30, 30, 30}},
        {"top", TLineUp::Top, {{0, 30, 20, 50}, {40, 10, 60, 30}}, {30, 30}},
        {"centre, odd widths", TLineUp::HorzCentre, {{0, 0, 101, 20}, {300, 40, 351, 60}}, {0, 25}},
        {"space, even", TLineUp::SpaceHorz, {{0, 0, 10, 10}, {12, 0, 22, 10}, {100, 0, 110, 10}}, {0, 50, 100}},
        // 101 free pixels in 2 gaps: the first gap takes the odd one.
        {"space, remainder", TLineUp::SpaceHorz, {{0, 0, 10, 10}, {12, 0, 22, 10}, {121, 0, 131, 10}}, {0, 61, 121}},
        {"space, unsorted", TLineUp::SpaceVert, {{0, 100, 10, 110}, {0, 0, 10, 10}, {0, 20, 10, 30}}, {100, 0, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TDesignModel m;
        m.Load(LayoutOfButtons(c.Before));
        std::vector<std::string> names;
        for (size_t i = 0; i < c.Before.size(); ++i) names.push_back("B" + std::to_string(i + 1));
        AlignComponents(m, names, c.How);
        const bool horz = c.How == TLineUp::Left || c.How == TLineUp::HorzCentre || c.How == TLineUp::SpaceHorz;
        for (size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(horz ? Bounds(m, names[i].c_str()).Left : Bounds(m, names[i].c_str()).Top, c.Expected[i]) << names[i];
    }
    TDesignModel one;
    one.Load(LayoutOfButtons({{0, 0, 10, 10}}));
    EXPECT_FALSE(AlignComponents(one, {"B1"}, TLineUp::SpaceHorz));
}

TEST_F(DesignTest, AddedComponentsGetTheirDefaultsAUniqueNameAndTheirHost) {
    TDesignModel m;
    m.Load(kSmallLayout);
    EXPECT_EQ(AddComponent(m, GetClass("TButton"), "Panel1", 24, 72), "Button2");
    EXPECT_EQ(m.Find("Button2")->GetParentComponent(), m.Find("Panel1"));
    EXPECT_EQ(Bounds(m, "Button2").Left, 24);
    // A control that holds nothing passes what is put on it to the form.
    EXPECT_EQ(AddComponent(m, GetClass("TLabel"), "Label1", 1, 2), "Label2");
    EXPECT_EQ(m.Find("Label2")->GetParentComponent(), m.Root());
    EXPECT_EQ(AddComponent(m, GetClass("TTimer"), "", 0, 0), "Timer1");
    EXPECT_THROW(AddComponent(m, GetClass("TButton"), "Nobody", 0, 0), Exception);
    const std::string block = *ExtractBlock(m.Text(), "Button2");
    EXPECT_EQ(block, "object Button2: TButton\n  Left = 24\n  Top = 72\n  Width = 75\n  Height = 25\n  TabOrder = 1\nend\n");
}

TEST_F(DesignTest, DeletingAContainerTakesWhatItHoldsAndClearsReferences) {
    TDesignModel m;
    m.Load(kSmallLayout);
    EXPECT_TRUE(DeleteComponents(m, {"Panel1", "Button1"}));
    EXPECT_EQ(m.Find("Button1"), nullptr);
    EXPECT_EQ(m.Text().find("Panel1"), std::string::npos);
    EXPECT_TRUE(DeleteComponents(m, {"PopupMenu1"}));
    EXPECT_FALSE(DeleteComponents(m, {"Form1", "Nobody"}));  // the form stays
    TDesignModel r;
    r.Load(kSmallLayout);
    DeleteComponents(r, {"PopupMenu1"});
    EXPECT_EQ(r.Text().find("PopupMenu"), std::string::npos);
}

TEST_F(DesignTest, CopiedComponentsPasteRenamedIntoTheirNewHost) {
    TDesignModel m;
    m.Load(kSmallLayout);
    const std::string copied = CopyComponents(m, {"Panel1", "Button1"});  // the button goes with its panel
    EXPECT_EQ(LayoutObjectNames(copied), (std::vector<std::string>{"Panel1", "Button1"}));
    EXPECT_EQ(copied.rfind("object Panel1: TPanel\n", 0), 0u);
    EXPECT_EQ(PasteComponents(m, copied, ""), std::vector<std::string>{"Panel2"});
    EXPECT_EQ(m.Find("Button2")->GetParentComponent(), m.Find("Panel2"));
    // Into a container; text with Windows line ends as another editor may put it there.
    const std::string label = *ExtractBlock(m.Text(), "Label1");
    std::string crlf;
    for (char ch : label) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    EXPECT_EQ(PasteComponents(m, crlf, "Panel1"), std::vector<std::string>{"Label2"});
    EXPECT_EQ(m.Find("Label2")->GetParentComponent(), m.Find("Panel1"));
}

TEST_F(DesignTest, PastingWhatIsNotComponentsIsRefusedAndChangesNothing) {
    const std::vector<std::pair<std::string, const char*>> cases = {
        {"", "no components"},
        {"Caption = 'x'\n", "no components"},
        {"object B: TButton\n", "without its 'end'"},
        {"object B: TButton\nend\nend\n", "no components"},
        {"object B: TButton\nend\nLeft = 3\n", "no components"},
        {"object B: TNoSuchButton\nend\n", "unknown class 'TNoSuchButton'"},
        {"object B: TButton\n  Left = huge\nend\n", "expected a whole number for Left of TButton"},
    };
    TDesignModel m;
    m.Load(kSmallLayout);
    for (const auto& [text, message] : cases) {
        try {
            PasteComponents(m, text, "");
            ADD_FAILURE() << text << " was pasted";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(message), std::string::npos) << e.Message();
        }
        EXPECT_FALSE(m.CanUndo());
    }
}

TEST_F(DesignTest, LayoutTextFindsBlocksByNameIgnoringCase) {
    const std::string t = kSmallLayout;
    auto b = FindLayoutBlock(t, "button1");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Depth, 2);
    EXPECT_EQ(t.substr(b->Children, 8), "    end\n");
    EXPECT_FALSE(FindLayoutBlock(t, "Button"));
    EXPECT_FALSE(FindLayoutBlock(t, ""));
    EXPECT_FALSE(WithoutBlock(t, "Form1"));  // the root is the layout itself
    EXPECT_EQ(UniqueName("Button", {"button1", "Button2"}), "Button3");
    EXPECT_EQ(UniqueName("Edit12", {}), "Edit1");
    EXPECT_EQ(UniqueName("7", {}), "Component1");
    EXPECT_EQ(LayoutHeaderClass("\nobject X: TGallery  \nend\n"), "TGallery");
    EXPECT_EQ(WithHeaderClass("object X: TForm\nend\n", "TMain"), "object X: TMain\nend\n");
    EXPECT_EQ(ReaderMessage("line 12: bad thing: here"), "bad thing: here");
    EXPECT_EQ(ReaderMessage("no line"), "no line");
}

TEST_F(DesignTest, EveryPaletteClassAddsToAPanelOfTheGallery) {
    TDesignModel m;
    m.Load(ReadFile(SourceDir() + "/gallery/frmGallery.txt"));
    for (TClass cls : RegisteredClasses()) {
        if (!cls->Creator() || cls->InheritsFrom(TCustomForm::StaticClass()) || cls->InheritsFrom("TMenuItem")) continue;
        SCOPED_TRACE(cls->Name());
        std::string name;
        ASSERT_NO_THROW(name = AddComponent(m, cls, "pnlLinks", 304, 40));
        EXPECT_NE(m.Text().find("object " + name + ": " + cls->Name()), std::string::npos);
    }
}

// The steps of the designer's end-to-end test, without a display.
TEST_F(DesignTest, TheGalleryTakesAMovedRenamedRelookedButtonAndANewEdit) {
    TDesignModel m;
    m.Load(ReadFile(SourceDir() + "/gallery/frmGallery.txt"));
    SetComponentBounds(m, "btnNormalPic", 834, 129, 134, 31);
    SetPropertyText(m, "btnNormalPic", "Caption", "Moved");
    SetPropertyText(m, "btnNormalPic", "Looks", "ibkFlat");
    EXPECT_EQ(AddComponent(m, GetClass("TValidateEdit"), "pnlLinks", 304, 40), "ValidateEdit1");
    EXPECT_EQ(m.Find("ValidateEdit1")->GetParentComponent(), m.Find("pnlLinks"));
    EXPECT_NE(m.Text().find("      Looks = ibkFlat\n"), std::string::npos);
}

TEST_F(DesignTest, AComponentThatIsNoControlMovesByItsDesignPosition) {
    TDesignModel m;
    m.Load(kSmallLayout);
    EXPECT_EQ(*ExtractBlock(m.Text(), "PopupMenu1"), "object PopupMenu1: TPopupMenu\nend\n");  // none given
    EXPECT_TRUE(MoveComponents(m, {"PopupMenu1"}, 8, 16));
    EXPECT_EQ(*ExtractBlock(m.Text(), "PopupMenu1"), "object PopupMenu1: TPopupMenu\n  Left = 8\n  Top = 16\nend\n");
    EXPECT_FALSE(ResizeComponents(m, {"PopupMenu1"}, 5, 5));  // no size of its own
    EXPECT_EQ(AddComponent(m, GetClass("TTimer"), "Panel1", 40, 48), "Timer1");
    EXPECT_EQ(*ExtractBlock(m.Text(), "Timer1"), "object Timer1: TTimer\n  Left = 40\n  Top = 48\nend\n");
}

TEST_F(DesignTest, PastedReferencesFollowTheComponentsCopiedAlong) {
    // A button and a label referring to a popup menu and an edit; what each pasted reference
    // points at: the pasted copy when its target was copied along, else the original.
    const char* const layout =
        "object Form1: TForm\n"
        "  object Edit1: TEdit\n"
        "  end\n"
        "  object Button1: TButton\n"
        "    Caption = 'PopupMenu1'\n"
        "    PopupMenu = PopupMenu1\n"
        "    OnClick = PopupMenu1Click\n"
        "  end\n"
        "  object Label1: TLabel\n"
        "    FocusControl = Edit1\n"
        "  end\n"
        "  object PopupMenu1: TPopupMenu\n"
        "  end\n"
        "end\n";
    struct Case {
        const char* What;
        std::vector<std::string> Copied;
        int Pastes;         // into the same layout, one after another
        const char* Holder;  // the last paste's component holding the reference
        const char* Path;
        const char* Target;  // what it then refers to
    };
    const std::vector<Case> cases = {
        {"menu copied along", {"Button1", "PopupMenu1"}, 1, "Button2", "PopupMenu", "PopupMenu2"},
        {"menu copied first", {"PopupMenu1", "Button1"}, 1, "Button2", "PopupMenu", "PopupMenu2"},
        {"menu not copied", {"Button1"}, 1, "Button2", "PopupMenu", "PopupMenu1"},
        {"pasted twice", {"Button1", "PopupMenu1"}, 2, "Button3", "PopupMenu", "PopupMenu3"},
        {"edit copied along", {"Label1", "Edit1"}, 1, "Label2", "FocusControl", "Edit2"},
        {"edit not copied, menu copied", {"Label1", "PopupMenu1"}, 1, "Label2", "FocusControl", "Edit1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TDesignModel m;
        m.Load(layout);
        const std::string copied = CopyComponents(m, c.Copied);
        for (int i = 0; i < c.Pastes; ++i) PasteComponents(m, copied, "");
        const TPropertyRow row = [&] {
            for (const TPropertyRow& r : PropertyRows(m, c.Holder))
                if (r.Path == c.Path) return r;
            return TPropertyRow{};
        }();
        EXPECT_EQ(row.Value, c.Target);
        // The originals keep theirs; the caption and the event's method name are no references.
        EXPECT_EQ(dynamic_cast<TControl*>(m.Find("Button1"))->PopupMenu(), m.Find("PopupMenu1"));
        EXPECT_NE(m.Text().find("    FocusControl = Edit1\n"), std::string::npos);
        EXPECT_EQ(m.Text().find("OnClick = PopupMenu2"), std::string::npos);
        EXPECT_EQ(m.Text().find("OnClick = PopupMenu3"), std::string::npos);
        EXPECT_EQ(m.Text().find("Caption = 'PopupMenu2'"), std::string::npos);
        // Each paste is one step.
        for (int i = 0; i < c.Pastes; ++i) EXPECT_TRUE(m.Undo());
        EXPECT_FALSE(m.CanUndo());
    }
    // Into a layout without the originals the names stay and the references are the copies'.
    TDesignModel from, into;
    from.Load(layout);
    into.Load("object Form2: TForm\nend\n");
    EXPECT_EQ(PasteComponents(into, CopyComponents(from, {"Button1", "PopupMenu1"}), ""),
              (std::vector<std::string>{"Button1", "PopupMenu1"}));
    EXPECT_EQ(dynamic_cast<TControl*>(into.Find("Button1"))->PopupMenu(), into.Find("PopupMenu1"));
}
