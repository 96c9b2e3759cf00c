// A popup menu's items edited as a tree: each edit's tree, the history over a sequence of them,
// and the text the writer makes of the result.
#include <functional>
#include <vector>

#include "lumivane/base/Exception.h"
#include "tests/formview/DesignKit.h"
#include "tools/formview/DesignEdits.h"
#include "tools/formview/MenuEdits.h"
#include "tools/formview/PropertyEdit.h"

using namespace lumivane;

namespace {

const char* const kMenuLayout =
    "object Form1: TForm\n"
    "  object Button1: TButton\n"
    "    PopupMenu = Menu1\n"
    "  end\n"
    "  object Menu1: TPopupMenu\n"
    "    object mnuOpen: TMenuItem\n"
    "      Caption = '&Open'\n"
    "    end\n"
    "    object mnuRecent: TMenuItem\n"
    "      Caption = 'Recent'\n"
    "      object mnuFile1: TMenuItem\n"
    "        Caption = 'one.txt'\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "end\n";

// The tree as one line: names, a subitem's with a '>' for each level.
std::string Tree(const TDesignModel& m, const std::string& menu = "Menu1") {
    std::string out;
    for (const TMenuRow& r : MenuTree(m, menu)) out += (out.empty() ? "" : " ") + std::string(size_t(r.Depth), '>') + r.Name;
    return out;
}

}  // namespace

TEST_F(DesignTest, MenuItemsAreEditedAsATreeWithUndoAndRedo) {
    TDesignModel m;
    m.Load(kMenuLayout);
    ASSERT_EQ(Tree(m), "mnuOpen mnuRecent >mnuFile1");
    struct Step {
        const char* What;
        std::function<void()> Do;
        const char* Tree;
    };
    const std::vector<Step> steps = {
        {"add last", [&] { EXPECT_EQ(AddMenuItem(m, "Menu1", "", false), "MenuItem1"); },
         "mnuOpen mnuRecent >mnuFile1 MenuItem1"},
        {"add after the first", [&] { AddMenuItem(m, "Menu1", "mnuOpen", false); },
         "mnuOpen MenuItem2 mnuRecent >mnuFile1 MenuItem1"},
        {"add inside a subitem", [&] { AddMenuItem(m, "Menu1", "mnuFile1", true); },
         "mnuOpen MenuItem2 mnuRecent >mnuFile1 >>MenuItem3 MenuItem1"},
        {"add after a subitem", [&] { AddMenuItem(m, "Menu1", "mnuFile1", false); },
         "mnuOpen MenuItem2 mnuRecent >mnuFile1 >>MenuItem3 >MenuItem4 MenuItem1"},
        {"up", [&] { EXPECT_TRUE(MoveMenuItem(m, "MenuItem4", -1)); },
         "mnuOpen MenuItem2 mnuRecent >MenuItem4 >mnuFile1 >>MenuItem3 MenuItem1"},
        {"up at the top", [&] { EXPECT_FALSE(MoveMenuItem(m, "MenuItem4", -1)); },
         "mnuOpen MenuItem2 mnuRecent >MenuItem4 >mnuFile1 >>MenuItem3 MenuItem1"},
        {"down at the bottom", [&] { EXPECT_FALSE(MoveMenuItem(m, "MenuItem1", 1)); },
         "mnuOpen MenuItem2 mnuRecent >MenuItem4 >mnuFile1 >>MenuItem3 MenuItem1"},
        {"down with its subitems", [&] { EXPECT_TRUE(MoveMenuItem(m, "mnuRecent", 1)); },
         "mnuOpen MenuItem2 MenuItem1 mnuRecent >MenuItem4 >mnuFile1 >>MenuItem3"},
        {"rename", [&] { EXPECT_TRUE(RenameComponent(m, "MenuItem2", "mnuSave")); },
         "mnuOpen mnuSave MenuItem1 mnuRecent >MenuItem4 >mnuFile1 >>MenuItem3"},
        {"caption in the inspector", [&] { SetPropertyText(m, "mnuSave", "Caption", "&Save"); },
         "mnuOpen mnuSave MenuItem1 mnuRecent >MenuItem4 >mnuFile1 >>MenuItem3"},
        {"delete with its subitems", [&] { EXPECT_TRUE(DeleteComponents(m, {"mnuFile1"})); },
         "mnuOpen mnuSave MenuItem1 mnuRecent >MenuItem4"},
        {"rename the menu: the reference follows", [&] { RenameComponent(m, "Menu1", "Menu2"); }, ""},
    };
    std::vector<std::string> texts = {m.Text()};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.What);
        s.Do();
        EXPECT_EQ(Tree(m), s.Tree);
        // What is saved reads back as itself: the writer's own text.
        TDesignModel again;
        again.Load(m.Text());
        EXPECT_EQ(again.Text(), m.Text());
        if (m.Text() != texts.back()) texts.push_back(m.Text());
    }
    EXPECT_EQ(Tree(m, "Menu2"), "mnuOpen mnuSave MenuItem1 mnuRecent >MenuItem4");
    EXPECT_NE(m.Text().find("    PopupMenu = Menu2\n"), std::string::npos);
    EXPECT_NE(m.Text().find("      Caption = '&Save'\n"), std::string::npos);
    // Undo goes back through every step's text, redo forward again.
    for (size_t i = texts.size() - 1; i > 0; --i) {
        ASSERT_TRUE(m.Undo());
        EXPECT_EQ(m.Text(), texts[i - 1]);
    }
    EXPECT_FALSE(m.CanUndo());
    EXPECT_EQ(Tree(m), "mnuOpen mnuRecent >mnuFile1");
    for (size_t i = 1; i < texts.size(); ++i) {
        ASSERT_TRUE(m.Redo());
        EXPECT_EQ(m.Text(), texts[i]);
    }
}

TEST_F(DesignTest, MenuEditsRefuseWhatIsNotThereAndChangeNothing) {
    TDesignModel m;
    m.Load(kMenuLayout);
    const std::vector<std::pair<std::function<void()>, const char*>> refused = {
        {[&] { AddMenuItem(m, "Button1", "", false); }, "no popup menu named Button1"},
        {[&] { AddMenuItem(m, "Menu9", "", false); }, "no popup menu named Menu9"},
        {[&] { AddMenuItem(m, "Menu1", "Button1", false); }, "no menu item named Button1"},
        {[&] { MoveMenuItem(m, "Menu1", 1); }, "no menu item named Menu1"},
        {[&] { RenameComponent(m, "mnuOpen", "mnuRecent"); }, "mnuRecent"},
        {[&] { RenameComponent(m, "mnuOpen", "1st"); }, "'1st' is not a valid component name"},
        {[&] { RenameComponent(m, "mnuOpen", ""); }, "needs a name"},
        {[&] { RenameComponent(m, "nobody", "x"); }, "no component named nobody"},
    };
    for (const auto& [edit, message] : refused) {
        SCOPED_TRACE(message);
        try {
            edit();
            ADD_FAILURE() << "taken";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(message), std::string::npos) << e.Message();
        }
        EXPECT_EQ(m.Text(), m.SavedText());
        EXPECT_FALSE(m.CanUndo());
    }
    EXPECT_EQ(Tree(m), "mnuOpen mnuRecent >mnuFile1");
    EXPECT_FALSE(RenameComponent(m, "mnuOpen", "mnuOpen"));
    EXPECT_EQ(MenuOf(m, "mnuFile1"), "Menu1");
    EXPECT_EQ(MenuOf(m, "Menu1"), "Menu1");
    EXPECT_EQ(MenuOf(m, "Button1"), "");
    EXPECT_TRUE(MenuTree(m, "Button1").empty());
}
