// The shortcuts of popup menu items: a key that is one runs the item of the focused control's
// menu, or of a parent's up to the form, before the control sees the key.
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/Panel.h"
#include "lumivane/framework/PopupMenu.h"
#include "tests/framework/FormsTestKit.h"

using namespace lumivane;

namespace {

// A form holding a panel holding an edit, each with a popup menu; item clicks and the keys the
// edit sees are logged.
class MenuShortCutTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form = ShowForm();
        auto* panel = new TPanel(form);
        panel->SetParent(form);
        panel->SetBounds(0, 0, 250, 150);
        edit = new TEdit(form);
        edit->SetParent(panel);
        edit->SetBounds(8, 8, 150, 21);
        edit->OnKeyDown = [this](TObject*, WORD& key, TShiftState) { log.push_back("key " + std::to_string(key)); };
        // Name, shortcut, enabled, visible; a name ending in '>' holds the items after it up to '<'.
        edit->SetPopupMenu(Menu({{"eOpen", scCtrl | 'O'}, {"eDisabled", scCtrl | 'D', false},
                                 {"eHidden", scCtrl | 'I', true, false}, {"eOff>", 0, false},
                                 {"eUnder", scCtrl | 'N'}, {"<"}}));
        panel->SetPopupMenu(Menu({{"pOpen", scCtrl | 'O'}, {"pKeep", scCtrl | 'K'}, {"pDisabled", scCtrl | 'D'}}));
        form->SetPopupMenu(Menu({{"fView>"}, {"fSub>"}, {"fRefresh", VK_F5}, {"<"}, {"<"}, {"fQuit", 'Q'},
                                 {"fShifted", scShift | VK_F6}}));
        session.Pump();
        edit->SetFocus();
        session.Pump();
    }
    void TearDown() override {
        MenuWindow::CloseAll();
        FormsTest::TearDown();
    }
    struct Item {
        std::string name;
        TShortCut shortCut = scNone;
        bool enabled = true, visible = true;
    };
    TPopupMenu* Menu(const std::vector<Item>& items) {
        auto* menu = new TPopupMenu(form);
        std::vector<TMenuItem*> parents{menu->Items()};
        for (const Item& i : items) {
            if (i.name == "<") {
                parents.pop_back();
                continue;
            }
            auto* item = new TMenuItem(form);
            const bool holds = i.name.back() == '>';
            item->SetName(holds ? i.name.substr(0, i.name.size() - 1) : i.name);
            item->SetCaption(item->Name());
            item->SetShortCut(i.shortCut);
            item->SetEnabled(i.enabled);
            item->SetVisible(i.visible);
            item->OnClick = [this](TObject* sender) { log.push_back(static_cast<TComponent*>(sender)->Name()); };
            parents.back()->Add(item);
            if (holds) parents.push_back(item);
        }
        return menu;
    }
    TMenuItem* Find(const char* name) { return static_cast<TMenuItem*>(form->FindComponent(name)); }
    TForm* form = nullptr;
    TEdit* edit = nullptr;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(MenuShortCutTest, TheNearestMenuWithAnEnabledVisibleItemRunsItBeforeTheControlSeesTheKey) {
    struct Case {
        const char* what;
        unsigned vk, shift;
        std::vector<std::string> log;  // items run, then the keys the edit saw
    } cases[] = {
        {"the focused control's own menu first", 'O', MK_CONTROL, {"eOpen"}},
        {"a parent's menu", 'K', MK_CONTROL, {"pKeep"}},
        {"disabled here, enabled in the parent's", 'D', MK_CONTROL, {"pDisabled"}},
        {"an invisible item counts nowhere", 'I', MK_CONTROL, {"key 73"}},
        {"nor one under a disabled item", 'N', MK_CONTROL, {"key 78"}},
        {"the form's menu, nested two deep", VK_F5, 0, {"fRefresh"}},
        {"a plain key is a shortcut too", 'Q', 0, {"fQuit"}},
        {"the modifiers must match", VK_F6, 0, {"key 117"}},
        {"with its Shift", VK_F6, MK_SHIFT, {"fShifted"}},
        {"no item has it", 'W', MK_CONTROL, {"key 87"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        session.Key(c.vk, c.shift);
        EXPECT_EQ(log, c.log);
    }
    // The character of a key that ran an item is not typed; one that did not is, and so is text
    // that comes after a shortcut key that types nothing.
    EXPECT_EQ(edit->Text(), "");
    session.Key('Z');
    EXPECT_EQ(edit->Text(), "z");
    session.Key(VK_F5);
    session.Type("y");
    EXPECT_EQ(edit->Text(), "zy");
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
}

TEST_F(MenuShortCutTest, ItemsChangedInCodeCountAsTheyAreNowAndAnOpenMenuTakesTheKeysItself) {
    Find("eOpen")->SetEnabled(false);
    session.Key('O', MK_CONTROL);
    EXPECT_EQ(log, (std::vector<std::string>{"pOpen"}));
    edit->SetPopupMenu(nullptr);
    Find("fQuit")->SetShortCut(scNone);
    log.clear();
    session.Key('Q');
    EXPECT_EQ(log, (std::vector<std::string>{"key 81"}));
    EXPECT_EQ(edit->Text(), "q");
    // While a menu is open its keys are the menu's: no shortcut runs behind it.
    session.Key(VK_F10, MK_SHIFT);
    ASSERT_EQ(MenuWindow::LevelCount(), 1);
    log.clear();
    session.Key('K', MK_CONTROL);
    EXPECT_EQ(log, std::vector<std::string>{});
    // A handler that frees the control whose key it was.
    session.Key(VK_ESCAPE);
    Find("pKeep")->OnClick = [&](TObject*) {
        delete edit;
        edit = nullptr;
    };
    session.Key('K', MK_CONTROL);
    EXPECT_EQ(edit, nullptr);
    EXPECT_EQ(log, std::vector<std::string>{});
}
