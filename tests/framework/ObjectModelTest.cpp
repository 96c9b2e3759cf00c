#include <gtest/gtest.h>

#include "StreamTestClasses.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Component.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/Published.h"

using namespace lumivane;

namespace {

// Records which components its owner is told about.
class TWatcher : public TComponent {
    LUMI_CLASS(TWatcher, TComponent)
public:
    using TComponent::TComponent;
    std::vector<std::string> Heard;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        inherited::Notification(AComponent, Operation);
        if (Operation == opRemove) Heard.push_back(AComponent->Name());
    }
};

class TDispatcher : public TObject {
public:
    int Handled = 0, Defaulted = 0;
    void Dispatch(TMessage& Message) override {
        switch (Message.Msg) {
        case WM_PAINT:
            ++Handled;
            break;
        default:
            TObject::Dispatch(Message);
        }
    }
    void DefaultHandler(TMessage&) override { ++Defaulted; }
};

}  // namespace


LUMI_DEFINE_CLASS(TWatcher) {}

TEST(ObjectModel, ClassIdentityAndInheritance) {
    TTestForm form(nullptr);
    TTestStrictButton strict(&form);
    EXPECT_EQ(strict.ClassName(), "TTestStrictButton");
    EXPECT_TRUE(strict.InheritsFrom(TTestButton::StaticClass()));
    EXPECT_TRUE(strict.InheritsFrom("tcomponent"));
    EXPECT_TRUE(strict.InheritsFrom(TObject::StaticClass()));
    EXPECT_FALSE(strict.InheritsFrom(TTestPanel::StaticClass()));
    EXPECT_EQ(TTestStrictButton::StaticClass()->Parent(), TTestButton::StaticClass());
    // A republished property keeps its place with the new default; a hidden one is gone.
    auto& props = TTestStrictButton::StaticClass()->Properties();
    ASSERT_GE(props.size(), 3u);
    EXPECT_EQ(props[0]->Name, "Tag");
    EXPECT_EQ(props[2]->Name, "Spacing");
    EXPECT_EQ(*props[2]->OrdDefault, 2);
    EXPECT_EQ(TTestStrictButton::StaticClass()->FindProperty("Value"), nullptr);
    EXPECT_NE(TTestButton::StaticClass()->FindProperty("value"), nullptr);
}

TEST(ObjectModel, DispatchFallsBackToDefaultHandler) {
    TDispatcher d;
    TMessage paint{WM_PAINT, 0, 0, 0}, other{WM_SIZE, 0, 0, 0};
    d.Dispatch(paint);
    d.Dispatch(other);
    EXPECT_EQ(d.Handled, 1);
    EXPECT_EQ(d.Defaulted, 1);
}

TEST(ObjectModel, AssignWithoutSupportRaises) {
    TTestColors a, b;
    a.fSetColor(3, clRed);
    b.Assign(&a);
    EXPECT_EQ(b.fGetColor(3), clRed);
    TTestPicture pic;
    try {
        pic.Assign(&a);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TTestColors to a TTestPicture");
    }
}

TEST(ObjectModel, OwnershipNamesAndNotifications) {
    int before = LiveTestComponents();
    {
        TWatcher owner(nullptr);
        auto* a = new TTestButton(&owner);
        auto* b = new TTestPanel(&owner);
        auto* c = new TTestButton(&owner);
        a->SetName("Alpha");
        b->SetName("Beta");
        c->SetName("Gamma");
        EXPECT_EQ(owner.ComponentCount(), 3);
        EXPECT_EQ(c->ComponentIndex(), 2);
        EXPECT_EQ(owner.FindComponent("BETA"), b);
        EXPECT_EQ(owner.FindComponent("Delta"), nullptr);
        EXPECT_THROW(c->SetName("alpha"), Exception);  // names are unique ignoring case
        EXPECT_EQ(c->Name(), "Gamma");
        EXPECT_THROW(c->SetName("9lives"), Exception);
        EXPECT_THROW(c->SetName("has space"), Exception);
        c->SetName("");
        c->SetName("Gamma");
        delete b;
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_EQ(owner.Heard, std::vector<std::string>{"Beta"});
        EXPECT_EQ(LiveTestComponents(), before + 2);
        owner.Heard.clear();
        owner.DestroyComponents();
        // Freed last created first.
        EXPECT_EQ(owner.Heard, (std::vector<std::string>{"Gamma", "Alpha"}));
    }
    EXPECT_EQ(LiveTestComponents(), before);
}

TEST(ObjectModel, FormFieldFollowsItsComponent) {
    TTestFieldForm form(nullptr);
    auto* b = new TTestButton(&form);
    b->SetName("Button1");
    EXPECT_EQ(form.Button1, b);
    b->SetName("Other");
    EXPECT_EQ(form.Button1, nullptr);
    b->SetName("Button1");
    delete b;
    EXPECT_EQ(form.Button1, nullptr);
    auto* p = new TTestPanel(&form);
    p->SetName("Button1");  // a panel does not fit a button field
    EXPECT_EQ(form.Button1, nullptr);
}

TEST(ObjectModel, FreeNotificationAcrossOwners) {
    TWatcher w(nullptr);
    auto* other = new TTestButton(nullptr);
    other->SetName("Loner");
    w.FreeNotification(other);
    delete other;
    EXPECT_EQ(w.Heard, std::vector<std::string>{"Loner"});
}

TEST(ObjectModel, DesigningSpreadsToOwnedComponents) {
    TTestForm form(nullptr);
    auto* a = new TTestButton(&form);
    form.SetDesigning(true);
    auto* b = new TTestButton(&form);
    EXPECT_TRUE(a->ComponentState().Contains(csDesigning));
    EXPECT_TRUE(b->ComponentState().Contains(csDesigning));
}

TEST(ClassRegistry, FindCreateAndPalette) {
    RegisterTestClasses();
    EXPECT_EQ(GetClass("ttestpanel"), TTestPanel::StaticClass());
    EXPECT_EQ(GetClass("TNoSuch"), nullptr);
    try {
        FindClass("TNoSuch");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Class TNoSuch not found");
    }
    EXPECT_THROW(CreateComponent(TTestColors::StaticClass(), nullptr), Exception);
    TTestForm form(nullptr);
    TComponent* c = CreateComponent(TTestPanel::StaticClass(), &form);
    EXPECT_EQ(c->Owner(), &form);
    EXPECT_EQ(c->ClassType(), TTestPanel::StaticClass());
    bool found = false;
    for (auto& page : GetPalette())
        if (page.Name == "Test")
            found = page.Classes == std::vector<TClass>{TTestButton::StaticClass(), TTestPanel::StaticClass()};
    EXPECT_TRUE(found);
}

