// What each control is to a screen reader: role, name, states, children, actions, text through
// the validating filter, the up-down value, and the changes a listener hears.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "lumivane/controls/ImButton.h"
#include "lumivane/controls/ImImage.h"
#include "lumivane/controls/ImPanel.h"
#include "lumivane/controls/KdBackImage.h"
#include "lumivane/controls/KdUpDownEdit.h"
#include "lumivane/controls/KdUrlLabel.h"
#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Button.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Image.h"
#include "lumivane/framework/Label.h"
#include "lumivane/framework/Panel.h"

using namespace lumivane;

namespace {

// Every change heard, as "focus Edit1", "checked A 1", "text Edit1", "name Btn", "children Form",
// "window 1", "gone X" (names read when heard).
struct Recorder : TAccessibleListener {
    std::vector<std::string> log;
    static std::string N(TControl* c) { return c->Name().empty() ? "?" : c->Name(); }
    void AccFocusChanged(TControl* c) override { log.push_back("focus " + N(c)); }
    void AccStateChanged(TControl* c, TAccState s, bool v) override {
        log.push_back((s == asChecked ? "checked " : "state ") + N(c) + (v ? " 1" : " 0"));
    }
    void AccTextChanged(TControl* c) override { log.push_back("text " + N(c)); }
    void AccNameChanged(TControl* c) override { log.push_back("name " + N(c)); }
    void AccChildrenChanged(TWinControl* p) override { log.push_back("children " + N(p)); }
    void AccWindowActivated(TCustomForm*, bool a) override { log.push_back(a ? "window 1" : "window 0"); }
    void AccControlDestroyed(TControl*) override { ++destroyed; }
    int destroyed = 0;
    // The entries that start with prefix.
    std::vector<std::string> Only(const std::string& prefix) const {
        std::vector<std::string> out;
        for (auto& e : log)
            if (e.rfind(prefix, 0) == 0) out.push_back(e);
        return out;
    }
};

// A shown 400 x 300 form named "Form" captioned "Window".
struct Scene {
    HeadlessSession session;
    std::unique_ptr<TForm> form;
    Recorder rec;
    Scene() : form(std::make_unique<TForm>(nullptr)) {
        form->SetName("Form");
        form->SetCaption("Window");
        form->SetBounds(50, 50, 400, 300);
    }
    ~Scene() { Application->SetAccessibleListener(nullptr); }
    template <class T>
    T* Add(const std::string& name, TWinControl* parent = nullptr) {
        auto* c = new T(form.get());
        c->SetName(name);
        c->SetParent(parent ? parent : form.get());
        return c;
    }
    void Show() {
        form->Show();
        session.Pump();
    }
    // A button Tab stops at, and an image panel that keeps the clicked image selected.
    TImButton* TabButton(const std::string& name) {
        auto* b = Add<TImButton>(name);
        b->SetTabStop(true);
        return b;
    }
    TImPanel* KeepPanel(const std::string& name) {
        auto* p = Add<TImPanel>(name);
        p->SetKeepSelStatus(true);
        return p;
    }
    void Listen() { Application->SetAccessibleListener(&rec); }
};

std::vector<std::string> Names(const std::vector<TControl*>& list) {
    std::vector<std::string> out;
    for (auto* c : list) out.push_back(c->Name());
    return out;
}

std::vector<std::string> ChildNames(TControl* c) {
    std::vector<TControl*> list;
    c->GetAccessibleChildren(list);
    return Names(list);
}

}  // namespace

// One control of each class, named after it, on a shown form: its role and actions.
TEST(Accessible, EachClassHasItsRole) {
    struct Case {
        const char* what;
        std::function<TControl*(Scene&)> make;
        TAccRole role;
        std::vector<std::string> actions;
    };
    const std::vector<Case> cases = {
        {"form", [](Scene& s) { return s.form.get(); }, TAccRole::Frame, {}},
        {"button", [](Scene& s) { return s.Add<TButton>("B"); }, TAccRole::PushButton, {"click"}},
        {"image button", [](Scene& s) { return s.Add<TImButton>("B"); }, TAccRole::PushButton, {"click"}},
        {"image alone", [](Scene& s) { return s.Add<TImImage>("I"); }, TAccRole::ToggleButton, {"click"}},
        {"image in a panel", [](Scene& s) { return s.Add<TImImage>("I", s.Add<TImPanel>("P")); },
         TAccRole::RadioButton, {"click"}},
        {"inert image",
         [](Scene& s) {
             auto* i = s.Add<TImImage>("I", s.Add<TImPanel>("P"));
             i->SetIsBkgnd(true);
             return i;
         },
         TAccRole::None, {}},
        {"image panel", [](Scene& s) { return s.Add<TImPanel>("P"); }, TAccRole::Panel, {}},
        {"panel", [](Scene& s) { return s.Add<TPanel>("P"); }, TAccRole::Panel, {}},
        {"label", [](Scene& s) { return s.Add<TLabel>("L"); }, TAccRole::Label, {}},
        {"link", [](Scene& s) { return s.Add<TKdUrlLabel>("L"); }, TAccRole::Link, {"click"}},
        {"validating edit", [](Scene& s) { return s.Add<TValidateEdit>("E"); }, TAccRole::Entry, {}},
        {"its inner edit", [](Scene& s) { return s.Add<TValidateEdit>("E")->InnerEdit(); }, TAccRole::None, {}},
        {"edit", [](Scene& s) { return s.Add<TEdit>("E"); }, TAccRole::Entry, {}},
        {"up-down edit", [](Scene& s) { return s.Add<TKdUpDownEdit>("U"); }, TAccRole::SpinButton, {}},
        {"background image", [](Scene& s) { return s.Add<TKdBackImage>("K"); }, TAccRole::None, {}},
        {"image", [](Scene& s) { return s.Add<TImage>("I"); }, TAccRole::Image, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scene s;
        TControl* control = c.make(s);
        s.Show();
        TAccessibleInfo info = AccessibleInfoOf(control);
        EXPECT_EQ(info.Role, c.role);
        std::vector<std::string> actions;
        for (auto& a : info.Actions) actions.push_back(a.Name);
        EXPECT_EQ(actions, c.actions);
        const bool text = c.role == TAccRole::Entry || c.role == TAccRole::SpinButton || c.role == TAccRole::Label ||
                          c.role == TAccRole::Link;
        EXPECT_EQ(info.HasText, text);
        EXPECT_EQ(info.HasValue, c.role == TAccRole::SpinButton);
    }
}

// Buttons: the caption, else Hint, else the component's name; Hint describes unless it names.
// Images and entries never take their name from a caption or text.
TEST(Accessible, NameRules) {
    struct Case {
        const char* what;
        std::function<TControl*(Scene&)> make;
        const char *caption, *hint;
        const char *name, *description;
    };
    auto button = [](Scene& s) { return s.Add<TImButton>("btnClose"); };
    auto image = [](Scene& s) { return s.Add<TImImage>("ImImage1"); };
    auto edit = [](Scene& s) { return s.Add<TValidateEdit>("Edit1"); };
    auto picture = [](Scene& s) { return s.Add<TImage>("Image1"); };
    const std::vector<Case> cases = {
        {"caption", button, "Close", "", "Close", ""},
        {"caption and hint", button, "Close", "Closes the window", "Close", "Closes the window"},
        {"hint only", button, "", "Closes the window", "Closes the window", ""},
        {"neither", button, "", "", "btnClose", ""},
        {"image with hint", image, "", "Heart", "Heart", ""},
        {"image without", image, "", "", "ImImage1", ""},
        {"entry text is not its name", edit, "123", "", "Edit1", ""},
        {"entry with hint", edit, "123", "Amount", "Amount", ""},
        {"picture described by its hint", picture, "", "A heart", "Image1", "A heart"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scene s;
        TControl* control = c.make(s);
        control->SetHint(c.hint);
        control->SetText(c.caption);
        TAccessibleInfo info = AccessibleInfoOf(control);
        EXPECT_EQ(info.Name, c.name);
        EXPECT_EQ(info.Description, c.description);
    }
    Scene s;
    EXPECT_EQ(AccessibleInfoOf(s.form.get()).Name, "Window");
}

TEST(Accessible, StatesFollowTheControls) {
    Scene s;
    auto* button = s.TabButton("B");
    auto* edit = s.Add<TValidateEdit>("E");
    auto* hidden = s.Add<TButton>("H");
    hidden->SetVisible(false);
    auto* panel = s.KeepPanel("P");
    auto* image = s.Add<TImImage>("I", panel);
    auto states = [](TControl* c) { return AccessibleInfoOf(c).States; };

    // Before the form is shown nothing shows.
    EXPECT_TRUE(states(button).Contains(asVisible));
    EXPECT_FALSE(states(button).Contains(asShowing));
    s.Show();
    EXPECT_TRUE(states(button) == TAccStates({asEnabled, asVisible, asShowing, asFocusable}) ||
                states(button) == TAccStates({asEnabled, asVisible, asShowing, asFocusable, asFocused}));
    EXPECT_TRUE(states(hidden) == TAccStates({asEnabled}));
    EXPECT_TRUE(states(edit).Contains(asEditable));
    EXPECT_TRUE(states(edit).Contains(asFocusable));
    EXPECT_TRUE(states(edit).Contains(asSingleLine));
    EXPECT_TRUE(states(image) == TAccStates({asEnabled, asVisible, asShowing, asCheckable}));

    edit->InnerEdit()->SetFocus();
    s.session.Pump();
    EXPECT_TRUE(states(edit).Contains(asFocused));
    EXPECT_FALSE(states(button).Contains(asFocused));
    button->SetFocus();
    s.session.Pump();
    EXPECT_TRUE(states(button).Contains(asFocused));
    EXPECT_FALSE(states(edit).Contains(asFocused));

    // One change after another, each with the state it turns on or off.
    struct Step {
        const char* what;
        std::function<void()> change;
        TControl* control;
        TAccState state;
        bool expected;
    };
    const std::vector<Step> steps = {
        {"read-only", [&] { edit->SetReadOnly(true); }, edit, asEditable, false},
        {"disabled", [&] { button->SetEnabled(false); }, button, asEnabled, false},
        {"disabled is not focusable", [] {}, button, asFocusable, false},
        {"default", [&] { button->SetDefault(true); }, button, asDefault, true},
        {"selected", [&] { image->fSetImStatus(imsSelected); }, image, asChecked, true},
        {"hot", [&] { image->fSetImStatus(imsHot); }, image, asChecked, false},
        // A hidden parent hides the showing of its children, not their own visibility.
        {"parent hidden", [&] { panel->SetVisible(false); }, image, asVisible, true},
        {"parent hidden shows nothing", [] {}, image, asShowing, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        EXPECT_EQ(states(step.control).Contains(step.state), step.expected);
    }

    s.session.Activate(s.form->Handle());
    EXPECT_TRUE(states(s.form.get()).Contains(asActive));
    s.session.Deactivate(s.form->Handle());
    EXPECT_FALSE(states(s.form.get()).Contains(asActive));
}

// Graphic children first in their list order, then the windowed ones in tab order; unexposed
// controls are left out, the parts of an edit too.
TEST(Accessible, ChildrenInReadingOrder) {
    Scene s;
    s.Add<TKdBackImage>("Back");
    auto* close = s.Add<TImButton>("Close");
    auto* edit = s.Add<TValidateEdit>("Edit");
    s.Add<TLabel>("Label");
    auto* panel = s.Add<TImPanel>("Panel");
    s.Add<TImImage>("Img", panel);
    s.Add<TImImage>("Inert", panel)->SetIsBkgnd(true);
    s.Add<TKdUrlLabel>("Link");
    auto* updown = s.Add<TKdUpDownEdit>("UpDown");
    s.Show();
    EXPECT_EQ(ChildNames(s.form.get()), (std::vector<std::string>{"Label", "Link", "Close", "Edit", "Panel", "UpDown"}));
    close->SetTabOrder(2);
    EXPECT_EQ(ChildNames(s.form.get()), (std::vector<std::string>{"Label", "Link", "Edit", "Panel", "Close", "UpDown"}));
    EXPECT_EQ(ChildNames(panel), (std::vector<std::string>{"Img"}));
    EXPECT_TRUE(ChildNames(edit).empty());
    EXPECT_TRUE(ChildNames(updown).empty());
}

TEST(Accessible, LabelNamesItsFocusControl) {
    Scene s;
    auto* edit = s.Add<TEdit>("E");
    auto* label = s.Add<TLabel>("L");
    EXPECT_EQ(AccessibleInfoOf(label).LabelFor, nullptr);
    label->SetFocusControl(edit);
    EXPECT_EQ(AccessibleInfoOf(label).LabelFor, edit);
}

TEST(Accessible, ActionsClickWhenEnabled) {
    Scene s;
    auto* button = s.Add<TImButton>("B");
    auto* link = s.Add<TKdUrlLabel>("L");
    link->SetURLString("https://example.org/a");
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    s.Show();
    EXPECT_TRUE(button->DoAccessibleAction(0));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(button->DoAccessibleAction(1));
    EXPECT_FALSE(button->DoAccessibleAction(-1));
    button->SetEnabled(false);
    EXPECT_FALSE(button->DoAccessibleAction(0));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(link->DoAccessibleAction(0));
    EXPECT_EQ(s.session.OpenedAddresses(), (std::vector<std::string>{"https://example.org/a"}));
    // A panel has no action.
    EXPECT_FALSE(s.Add<TPanel>("P")->DoAccessibleAction(0));
}

// Text inserted through the entry goes through its filter: refused characters are left out.
TEST(Accessible, EditableTextGoesThroughTheFilter) {
    struct Case {
        const char* what;
        TValidateType type;
        const char* before;
        int offset;
        const char* insert;
        const char* after;
    };
    const std::vector<Case> cases = {
        {"letters refused", vtInteger, "", 0, "12ab3", "123"},
        {"minus only in front", vtInteger, "12", 2, "-4", "124"},
        {"minus at the start", vtInteger, "12", 0, "-", "-12"},
        {"in the middle", vtIntegerPs, "19", 1, "x5", "159"},
        {"past the end goes to the end", vtIntegerPs, "1", 99, "2", "12"},
        {"hex made upper case", vtHexUp, "", 0, "a1g", "A1"},
        {"control characters dropped", vtNone, "ab", 2, "\b\tc\r", "abc"},
        {"anything without a kind", vtNone, "", 0, "héllo", "héllo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scene s;
        auto* edit = s.Add<TValidateEdit>("E");
        s.Show();
        edit->SetValidateType(c.type);
        edit->SetText(c.before);
        EXPECT_TRUE(edit->InsertAccessibleText(c.offset, c.insert));
        EXPECT_EQ(edit->AccessibleText(), c.after);
    }
}

TEST(Accessible, DeleteTextAndCaret) {
    Scene s;
    auto* edit = s.Add<TValidateEdit>("E");
    s.Show();
    edit->SetText("héllo");
    EXPECT_TRUE(edit->DeleteAccessibleText(1, 3));
    EXPECT_EQ(edit->AccessibleText(), "hlo");
    EXPECT_EQ(edit->AccessibleCaret(), 1);
    EXPECT_TRUE(edit->DeleteAccessibleText(2, -1));  // -1: to the end
    EXPECT_EQ(edit->AccessibleText(), "hl");
    EXPECT_TRUE(edit->DeleteAccessibleText(5, 9));  // beyond: nothing
    EXPECT_EQ(edit->AccessibleText(), "hl");
    EXPECT_TRUE(edit->SetAccessibleCaret(1));
    EXPECT_EQ(edit->AccessibleCaret(), 1);
    edit->SetReadOnly(true);
    EXPECT_FALSE(edit->InsertAccessibleText(0, "x"));
    EXPECT_FALSE(edit->DeleteAccessibleText(0, 1));
    edit->SetReadOnly(false);
    edit->SetEnabled(false);
    EXPECT_FALSE(edit->InsertAccessibleText(0, "x"));
    EXPECT_EQ(edit->AccessibleText(), "hl");
}

TEST(Accessible, UpDownValue) {
    constexpr double kMin = -9223372036854775808.0, kMax = 9223372036854775807.0;
    struct Case {
        const char* what;
        int64_t min, max;
        double set;
        bool accepted;
        const char* text;
    };
    const std::vector<Case> cases = {
        {"inside", 0, 100, 42, true, "42"},
        {"rounded", 0, 100, 42.5, true, "43"},
        {"rounded down", 0, 100, 41.4, true, "41"},
        {"at the top", 0, 100, 100, true, "100"},
        {"above: clamped", 0, 100, 101, true, "100"},
        {"below: clamped", 10, 100, -5, true, "10"},
        {"no limits, huge", 0, 0, 1e30, true, "9223372036854775807"},
        {"no limits, very negative", 0, 0, -1e30, true, "-9223372036854775808"},
        {"no limits, 2^63 itself", 0, 0, kMax, true, "9223372036854775807"},
        {"no limits, -2^63 exactly", 0, 0, kMin, true, "-9223372036854775808"},
        {"not a number", 0, 100, std::nan(""), false, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scene s;
        auto* updown = s.Add<TKdUpDownEdit>("U");
        s.Show();
        updown->SetMinValue(c.min);
        updown->SetMaxValue(c.max);
        updown->SetText("0");
        EXPECT_EQ(updown->SetAccessibleValue(c.set), c.accepted);
        EXPECT_EQ(updown->AccessibleText(), c.text);
        TAccessibleInfo info = AccessibleInfoOf(updown);
        const bool limited = c.min != 0 || c.max != 0;
        EXPECT_EQ(info.Minimum, limited ? static_cast<double>(c.min) : kMin);
        EXPECT_EQ(info.Maximum, limited ? static_cast<double>(c.max) : kMax);
        EXPECT_EQ(info.Increment, 1);
    }
    Scene s;
    auto* updown = s.Add<TKdUpDownEdit>("U");
    updown->SetText("123");
    EXPECT_EQ(AccessibleInfoOf(updown).Current, 123);
    updown->SetEnabled(false);
    EXPECT_FALSE(updown->SetAccessibleValue(5));
}

// Focus, text, checked, name, children and activation reach the listener, reported for the
// exposed control (the validating edit, not its inner edit).
TEST(Accessible, ListenerHearsChanges) {
    Scene s;
    auto* button = s.TabButton("Btn");
    auto* edit = s.Add<TValidateEdit>("Edit1");
    auto* panel = s.KeepPanel("Panel");
    auto* a = s.Add<TImImage>("A", panel);
    auto* b = s.Add<TImImage>("B", panel);
    a->SetBounds(0, 0, 10, 10);
    b->SetBounds(20, 0, 10, 10);
    s.Show();
    s.Listen();

    edit->InnerEdit()->SetFocus();
    s.session.Pump();
    button->SetFocus();
    s.session.Pump();
    EXPECT_EQ(s.rec.Only("focus"), (std::vector<std::string>{"focus Edit1", "focus Btn"}));

    edit->InnerEdit()->SetFocus();
    s.session.Type("12");
    EXPECT_EQ(s.rec.Only("text"), (std::vector<std::string>{"text Edit1", "text Edit1"}));

    a->Click();
    b->Click();
    b->Click();  // the panel clears every selection first, then selects it again
    EXPECT_EQ(s.rec.Only("checked"),
              (std::vector<std::string>{"checked A 1", "checked A 0", "checked B 1", "checked B 0", "checked B 1"}));

    button->SetCaption("Close");
    EXPECT_EQ(s.rec.Only("name"), (std::vector<std::string>{"name Btn"}));

    s.rec.log.clear();
    auto* late = s.Add<TLabel>("Late");
    delete late;
    EXPECT_EQ(s.rec.log, (std::vector<std::string>{"children Form", "children Form"}));
    EXPECT_EQ(s.rec.destroyed, 1);

    s.rec.log.clear();
    s.session.Deactivate(s.form->Handle());
    s.session.Activate(s.form->Handle());
    EXPECT_EQ(s.rec.Only("window"), (std::vector<std::string>{"window 0", "window 1"}));
}

// Without a listener nothing is asked of any control: the notifications cost a pointer test.
TEST(Accessible, NoListenerNoCalls) {
    Scene s;
    ASSERT_EQ(Application->AccessibleListener(), nullptr);
    auto* edit = s.Add<TValidateEdit>("E");
    s.Show();
    edit->InnerEdit()->SetFocus();
    s.session.Type("1");
    EXPECT_TRUE(s.rec.log.empty());
    EXPECT_EQ(AccessibleOwner(edit->InnerEdit()), edit);
    EXPECT_EQ(AccessibleOwner(nullptr), nullptr);
}
