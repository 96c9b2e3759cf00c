// The framework's own windows to a screen reader: a message box is an alert holding its text and
// buttons, a hint a tool tip, an open popup menu a popup menu of items; the accelerators as key
// bindings; and nothing made while nobody listens.
#include <memory>
#include <string>
#include <vector>

#include "FormsTestKit.h"
#include "lumivane/framework/AccessibleElement.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/MessageBox.h"
#include "lumivane/framework/PopupMenu.h"

namespace {

// What is heard of the elements: "shown Name", "hidden Name", "focus Name", and the count gone.
struct ElementRecorder : TAccessibleListener {
    std::vector<std::string> log;
    int gone = 0;
    void AccFocusChanged(TControl*) override {}
    void AccStateChanged(TControl*, TAccState, bool) override {}
    void AccTextChanged(TControl*) override {}
    void AccNameChanged(TControl*) override {}
    void AccChildrenChanged(TWinControl*) override {}
    void AccWindowActivated(TCustomForm*, bool) override {}
    void AccControlDestroyed(TControl*) override {}
    void AccWindowListChanged(TAccessibleElement* w, bool shown) override {
        log.push_back((shown ? "shown " : "hidden ") + AccessibleInfoOf(w).Name);
    }
    void AccElementFocused(TAccessibleElement* e) override { log.push_back("focus " + AccessibleInfoOf(e).Name); }
    void AccElementDestroyed(TAccessibleElement*) override { ++gone; }
};

// An element as "role name", its children after it indented.
struct Seen {
    TAccRole role;
    std::string name;
    bool operator==(const Seen&) const = default;
};

std::vector<TAccessibleElement*> ChildrenOf(TAccessibleElement* e) {
    std::vector<TAccessibleElement*> list;
    e->GetAccessibleChildren(list);
    return list;
}

std::vector<Seen> Describe(const std::vector<TAccessibleElement*>& list) {
    std::vector<Seen> out;
    for (auto* e : list) {
        const TAccessibleInfo info = AccessibleInfoOf(e);
        out.push_back({info.Role, info.Name});
    }
    return out;
}

class AccessibleWindowsTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        Application->OnMessageBox = nullptr;
    }
    void TearDown() override {
        MenuWindow::CloseAll();
        Application->HintWindow().ReleaseHandle();
        Application->SetAccessibleListener(nullptr);
        FormsTest::TearDown();
    }
    void Listen() { Application->SetAccessibleListener(&rec); }
    std::vector<TAccessibleElement*> Windows() { return Application->AccessibleWindows(); }
    ElementRecorder rec;
};

}  // namespace

TEST_F(AccessibleWindowsTest, EachKindOfWindowHasItsRole) {
    Listen();
    TForm* form = ShowForm();
    EXPECT_EQ(AccessibleInfoOf(form).Role, TAccRole::Frame);

    // A message box, seen from inside its loop, then answered through its Cancel button's action.
    std::vector<Seen> box, parts;
    TAccStates okStates, cancelStates;
    TRect boxRect, okRect;
    auto inspect = [&] {
        ASSERT_EQ(Windows().size(), 1u);
        TAccessibleElement* alert = Windows()[0];
        box = Describe({alert});
        boxRect = alert->AccessibleBounds();
        auto children = ChildrenOf(alert);
        parts = Describe(children);
        ASSERT_EQ(children.size(), 3u);
        okStates = AccessibleInfoOf(children[1]).States;
        cancelStates = AccessibleInfoOf(children[2]).States;
        okRect = children[1]->AccessibleBounds();
        EXPECT_EQ(children[1]->AccessibleParent(), alert);
        EXPECT_FALSE(children[0]->DoAccessibleAction(0)) << "the text does nothing";
        EXPECT_FALSE(children[2]->DoAccessibleAction(1)) << "a button has one action";
        EXPECT_TRUE(children[2]->DoAccessibleAction(0));
        PostMessageA(FindTop(MessageBoxClassName), WM_NULL, 0, 0);
    };
    Script({inspect});
    EXPECT_EQ(Application->MessageBox("Sure?", "Question", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(box, (std::vector<Seen>{{TAccRole::Alert, "Question"}}));
    EXPECT_EQ(parts, (std::vector<Seen>{
                         {TAccRole::Label, "Sure?"}, {TAccRole::PushButton, "OK"}, {TAccRole::PushButton, "Cancel"}}));
    EXPECT_TRUE(okStates.Contains(asFocused) && okStates.Contains(asDefault) && okStates.Contains(asFocusable));
    EXPECT_FALSE(cancelStates.Contains(asFocused) || cancelStates.Contains(asDefault));
    EXPECT_TRUE(boxRect.Contains(okRect.Left, okRect.Top) && boxRect.Contains(okRect.Right - 1, okRect.Bottom - 1))
        << "the button lies in the box";
    EXPECT_EQ(okRect.Width(), 75);
    EXPECT_TRUE(Windows().empty()) << "the box left the list";
    EXPECT_EQ(rec.log, (std::vector<std::string>{"shown Question", "focus OK", "hidden Question"}));
    EXPECT_EQ(rec.gone, 4) << "the box and its three parts";

    // A hint: a tool tip named by its text, for as long as it shows; a new text is a new tip.
    rec.log.clear();
    Application->HintWindow().ActivateHint({10, 20}, "Saves the file");
    ASSERT_EQ(Windows().size(), 1u);
    EXPECT_EQ(Describe(Windows()), (std::vector<Seen>{{TAccRole::ToolTip, "Saves the file"}}));
    const TRect tip = Windows()[0]->AccessibleBounds();
    const TSize size = THintWindow::CalcHintSize("Saves the file");
    EXPECT_EQ(tip, (TRect{10, 20, 10 + size.cx, 20 + size.cy}));
    Application->HintWindow().ActivateHint({10, 20}, "Opens a file");
    EXPECT_EQ(Describe(Windows()), (std::vector<Seen>{{TAccRole::ToolTip, "Opens a file"}}));
    Application->HintWindow().ReleaseHandle();
    EXPECT_TRUE(Windows().empty());
    EXPECT_EQ(rec.log, (std::vector<std::string>{"shown Saves the file", "hidden Saves the file", "shown Opens a file",
                                                 "hidden Opens a file"}));
}

// No listener: no element is made, the list stays empty, and a listener that comes later finds
// the windows that open after it.
TEST_F(AccessibleWindowsTest, NothingIsMadeWhileNobodyListens) {
    ShowForm();
    size_t during = 99;
    Script({[&] {
        during = Windows().size();
        PushKey(FindTop(MessageBoxClassName), VK_RETURN);
    }});
    EXPECT_EQ(Application->MessageBox("Note", "N", MB_OK), IDOK);
    EXPECT_EQ(during, 0u);
    Application->HintWindow().ActivateHint({0, 0}, "tip");
    auto* menu = new TPopupMenu(Application);
    auto* item = new TMenuItem(menu);
    item->SetCaption("One");
    menu->Items()->Add(item);
    menu->Popup(50, 50);
    EXPECT_TRUE(menu->IsOpen());
    EXPECT_TRUE(Windows().empty());
    MenuWindow::CloseAll();
    Listen();
    menu->Popup(50, 50);
    EXPECT_EQ(Describe(Windows()), (std::vector<Seen>{{TAccRole::PopupMenu, ""}}));
}

TEST_F(AccessibleWindowsTest, APopupMenuShowsItsItemsInOrder) {
    TForm* form = ShowForm();
    auto* menu = new TPopupMenu(form);
    menu->SetName("pmEdit");
    int copied = 0, greens = 0;
    auto add = [&](TMenuItem* parent, const char* name, const char* caption) {
        auto* i = new TMenuItem(form);
        i->SetName(name);
        i->SetCaption(caption);
        parent->Add(i);
        return i;
    };
    TMenuItem* copy = add(menu->Items(), "mnuCopy", "&Copy");
    copy->SetShortCut(scCtrl | 'C');
    copy->OnClick = [&](TObject*) { ++copied; };
    add(menu->Items(), "mnuLine", "-");
    TMenuItem* wrap = add(menu->Items(), "mnuWrap", "&Wrap && fit");
    wrap->SetAutoCheck(true);
    TMenuItem* colour = add(menu->Items(), "mnuColour", "C&olour");
    TMenuItem* red = add(colour, "mnuRed", "&Red");
    red->SetRadioItem(true);
    red->SetChecked(true);
    TMenuItem* green = add(colour, "mnuGreen", "&Green");
    green->SetRadioItem(true);
    green->SetAutoCheck(true);
    green->OnClick = [&](TObject*) { ++greens; };
    TMenuItem* off = add(menu->Items(), "mnuOff", "&Off");
    off->SetEnabled(false);
    add(menu->Items(), "mnuHidden", "Hidden")->SetVisible(false);

    Listen();
    menu->Popup(120, 130);
    ASSERT_EQ(Windows().size(), 1u);
    TAccessibleElement* pm = Windows()[0];
    EXPECT_EQ(Describe({pm}), (std::vector<Seen>{{TAccRole::PopupMenu, "pmEdit"}}));
    EXPECT_EQ(pm->AccessibleBounds().Left, 120);
    EXPECT_EQ(pm->AccessibleBounds().Top, 130);
    auto items = ChildrenOf(pm);
    ASSERT_EQ(items.size(), 5u) << "the hidden item is left out";

    struct Case {
        const char* what;
        TAccRole role;
        std::string name;
        std::string binding;  // of "click"; "-" for no action
        std::vector<TAccState> in, out;
    };
    const Case cases[] = {
        {"plain", TAccRole::MenuItem, "Copy", "<Control>c", {asEnabled, asShowing, asSelectable}, {asCheckable}},
        {"separator", TAccRole::Separator, "", "-", {asEnabled, asShowing}, {asSelectable}},
        {"auto check", TAccRole::CheckMenuItem, "Wrap & fit", "", {asCheckable}, {asChecked}},
        {"submenu", TAccRole::MenuItem, "Colour", "", {asEnabled}, {asCheckable}},
        {"disabled", TAccRole::MenuItem, "Off", "", {asShowing, asVisible}, {asEnabled}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const TAccessibleInfo info = AccessibleInfoOf(items[i]);
        EXPECT_EQ(info.Role, c.role) << c.what;
        EXPECT_EQ(info.Name, c.name) << c.what;
        if (std::string(c.binding) == "-") {
            EXPECT_TRUE(info.Actions.empty()) << c.what;
        } else {
            ASSERT_EQ(info.Actions.size(), 1u) << c.what;
            EXPECT_EQ(info.Actions[0].Name, "click") << c.what;
            EXPECT_EQ(info.Actions[0].KeyBinding, c.binding) << c.what;
        }
        for (TAccState s : c.in) EXPECT_TRUE(info.States.Contains(s)) << c.what << " state " << int(s);
        for (TAccState s : c.out) EXPECT_FALSE(info.States.Contains(s)) << c.what << " state " << int(s);
        EXPECT_EQ(items[i]->AccessibleParent(), pm) << c.what;
        static const char* const kNames[] = {"mnuCopy", "mnuLine", "mnuWrap", "mnuColour", "mnuOff"};
        const TRect row = MenuWindow::ItemRect(0, static_cast<TMenuItem*>(form->FindComponent(kNames[i])));
        POINT o{0, 0};
        ClientToScreen(MenuWindow::LevelWindow(0), &o);
        const TRect screen{row.Left + o.x, row.Top + o.y, row.Right + o.x, row.Bottom + o.y};
        EXPECT_EQ(items[i]->AccessibleBounds(), screen) << c.what;
    }

    // The submenu's items are there before it opens, not showing; its action opens it.
    auto subs = ChildrenOf(items[3]);
    EXPECT_EQ(Describe(subs),
              (std::vector<Seen>{{TAccRole::RadioMenuItem, "Red"}, {TAccRole::RadioMenuItem, "Green"}}));
    EXPECT_TRUE(AccessibleInfoOf(subs[0]).States.Contains(asChecked));
    EXPECT_FALSE(AccessibleInfoOf(subs[0]).States.Contains(asShowing));
    EXPECT_TRUE(subs[0]->AccessibleBounds().IsEmpty());
    EXPECT_EQ(subs[1]->AccessibleParent(), items[3]);
    EXPECT_FALSE(items[4]->DoAccessibleAction(0)) << "a disabled item does nothing";
    EXPECT_FALSE(items[1]->DoAccessibleAction(0)) << "nor does a separator";
    EXPECT_FALSE(items[0]->DoAccessibleAction(1)) << "an item has one action";
    EXPECT_TRUE(items[3]->DoAccessibleAction(0));
    EXPECT_EQ(MenuWindow::LevelCount(), 2);
    EXPECT_TRUE(AccessibleInfoOf(subs[1]).States.Contains(asShowing));
    EXPECT_TRUE(AccessibleInfoOf(items[3]).States.Contains(asSelected));
    EXPECT_EQ(rec.log, (std::vector<std::string>{"shown pmEdit", "focus Colour"}));

    // Choosing through the action closes the menu, then runs the item.
    EXPECT_TRUE(subs[1]->DoAccessibleAction(0));
    EXPECT_EQ(greens, 1);
    EXPECT_TRUE(green->Checked());
    EXPECT_FALSE(menu->IsOpen());
    EXPECT_TRUE(Windows().empty());
    EXPECT_EQ(rec.log.back(), "hidden pmEdit");
    const int made = rec.gone;
    EXPECT_EQ(made, 1 + 5 + 2) << "the menu and every item it handed out";

    // Keys select items: each selection is a focus a screen reader follows.
    menu->Popup(120, 130);
    rec.log.clear();
    session.Key(VK_DOWN);
    EXPECT_EQ(rec.log, (std::vector<std::string>{"focus Copy"}));
    ASSERT_EQ(Windows().size(), 1u);
    ChildrenOf(Windows()[0])[0]->DoAccessibleAction(0);
    EXPECT_EQ(copied, 1);

    // An item that goes while the menu is open takes its element along.
    menu->Popup(120, 130);
    ChildrenOf(ChildrenOf(Windows()[0])[3]);
    const int before = rec.gone;
    delete red;
    EXPECT_GE(rec.gone, before + 1);
}

TEST(AccessibleKeyBinding, ShortCutsInGtkForm) {
    const std::pair<uint16_t, const char*> cases[] = {
        {scNone, ""},
        {scCtrl | 'C', "<Control>c"},
        {scCtrl | 'A', "<Control>a"},
        {scCtrl | 'Z', "<Control>z"},
        {scShift | scCtrl | 'S', "<Shift><Control>s"},
        {scAlt | VK_F4, "<Alt>F4"},
        {VK_F1, "F1"},
        {VK_F12, "F12"},
        {scCtrl | '0', "<Control>0"},
        {'9', "9"},
        {VK_DELETE, "Delete"},
        {scShift | VK_INSERT, "<Shift>Insert"},
        {VK_RETURN, "Return"},
        {VK_SPACE, "space"},
        {VK_PRIOR, "Page_Up"},
        {VK_NEXT, "Page_Down"},
        {VK_BACK, "BackSpace"},
        {scCtrl | 0xBA, ""},  // a key without a name has no binding
        {scCtrl, ""},
    };
    for (auto [sc, text] : cases) EXPECT_EQ(ShortCutToKeyBinding(sc), text) << std::hex << sc;
}

TEST(AccessibleKeyBinding, CaptionsLoseTheirMarker) {
    const std::pair<const char*, const char*> cases[] = {
        {"&Open", "Open"}, {"Save &As", "Save As"}, {"R&&D", "R&D"}, {"&&&X", "&X"},
        {"End&", "End"},   {"&", ""},               {"", ""},       {"Plain", "Plain"},
    };
    for (auto [caption, name] : cases) EXPECT_EQ(StripAccelerator(caption), name) << caption;
}
