// The shortcuts of popup menu items: a key that is one runs the item of the focused control's
// menu, or of a parent's up to the form, before the control sees the key.
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/Panel.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/layout/FormReader.h"
#include "tests/framework/FormsTestKit.h"

using namespace lumivane;

namespace {

class TShortCutForm : public TForm {
    LUMI_CLASS(TShortCutForm, TForm)
public:
    explicit TShortCutForm(TComponent* owner) : TForm(owner) {}
    TEdit* Edit1 = nullptr;
    std::vector<std::string> log;
    void ItemClick(TObject* Sender) { log.push_back(static_cast<TComponent*>(Sender)->Name()); }
    void EditKeyDown(TObject*, WORD& key, TShiftState) { log.push_back("key " + std::to_string(key)); }
};

LUMI_DEFINE_CLASS(TShortCutForm) {
    p.ExposeMethod("ItemClick", &TShortCutForm::ItemClick)
        .ExposeMethod("EditKeyDown", &TShortCutForm::EditKeyDown)
        .ExposeField("Edit1", &TShortCutForm::Edit1);
}

// Ctrl+O 16463, Ctrl+K 16459, Ctrl+D 16452, Ctrl+I 16457, Ctrl+N 16462, F5 116, Shift+F6 8309,
// Q 81.
const char* kLayout = R"(object F: TShortCutForm
  ClientHeight = 200
  ClientWidth = 300
  object Panel1: TPanel
    Width = 250
    Height = 150
    PopupMenu = PanelMenu
    object Edit1: TEdit
      Left = 8
      Top = 8
      Width = 150
      Height = 21
      PopupMenu = EditMenu
      OnKeyDown = EditKeyDown
    end
  end
  object EditMenu: TPopupMenu
    object eOpen: TMenuItem
      Caption = 'Open'
      ShortCut = 16463
      OnClick = ItemClick
    end
    object eDisabled: TMenuItem
      Caption = 'Disabled'
      Enabled = False
      ShortCut = 16452
      OnClick = ItemClick
    end
    object eHidden: TMenuItem
      Caption = 'Hidden'
      Visible = False
      ShortCut = 16457
      OnClick = ItemClick
    end
    object eOff: TMenuItem
      Caption = 'Off'
      Enabled = False
      object eUnder: TMenuItem
        Caption = 'Under a disabled item'
        ShortCut = 16462
        OnClick = ItemClick
      end
    end
  end
  object PanelMenu: TPopupMenu
    object pOpen: TMenuItem
      Caption = 'Open too'
      ShortCut = 16463
      OnClick = ItemClick
    end
    object pKeep: TMenuItem
      Caption = 'Keep'
      ShortCut = 16459
      OnClick = ItemClick
    end
    object pDisabled: TMenuItem
      Caption = 'Enabled here'
      ShortCut = 16452
      OnClick = ItemClick
    end
  end
  object FormMenu: TPopupMenu
    object fView: TMenuItem
      Caption = 'View'
      object fSub: TMenuItem
        Caption = 'Sub'
        object fRefresh: TMenuItem
          Caption = 'Refresh'
          ShortCut = 116
          OnClick = ItemClick
        end
      end
    end
    object fQuit: TMenuItem
      Caption = 'Quit'
      ShortCut = 81
      OnClick = ItemClick
    end
    object fShifted: TMenuItem
      Caption = 'Shifted'
      ShortCut = 8309
      OnClick = ItemClick
    end
  end
end
)";

class MenuShortCutTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        RegisterClasses({TShortCutForm::StaticClass(), TPanel::StaticClass()});
        form = static_cast<TShortCutForm*>(ReadRootComponent(kLayout, Application));
        form->SetPopupMenu(static_cast<TPopupMenu*>(form->FindComponent("FormMenu")));
        form->Show();
        session.Pump();
        form->Edit1->SetFocus();
        session.Pump();
    }
    void TearDown() override {
        MenuWindow::CloseAll();
        FormsTest::TearDown();
    }
    TShortCutForm* form = nullptr;
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
        form->log.clear();
        session.Key(c.vk, c.shift);
        EXPECT_EQ(form->log, c.log);
    }
    // The character of a key that ran an item is not typed; one that did not is, and so is text
    // that comes after a shortcut key that types nothing.
    EXPECT_EQ(form->Edit1->Text(), "");
    session.Key('Z');
    EXPECT_EQ(form->Edit1->Text(), "z");
    session.Key(VK_F5);
    session.Type("y");
    EXPECT_EQ(form->Edit1->Text(), "zy");
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
}

TEST_F(MenuShortCutTest, ItemsChangedInCodeCountAsTheyAreNowAndAnOpenMenuTakesTheKeysItself) {
    auto* eOpen = static_cast<TMenuItem*>(form->FindComponent("eOpen"));
    eOpen->SetEnabled(false);
    session.Key('O', MK_CONTROL);
    EXPECT_EQ(form->log, (std::vector<std::string>{"pOpen"}));
    form->Edit1->SetPopupMenu(nullptr);
    static_cast<TMenuItem*>(form->FindComponent("fQuit"))->SetShortCut(scNone);
    form->log.clear();
    session.Key('Q');
    EXPECT_EQ(form->log, (std::vector<std::string>{"key 81"}));
    EXPECT_EQ(form->Edit1->Text(), "q");
    // While a menu is open its keys are the menu's: no shortcut runs behind it.
    session.Key(VK_F10, MK_SHIFT);
    ASSERT_EQ(MenuWindow::LevelCount(), 1);
    form->log.clear();
    session.Key('K', MK_CONTROL);
    EXPECT_EQ(form->log, std::vector<std::string>{});
    // A handler that frees the control whose key it was.
    session.Key(VK_ESCAPE);
    auto* pKeep = static_cast<TMenuItem*>(form->FindComponent("pKeep"));
    pKeep->OnClick = [&](TObject*) { delete form->Edit1; };
    session.Key('K', MK_CONTROL);
    EXPECT_EQ(form->FindComponent("Edit1"), nullptr);
}
