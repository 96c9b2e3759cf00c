#include "lumivane/framework/Button.h"
#include "lumivane/framework/Edit.h"
#include "tests/framework/ControlsTestKit.h"

using namespace lumivane;

namespace {

// Records the focus marking the framework asks for.
class TRecButton : public TButton {
public:
    explicit TRecButton(TComponent* owner) : TButton(owner) {}
    std::vector<bool> styles;

protected:
    void SetButtonStyle(bool ADefault) override { styles.push_back(ADefault); }
};

// An owner-drawn button: its face arrives as a reflected draw request.
class TDrawnButton : public TButton {
public:
    explicit TDrawnButton(TComponent* owner) : TButton(owner) {}
    std::vector<UINT> states;
    UINT measuredW = 0, measuredH = 0;
    void Dispatch(TMessage& m) override {
        if (m.Msg == CN_DRAWITEM) {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
            states.push_back(dis->itemState);
            dis->hDC->FillRect(dis->rcItem, (dis->itemState & ODS_SELECTED) ? clRed : clGreen);
            m.Result = 1;
            return;
        }
        if (m.Msg == CN_MEASUREITEM) {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
            measuredW = mis->itemWidth;
            measuredH = mis->itemHeight;
            return;
        }
        TButton::Dispatch(m);
    }

protected:
    void CreateParams(TCreateParams& p) override {
        TButton::CreateParams(p);
        p.Style |= BS_OWNERDRAW;
    }
};

class ButtonTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        edit = new TEdit(root);
        edit->SetParent(root);
        ok = Add("OK", 10, true);
        other = Add("Other", 40, false);
        cancel = Add("Cancel", 70, false);
        cancel->SetCancel(true);
        for (TButton* b : {ok, other, cancel})
            b->OnClick = [this](TObject* s) { clicks.push_back(static_cast<TControl*>(s)->Name()); };
    }
    TRecButton* Add(const std::string& name, int top, bool isDefault) {
        auto* b = new TRecButton(root);
        b->SetName(name);
        b->SetParent(root);
        b->SetBounds(150, top, 75, 25);
        b->SetDefault(isDefault);
        return b;
    }
    TEdit* edit = nullptr;
    TRecButton *ok = nullptr, *other = nullptr, *cancel = nullptr;
    std::vector<std::string> clicks;
};

}  // namespace

TEST_F(ButtonTest, ConstructionDefaults) {
    TButton b(nullptr);
    EXPECT_EQ(b.Width(), 75);
    EXPECT_EQ(b.Height(), 25);
    EXPECT_TRUE(b.TabStop());
    EXPECT_FALSE(b.Default());
    HWND h = ok->Handle();
    char cls[16];
    GetClassNameA(h, cls, sizeof cls);
    EXPECT_STREQ(cls, "BUTTON");
}

// Enter clicks the default button while the focus is on something else than a button, the
// focused button when it is one; Escape clicks the Cancel button; the edit never sees them.
TEST_F(ButtonTest, EnterAndEscapeGoToTheActiveAndCancelButtons) {
    std::vector<int> chars;
    edit->OnKeyPress = [&](TObject*, char32_t& k) { chars.push_back(static_cast<int>(k)); };
    edit->SetFocus();
    session.Key(VK_RETURN);
    session.Key(VK_ESCAPE);
    EXPECT_EQ(clicks, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_TRUE(chars.empty());
    EXPECT_EQ(edit->Text(), "");

    clicks.clear();
    other->SetFocus();
    session.Key(VK_RETURN);
    session.Key(VK_SPACE);
    EXPECT_EQ(clicks, (std::vector<std::string>{"Other", "Other"}));

    // A modifier held, or the button disabled: Enter does nothing.
    clicks.clear();
    edit->SetFocus();
    session.Key(VK_RETURN, MK_CONTROL);
    ok->SetEnabled(false);
    session.Key(VK_RETURN);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ButtonTest, EscapeWithoutACancelButtonDoesNothing) {
    cancel->SetCancel(false);
    edit->SetFocus();
    session.Key(VK_ESCAPE);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ButtonTest, FocusMovesMarkTheActiveButton) {
    edit->SetFocus();
    ok->styles.clear();
    other->styles.clear();
    other->SetFocus();
    EXPECT_EQ(ok->styles, (std::vector<bool>{false}));
    EXPECT_EQ(other->styles, (std::vector<bool>{true}));
    EXPECT_TRUE(other->Active());
    EXPECT_FALSE(ok->Active());
    edit->SetFocus();
    EXPECT_EQ(ok->styles, (std::vector<bool>{false, true}));
    EXPECT_EQ(other->styles, (std::vector<bool>{true, false}));
    EXPECT_EQ(cancel->styles, (std::vector<bool>{false, false, false}));
}

TEST_F(ButtonTest, TabWalksTheTabStopsInTabOrderWithEnterAndExit) {
    std::vector<std::string> log;
    for (TWinControl* c : std::initializer_list<TWinControl*>{edit, ok, other, cancel}) {
        c->OnEnter = [&log, c](TObject*) { log.push_back("enter " + c->ClassName() + c->Name()); };
        c->OnExit = [&log, c](TObject*) { log.push_back("exit " + c->ClassName() + c->Name()); };
    }
    other->SetTabStop(false);
    cancel->SetTabOrder(0);
    cancel->SetFocus();
    session.Key(VK_TAB);
    session.Key(VK_TAB);
    session.Key(VK_TAB, MK_SHIFT);
    EXPECT_EQ(log, (std::vector<std::string>{"enter TButtonCancel", "exit TButtonCancel", "enter TEdit",
                                             "exit TEdit", "enter TButtonOK", "exit TButtonOK", "enter TEdit"}));
    EXPECT_TRUE(edit->Focused());
}

TEST_F(ControlsTest, OwnerDrawnButtonGetsReflectedDrawAndMeasureRequests) {
    auto* b = new TDrawnButton(root);
    b->SetParent(root);
    b->SetBounds(20, 20, 60, 30);
    session.Pump();
    EXPECT_EQ(b->measuredW, 75u);  // measured while being created, at its size then
    EXPECT_EQ(b->measuredH, 25u);
    ASSERT_FALSE(b->states.empty());
    EXPECT_EQ(Px(20, 20), clGreen);
    EXPECT_EQ(Px(79, 49), clGreen);
    EXPECT_EQ(Px(80, 50), clWhite);

    session.MoveTo(b->Handle(), 5, 5);
    session.Press();
    EXPECT_TRUE(b->states.back() & ODS_SELECTED);
    EXPECT_TRUE(b->states.back() & ODS_FOCUS);
    EXPECT_EQ(Px(30, 30), clRed);
    session.Release();
    EXPECT_FALSE(b->states.back() & ODS_SELECTED);
}
