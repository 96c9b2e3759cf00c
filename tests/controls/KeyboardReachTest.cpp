// What a user without a mouse reaches: Tab and Shift+Tab visit the windowed controls in tab order
// and wrap; Space and Enter press a focused image button. Pictures and links are drawn by their
// parent and never hold the focus: a keyboard reaches them only through the accessibility
// bridge's actions.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lumivane/controls/ImButton.h"
#include "lumivane/controls/ImImage.h"
#include "lumivane/controls/ImPanel.h"
#include "lumivane/controls/KdUpDownEdit.h"
#include "lumivane/controls/KdUrlLabel.h"
#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Form.h"

using namespace lumivane;

namespace {

// A shown form with, in tab order, button A, a validating edit, an up-down edit, a panel of
// images (no tab stop) and button B; a link and an image beside them.
struct ReachScene {
    HeadlessSession session;
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TImButton *a, *b;
    TValidateEdit* edit;
    TKdUpDownEdit* updown;
    TImImage* image;
    TKdUrlLabel* link;
    std::vector<std::string> clicks;

    template <class T>
    T* Add(const std::string& name, int top, TWinControl* parent = nullptr) {
        auto* c = new T(form.get());
        c->SetName(name);
        c->SetParent(parent ? parent : form.get());
        c->SetBounds(10, top, 100, 24);
        return c;
    }
    ReachScene() {
        form->SetBounds(50, 50, 300, 300);
        a = Add<TImButton>("A", 10);
        edit = Add<TValidateEdit>("Edit", 40);
        updown = Add<TKdUpDownEdit>("UpDown", 70);
        auto* panel = Add<TImPanel>("Panel", 100);
        image = Add<TImImage>("Image", 0, panel);
        b = Add<TImButton>("B", 140);
        link = Add<TKdUrlLabel>("Link", 170);
        for (TImButton* btn : {a, b}) {
            btn->SetTabStop(true);
            btn->OnClick = [this](TObject* s) { clicks.push_back(static_cast<TComponent*>(s)->Name()); };
        }
        form->Show();
        session.Pump();
    }
    // The exposed control that has the focus, by name.
    std::string Focused() {
        for (TControl* c : {static_cast<TControl*>(a), static_cast<TControl*>(b), static_cast<TControl*>(edit),
                            static_cast<TControl*>(updown)})
            if (AccessibleInfoOf(c).States.Contains(asFocused)) return c->Name();
        return "";
    }
};

}  // namespace

TEST(KeyboardReach, TabAndShiftTabVisitEveryFocusableControlAndWrap) {
    ReachScene s;
    s.a->SetFocus();
    s.session.Pump();
    std::vector<std::string> forward{s.Focused()}, backward;
    for (int i = 0; i < 4; ++i) {
        s.session.Key(VK_TAB);
        forward.push_back(s.Focused());
    }
    EXPECT_EQ(forward, (std::vector<std::string>{"A", "Edit", "UpDown", "B", "A"}));
    for (int i = 0; i < 4; ++i) {
        s.session.Key(VK_TAB, MK_SHIFT);
        backward.push_back(s.Focused());
    }
    EXPECT_EQ(backward, (std::vector<std::string>{"B", "UpDown", "Edit", "A"}));
}

TEST(KeyboardReach, SpaceAndEnterPressTheFocusedImageButton) {
    struct Case {
        const char* what;
        unsigned vk;
    };
    for (const Case& c : {Case{"space", VK_SPACE}, Case{"enter", VK_RETURN}}) {
        SCOPED_TRACE(c.what);
        ReachScene s;
        s.b->SetFocus();
        s.session.Pump();
        s.session.Key(c.vk);
        EXPECT_EQ(s.clicks, (std::vector<std::string>{"B"}));
    }
}

// The limit, written down: pictures and links take no focus, so neither Tab nor a key reaches
// them; their "click" action does.
TEST(KeyboardReach, PicturesAndLinksAreReachedOnlyThroughTheirAction) {
    ReachScene s;
    for (TControl* c : {static_cast<TControl*>(s.image), static_cast<TControl*>(s.link)}) {
        SCOPED_TRACE(c->Name());
        TAccessibleInfo info = AccessibleInfoOf(c);
        EXPECT_FALSE(info.States.Contains(asFocusable));
        ASSERT_EQ(info.Actions.size(), 1u);
        EXPECT_EQ(info.Actions[0].Name, "click");
    }
}
