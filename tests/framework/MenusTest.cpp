// Popup menus, context requests, component references in layouts, the edit's own menu, and
// dragging between controls.
#include "lumivane/framework/CursorShapes.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/Label.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/Image.h"
#include "tests/framework/FormsTestKit.h"
#include "lumivane/base/Exception.h"

using namespace lumivane;

namespace {

// A form whose layout names menus and handlers; handlers record what ran.
class TMenuForm : public TForm {
    LUMI_CLASS(TMenuForm, TForm)
public:
    explicit TMenuForm(TComponent* owner) : TForm(owner) {}
    TPopupMenu* PopupMenu1 = nullptr;
    TEdit* Edit1 = nullptr;
    TLabel* Label1 = nullptr;
    std::vector<std::string> log;
    void ItemClick(TObject* Sender) { log.push_back("click " + static_cast<TComponent*>(Sender)->Name()); }
    void EditContextPopup(TObject*, TPoint p, bool& handled) {
        log.push_back("context " + std::to_string(p.x) + "," + std::to_string(p.y));
        handled = handleContext;
    }
    bool handleContext = false;
};

LUMI_DEFINE_CLASS(TMenuForm) {
    p.ExposeMethod("ItemClick", &TMenuForm::ItemClick)
        .ExposeMethod("EditContextPopup", &TMenuForm::EditContextPopup)
        .ExposeField("PopupMenu1", &TMenuForm::PopupMenu1)
        .ExposeField("Edit1", &TMenuForm::Edit1)
        .ExposeField("Label1", &TMenuForm::Label1);
}

const char* kLayout = R"(object MenuForm: TMenuForm
  Left = 100
  Top = 100
  Caption = 'Menus'
  ClientHeight = 200
  ClientWidth = 300
  Color = clWhite
  object Label1: TLabel
    Left = 8
    Top = 8
    Caption = '&Name'
    FocusControl = Edit1
    PopupMenu = PopupMenu1
  end
  object Edit1: TEdit
    Left = 8
    Top = 40
    Width = 150
    Height = 21
    PopupMenu = PopupMenu1
    TabOrder = 0
    OnContextPopup = EditContextPopup
  end
  object PopupMenu1: TPopupMenu
    object mnuOpen: TMenuItem
      Caption = '&Open'
      ShortCut = 16463
      OnClick = ItemClick
    end
    object mnuGone: TMenuItem
      Caption = 'Hidden'
      Visible = False
      OnClick = ItemClick
    end
    object mnuSave: TMenuItem
      Caption = '&Save'
      Enabled = False
      OnClick = ItemClick
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object mnuView: TMenuItem
      Caption = '&View'
      object mnuBig: TMenuItem
        Caption = '&Big'
        Checked = True
        RadioItem = True
        OnClick = ItemClick
      end
      object mnuSmall: TMenuItem
        Caption = 'S&mall'
        AutoCheck = True
        RadioItem = True
        OnClick = ItemClick
      end
    end
    object mnuSort: TMenuItem
      Caption = 'S&ort'
      Default = True
      OnClick = ItemClick
    end
  end
end
)";

class MenusTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        RegisterClass(TMenuForm::StaticClass());
        form = static_cast<TMenuForm*>(ReadRootComponent(kLayout, Application));
        form->Show();
        session.Pump();
    }
    void TearDown() override {
        MenuWindow::CloseAll();
        FormsTest::TearDown();
    }
    TMenuItem* Item(const char* name) { return static_cast<TMenuItem*>(form->FindComponent(name)); }
    std::string Selected(int level = -1) {
        if (level < 0) level = MenuWindow::LevelCount() - 1;
        TMenuItem* i = MenuWindow::SelectedItem(level);
        return i ? i->Name() : "none";
    }
    // Screen centre of an item of an open level.
    TPoint ItemCentre(int level, const char* name) {
        TRect r = MenuWindow::ItemRect(level, Item(name));
        POINT p{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
        ClientToScreen(MenuWindow::LevelWindow(level), &p);
        return {p.x, p.y};
    }
    void RightClick(TControl* c, int x, int y) {
        TPoint p = At(c, x, y);
        session.Click(p.x, p.y, 3);
    }
    TMenuForm* form = nullptr;
};

}  // namespace

TEST_F(MenusTest, ReferencesResolveByNameWriteBackAndClearWhenTheComponentGoes) {
    EXPECT_EQ(form->Label1->FocusControl(), form->Edit1);
    EXPECT_EQ(form->Edit1->PopupMenu(), form->PopupMenu1);
    EXPECT_EQ(form->PopupMenu1->Items()->Count(), 6);
    EXPECT_EQ(Item("mnuView")->Count(), 2);
    EXPECT_EQ(Item("mnuBig")->GetParentComponent(), Item("mnuView"));
    EXPECT_EQ(Item("mnuOpen")->GetParentComponent(), form->PopupMenu1);

    // Written back by name, items nested in their menu: the text reads back the same.
    const std::string text = WriteForm(form);
    EXPECT_NE(text.find("    FocusControl = Edit1\n    PopupMenu = PopupMenu1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    object mnuView: TMenuItem\n      Caption = '&View'\n      object mnuBig: TMenuItem"),
              std::string::npos) << text;
    auto* copy = static_cast<TMenuForm*>(ReadRootComponent(text, Application));
    const std::string again = WriteForm(copy);  // the same but for the root's name
    EXPECT_EQ(again.substr(again.find('\n')), text.substr(text.find('\n')));
    delete copy;

    delete form->PopupMenu1;
    EXPECT_EQ(form->Edit1->PopupMenu(), nullptr);
    EXPECT_EQ(form->PopupMenu1, nullptr);
    delete form->Edit1;
    EXPECT_EQ(form->Label1->FocusControl(), nullptr);
    EXPECT_EQ(WriteForm(form).find("PopupMenu ="), std::string::npos);

    // A reference to a component of another owner is dropped when that component goes too.
    auto* loose = new TPopupMenu(nullptr);
    form->Label1->SetPopupMenu(loose);
    delete loose;
    EXPECT_EQ(form->Label1->PopupMenu(), nullptr);
}

TEST_F(MenusTest, BadReferencesAreLoadErrorsNamingTheLine) {
    struct Case {
        const char* body;
        const char* error;
    } cases[] = {
        {"  object E: TEdit\n    PopupMenu = Nowhere\n  end\n", "line 3: unknown component 'Nowhere' for PopupMenu of TEdit"},
        {"  object E: TEdit\n  end\n  object L: TLabel\n    PopupMenu = E\n  end\n",
         "line 5: E is a TEdit, not a TPopupMenu for PopupMenu of TLabel"},
        {"  object E: TEdit\n    PopupMenu = 12\n  end\n", "line 3: expected a component name for PopupMenu of TEdit, found a number"},
        {"  object I: TMenuItem\n  end\n", "line 2: a menu item belongs in a menu or another menu item, not in TMenuForm"},
    };
    for (const Case& c : cases) {
        std::string text = std::string("object F: TMenuForm\n") + c.body + "end\n";
        try {
            delete ReadRootComponent(text, Application);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.error);
        }
    }
    // A forward reference is fine; nil clears.
    auto* f = ReadRootComponent(
        "object F: TForm\n  object E: TEdit\n    PopupMenu = P\n  end\n  object P: TPopupMenu\n  end\nend\n",
        Application);
    EXPECT_NE(static_cast<TEdit*>(f->FindComponent("E"))->PopupMenu(), nullptr);
    delete f;
}

TEST_F(MenusTest, KeyboardNavigationSkipsSeparatorsAndHiddenItemsAndChoosesWithEnter) {
    form->Edit1->SetFocus();
    session.Key(VK_F10, MK_SHIFT);
    ASSERT_EQ(MenuWindow::LevelCount(), 1);
    EXPECT_EQ(form->log, (std::vector<std::string>{"context -1,-1"}));
    EXPECT_EQ(Selected(), "none");
    std::vector<std::string> seen;
    for (int i = 0; i < 5; ++i) {
        session.Key(VK_DOWN);
        seen.push_back(Selected());
    }
    // The hidden item is left out, the disabled one is visited, the separator skipped; wraps.
    EXPECT_EQ(seen, (std::vector<std::string>{"mnuOpen", "mnuSave", "mnuView", "mnuSort", "mnuOpen"}));
    session.Key(VK_UP);
    EXPECT_EQ(Selected(), "mnuSort");
    session.Key(VK_HOME);
    EXPECT_EQ(Selected(), "mnuOpen");
    session.Key(VK_DOWN);
    session.Key(VK_RETURN);  // disabled: nothing happens
    EXPECT_EQ(MenuWindow::LevelCount(), 1);
    // Into the submenu and out again.
    session.Key(VK_DOWN);
    session.Key(VK_RIGHT);
    ASSERT_EQ(MenuWindow::LevelCount(), 2);
    EXPECT_EQ(Selected(1), "mnuBig");
    session.Key(VK_LEFT);
    EXPECT_EQ(MenuWindow::LevelCount(), 1);
    EXPECT_EQ(Selected(), "mnuView");
    session.Key(VK_END);
    session.Key(VK_RETURN);
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
    EXPECT_EQ(form->log.back(), "click mnuSort");
    // The Return that chose the item never reaches the edit; keys go to the edit again.
    session.Key('A');
    EXPECT_EQ(form->Edit1->Text(), "a");
    // Escape closes a submenu, then the menu.
    session.Key(VK_APPS);
    session.Key(VK_DOWN);
    session.Key(VK_UP);
    session.Key(VK_UP);
    session.Key(VK_RETURN);
    ASSERT_EQ(MenuWindow::LevelCount(), 2);
    session.Key(VK_ESCAPE);
    EXPECT_EQ(MenuWindow::LevelCount(), 1);
    session.Key(VK_ESCAPE);
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
    EXPECT_EQ(form->Edit1->Text(), "a");
}

TEST_F(MenusTest, AcceleratorsChooseItemsOpenSubmenusAndSkipDisabledOnes) {
    form->Edit1->SetFocus();
    session.Key(VK_APPS);
    session.Key('S');  // &Save is disabled: selected, not chosen
    EXPECT_EQ(Selected(), "mnuSave");
    EXPECT_EQ(MenuWindow::LevelCount(), 1);
    session.Key('V');  // opens the submenu
    ASSERT_EQ(MenuWindow::LevelCount(), 2);
    session.Key('M');  // S&mall: an auto-check radio item
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
    EXPECT_EQ(form->log.back(), "click mnuSmall");
    EXPECT_TRUE(Item("mnuSmall")->Checked());
    EXPECT_FALSE(Item("mnuBig")->Checked());
    EXPECT_EQ(form->Edit1->Text(), "");
    EXPECT_EQ(ShortCutToText(Item("mnuOpen")->ShortCut()), "Ctrl+O");
    EXPECT_EQ(ShortCutToText(scShift | VK_DELETE), "Shift+Del");
    EXPECT_EQ(AcceleratorOf("Fish && &Chips"), U'c');
    EXPECT_EQ(AcceleratorOf("&Ярлык"), U'я'); // any script, in lower case
}

TEST_F(MenusTest, MouseHoverOpensSubmenusAClickChoosesAndAClickOutsideCloses) {
    RightClick(form->Label1, 3, 3);
    ASSERT_EQ(MenuWindow::LevelCount(), 1);
    EXPECT_EQ(form->PopupMenu1->PopupComponent(), form->Label1);
    // The menu's corner is at the pointer.
    RECT r;
    GetWindowRect(MenuWindow::LevelWindow(0), &r);
    EXPECT_EQ(TPoint(r.Left, r.Top), At(form->Label1, 3, 3));
    TPoint view = ItemCentre(0, "mnuView");
    session.Move(view.x, view.y);
    EXPECT_EQ(Selected(0), "mnuView");
    ASSERT_EQ(MenuWindow::LevelCount(), 2);
    TPoint big = ItemCentre(1, "mnuBig");
    session.Move(big.x, big.y);
    EXPECT_EQ(Selected(1), "mnuBig");
    session.Click(big.x, big.y);
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
    EXPECT_EQ(form->log.back(), "click mnuBig");

    // A click on a disabled item keeps the menu open; one outside closes it and clicks nothing.
    RightClick(form->Label1, 3, 3);
    TPoint save = ItemCentre(0, "mnuSave");
    session.Click(save.x, save.y);
    EXPECT_EQ(MenuWindow::LevelCount(), 1);
    const size_t logged = form->log.size();
    TPoint outside = At(form, 290, 190);
    session.Click(outside.x, outside.y);
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
    EXPECT_EQ(form->log.size(), logged);
}

TEST_F(MenusTest, MenusStayOnTheScreenAndSubmenusOpenOnTheFreeSide) {
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    form->PopupMenu1->Popup(sw - 5, sh - 5);
    RECT r;
    GetWindowRect(MenuWindow::LevelWindow(0), &r);
    EXPECT_EQ(r.Right, sw - 5);  // flipped to the left of and above the point
    EXPECT_EQ(r.Bottom, sh - 5);
    session.Key(VK_END);
    session.Key(VK_UP);
    session.Key(VK_RIGHT);
    RECT sub;
    GetWindowRect(MenuWindow::LevelWindow(1), &sub);
    EXPECT_LE(sub.Right, r.Left + 3);
    EXPECT_LE(sub.Bottom, sh);
    form->PopupMenu1->CloseMenu();
    form->PopupMenu1->Popup(-50, -50);
    GetWindowRect(MenuWindow::LevelWindow(0), &r);
    EXPECT_EQ(TPoint(r.Left, r.Top), TPoint(0, 0));
}

TEST_F(MenusTest, OnContextPopupMayHandleTheRequestAndControlsWithoutMenusAskTheirParent) {
    form->handleContext = true;
    RightClick(form->Edit1, 5, 5);
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
    EXPECT_EQ(form->log, (std::vector<std::string>{"context 5,5"}));
    form->handleContext = false;
    RightClick(form->Edit1, 5, 5);
    EXPECT_TRUE(form->PopupMenu1->IsOpen());
    MenuWindow::CloseAll();

    // A label without a menu passes the request to the form, whose menu opens.
    form->Label1->SetPopupMenu(nullptr);
    form->SetPopupMenu(form->PopupMenu1);
    RightClick(form->Label1, 3, 3);
    EXPECT_TRUE(form->PopupMenu1->IsOpen());
    EXPECT_EQ(form->PopupMenu1->PopupComponent(), form);
    MenuWindow::CloseAll();
    // AutoPopup off: nothing opens by itself.
    form->PopupMenu1->SetAutoPopup(false);
    RightClick(form->Label1, 3, 3);
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
}

// A paste filter as a validating edit has: digits only.
class TDigitsEdit : public TEdit {
public:
    explicit TDigitsEdit(TComponent* owner) : TEdit(owner) {}
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_PASTE) {
            std::string clip, digits;
            GetClipboardText(&clip);
            for (char c : clip)
                if (c >= '0' && c <= '9') digits += c;
            SetSelText(digits);
            return;
        }
        TEdit::Dispatch(m);
    }
};

TEST_F(MenusTest, TheEditsOwnMenuEnablesItemsByStateAndActsThroughTheEditsMessages) {
    auto* edit = new TDigitsEdit(form);
    edit->SetParent(form);
    edit->SetBounds(8, 100, 150, 21);
    session.Pump();
    auto state = [&] {
        RightClick(edit, 5, 5);
        std::string s;
        TPopupMenu* menu = MenuWindow::OpenMenu();
        for (int i = 0; menu && i < menu->Items()->Count(); ++i) {
            TMenuItem* item = menu->Items()->Items(i);
            if (item->IsLine()) continue;
            if (!s.empty()) s += ' ';
            s += item->Caption() + (item->Enabled() ? "+" : "-");
        }
        return s;
    };
    session.SetClipboard("");
    EXPECT_EQ(state(), "&Undo- Cu&t- &Copy- &Paste- &Delete- Select &All-");
    session.Key(VK_ESCAPE);
    EXPECT_TRUE(edit->Focused());  // the right click focused the edit

    session.SetClipboard("a1b2c3");
    state();
    session.Key('P');  // &Paste, filtered by the edit's own paste handling
    EXPECT_EQ(edit->Text(), "123");
    EXPECT_EQ(state(), "&Undo+ Cu&t- &Copy- &Paste+ &Delete- Select &All+");
    session.Key('A');
    EXPECT_EQ(edit->SelLength(), 3);
    EXPECT_EQ(state(), "&Undo+ Cu&t+ &Copy+ &Paste+ &Delete+ Select &All-");
    session.Key('T');
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(session.Clipboard(), "123");
    state();
    session.Key('U');
    EXPECT_EQ(edit->Text(), "123");

    edit->SetReadOnly(true);
    edit->SelectAll();
    EXPECT_EQ(state(), "&Undo- Cu&t- &Copy+ &Paste- &Delete- Select &All-");
    session.Key(VK_ESCAPE);
    // With a PopupMenu of its own the edit shows that instead.
    edit->SetPopupMenu(form->PopupMenu1);
    RightClick(edit, 5, 5);
    EXPECT_TRUE(form->PopupMenu1->IsOpen());
}

namespace {
// Two drop targets and a source with recording handlers.
struct DragLog {
    std::vector<std::string> lines;
    void Add(const std::string& s) { lines.push_back(s); }
};
}  // namespace

TEST_F(MenusTest, DragsStartPastTheThresholdAreAcceptedByOneControlRefusedByAnotherAndEscapeCancels) {
    DragLog log;
    auto image = [&](const char* name, int left) {
        auto* i = new TImage(form);
        i->SetName(name);
        i->SetParent(form);
        i->SetBounds(left, 100, 60, 60);
        return i;
    };
    TImage* source = image("Src", 10);
    TImage* yes = image("Yes", 100);
    TImage* no = image("No", 200);
    source->SetDragMode(dmAutomatic);
    source->SetDragCursor(crHandPoint);
    source->OnClick = [&](TObject*) { log.Add("click"); };
    source->OnStartDrag = [&](TObject*, TDragObject*&) { log.Add("start"); };
    source->OnEndDrag = [&](TObject*, TObject* target, int x, int y) {
        log.Add("end " + (target ? static_cast<TComponent*>(target)->Name() : std::string("nil")) + " " +
                std::to_string(x) + "," + std::to_string(y));
    };
    yes->OnDragOver = [&](TObject*, TObject* src, int x, int y, TDragState st, bool& accept) {
        log.Add("over " + std::to_string(st) + " " + std::to_string(x) + "," + std::to_string(y));
        accept = src == source;
    };
    yes->OnDragDrop = [&](TObject*, TObject*, int x, int y) {
        log.Add("drop " + std::to_string(x) + "," + std::to_string(y));
    };
    no->OnDragOver = [&](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = false; };
    no->OnDragDrop = [&](TObject*, TObject*, int, int) { log.Add("dropped on no"); };
    auto cursor = [&] { return session.Driver().Find(GetDriverWindowId(form->Handle()))->cursor; };

    // Within the threshold a press and release is a click.
    MoveOver(source, 10, 10);
    session.Press();
    MoveOver(source, 14, 14);
    session.Release();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"click"}));
    log.lines.clear();

    // Past it the drag starts; the refusing control shows no-drop, the accepting one the drag cursor.
    session.Press();
    MoveOver(source, 20, 10);
    EXPECT_TRUE(source->Dragging());
    MoveOver(no, 5, 5);
    EXPECT_EQ(cursor(), CursorKindOf(crNoDrop));
    MoveOver(yes, 5, 6);
    EXPECT_EQ(cursor(), CursorKindOf(crHandPoint));
    MoveOver(yes, 7, 8);
    session.Release();
    EXPECT_FALSE(source->Dragging());
    // The release asks the target once more where the button went up.
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"start", "over 0 5,6", "over 2 7,8", "over 2 7,8", "drop 7,8", "end Yes 7,8"}));
    log.lines.clear();

    // Dropped on the refusing control: nothing dropped, the end has no target.
    MoveOver(source, 10, 10);
    session.Press();
    MoveOver(no, 30, 30);
    session.Release();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"start", "end nil 0,0"}));
    log.lines.clear();

    // Escape cancels over an accepting control: it hears the pointer leave.
    MoveOver(source, 10, 10);
    session.Press();
    MoveOver(yes, 10, 10);
    session.Key(VK_ESCAPE);
    EXPECT_FALSE(source->Dragging());
    session.Release();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"start", "over 0 10,10", "over 1 10,10", "end nil 0,0"}));
    EXPECT_NE(GetCapture(), form->Handle());
}
