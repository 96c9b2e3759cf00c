#include "tests/framework/FormsTestKit.h"
#include "lumivane/base/Exception.h"

#include "lumivane/framework/Image.h"
#include "lumivane/framework/MessageBox.h"
#include "lumivane/framework/Button.h"

using namespace lumivane;

namespace {

// A form that records the enter/leave notifications its children pass up to it.
class TRecordingForm : public TForm {
public:
    explicit TRecordingForm(TComponent* owner, std::vector<std::string>* log) : TForm(owner), FLog(log) {}
    void Dispatch(TMessage& m) override {
        if ((m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) && m.LParam) {
            auto* c = reinterpret_cast<TControl*>(m.LParam);
            FLog->push_back(std::string(m.Msg == CM_MOUSEENTER ? "form hears enter " : "form hears leave ") + c->Name());
        }
        TForm::Dispatch(m);
    }

private:
    std::vector<std::string>* FLog;
};

TLabel* AddLabel(TWinControl* parent, const char* name, int x, int y) {
    auto* l = new TLabel(parent->Owner() ? parent->Owner() : parent);
    l->SetName(name);
    l->SetParent(parent);
    l->SetAutoSize(false);
    l->SetBounds(x, y, 40, 20);
    return l;
}

} // namespace

TEST_F(FormsTest, PointerMovesSendLeaveBeforeEnterAndTellTheParent) {
    std::vector<std::string> log;
    auto* form = new TRecordingForm(Application, &log);
    form->SetBounds(100, 100, 308, 227);
    auto* a = AddLabel(form, "A", 10, 10);
    auto* b = AddLabel(form, "B", 60, 10);
    for (TLabel* l : {a, b}) {
        l->OnMouseEnter = [&log](TObject* s) { log.push_back("enter " + static_cast<TLabel*>(s)->Name()); };
        l->OnMouseLeave = [&log](TObject* s) { log.push_back("leave " + static_cast<TLabel*>(s)->Name()); };
    }
    form->Show();
    session.Pump();

    MoveOver(form, 15, 15);
    MoveOver(form, 20, 15);  // still on A: nothing new
    MoveOver(form, 65, 15);
    session.Move(5, 5);      // outside every window of ours
    EXPECT_EQ(log, (std::vector<std::string>{"enter A", "form hears enter A", "leave A", "form hears leave A",
                                             "enter B", "form hears enter B", "leave B", "form hears leave B"}));
    EXPECT_EQ(Application->MouseControl(), nullptr);
}

TEST_F(FormsTest, ALabelFreedUnderThePointerIsNotToldItWasLeft) {
    TForm* form = ShowForm();
    auto* a = AddLabel(form, "A", 10, 10);
    auto* b = AddLabel(form, "B", 60, 10);
    int leaves = 0;
    b->OnMouseEnter = [&](TObject*) {};
    a->OnMouseLeave = [&](TObject*) { ++leaves; };
    MoveOver(form, 15, 15);
    EXPECT_EQ(Application->MouseControl(), a);
    delete a;
    MoveOver(form, 65, 15);
    EXPECT_EQ(leaves, 0);
    EXPECT_EQ(Application->MouseControl(), b);
}

TEST_F(FormsTest, AHintAppearsAfterRestingAndGoesOnLeaving) {
    TForm* form = ShowForm();
    auto* a = AddLabel(form, "A", 10, 10);
    a->SetHint("Draventa");
    a->SetShowHint(true);
    AddLabel(form, "B", 60, 10);

    MoveOver(form, 15, 15);
    session.Wait(499);
    EXPECT_EQ(FindTop(HintWindowClassName), nullptr) << "too early";
    session.Wait(1);
    HWND hint = FindTop(HintWindowClassName);
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(IsWindowVisible(hint));
    EXPECT_EQ(GetWindowTextString(hint), "Draventa");
    // Below the pointer, framed in black, on the info colour.
    RECT r;
    GetWindowRect(hint, &r);
    TPoint p = At(form, 15, 15);
    EXPECT_EQ(r.Left, p.x);
    EXPECT_GT(r.Top, p.y);
    EXPECT_EQ(session.Pixel(hint, 0, 0), clBlack);
    EXPECT_EQ(session.Pixel(hint, r.Width() - 1, r.Height() - 1), clBlack);
    EXPECT_EQ(session.Pixel(hint, 1, 1), ColorToRGB(clInfoBk));

    MoveOver(form, 65, 15);  // onto B, which has no hint
    EXPECT_EQ(FindTop(HintWindowClassName), nullptr);
    session.Wait(1000);
    EXPECT_EQ(FindTop(HintWindowClassName), nullptr);
}

TEST_F(FormsTest, AHintHidesAfterItsPauseAndOnAPressAndComesBackOnlyAfterLeaving) {
    TForm* form = ShowForm();
    auto* a = AddLabel(form, "A", 10, 10);
    a->SetHint("Download");
    a->SetShowHint(true);
    MoveOver(form, 15, 15);
    session.Wait(500);
    ASSERT_NE(FindTop(HintWindowClassName), nullptr);
    session.Wait(2499);
    EXPECT_NE(FindTop(HintWindowClassName), nullptr);
    session.Wait(1);
    EXPECT_EQ(FindTop(HintWindowClassName), nullptr);
    session.Wait(3000);
    EXPECT_EQ(FindTop(HintWindowClassName), nullptr) << "resting on goes on without the hint";

    session.Move(5, 5);
    MoveOver(form, 15, 15);
    session.Wait(500);
    ASSERT_NE(FindTop(HintWindowClassName), nullptr);
    session.Press();
    EXPECT_EQ(FindTop(HintWindowClassName), nullptr);
    session.Release();
    session.Wait(1000);
    EXPECT_EQ(FindTop(HintWindowClassName), nullptr);
}

TEST_F(FormsTest, HintsNeedShowHintOnTheControlAndTheApplication) {
    TForm* form = ShowForm();
    auto* a = AddLabel(form, "A", 10, 10);
    a->SetHint("quiet");  // ShowHint false
    MoveOver(form, 15, 15);
    session.Wait(600);
    EXPECT_EQ(FindTop(HintWindowClassName), nullptr);

    a->SetShowHint(true);
    Application->SetShowHint(false);
    session.Move(5, 5);
    MoveOver(form, 15, 15);
    session.Wait(600);
    EXPECT_EQ(FindTop(HintWindowClassName), nullptr);
    Application->SetShowHint(true);
}

TEST_F(FormsTest, AnExceptionFromAHandlerIsShownAndTheLoopGoesOn) {
    TForm* form = nullptr;
    Application->CreateForm(form);
    form->SetBounds(100, 100, 308, 227);
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 75, 25);
    int clicks = 0;
    button->OnClick = [&](TObject*) {
        ++clicks;
        throw Exception("boom " + std::to_string(clicks));
    };
    HWND top = form->Handle();
    Script({[&] { PushClick(top, 20, 20); }, [&] { PushClick(top, 20, 20); }, [&] { PushClose(top); }});
    Application->Run();

    EXPECT_EQ(clicks, 2);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "boom 1");
    EXPECT_EQ(boxes[1].text, "boom 2");
    EXPECT_EQ(boxes[0].caption, "Test Title");
    EXPECT_EQ(boxes[0].flags, unsigned(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(form->Visible());
}

TEST_F(FormsTest, ClosingTheMainFormEndsRunButClosingAnotherOnlyHidesIt) {
    TForm* main = nullptr;
    Application->CreateForm(main);
    ASSERT_EQ(Application->MainForm(), main);
    TForm* other = nullptr;
    Application->CreateForm(other);
    EXPECT_EQ(Application->MainForm(), main);
    std::vector<std::string> log;
    main->OnClose = [&](TObject*, TCloseAction& a) { log.push_back("main close " + std::to_string(a)); };
    other->OnClose = [&](TObject*, TCloseAction&) { log.push_back("other close"); };
    other->Show();
    HWND mainTop = main->Handle(), otherTop = other->Handle();
    Script({[&] { PushClose(otherTop); }, [&] { log.push_back(other->Visible() ? "other shown" : "other hidden"); },
            [&] { PushClose(mainTop); }});
    Application->Run();
    EXPECT_EQ(log, (std::vector<std::string>{"other close", "other hidden", "main close 1"}));
}

// A request to end the process (a termination signal the program asked to hear) closes the main
// window as its close box does: OnCloseQuery may keep it, and the next request asks again.
TEST_F(FormsTest, ATerminateRequestClosesTheMainFormThroughOnCloseQuery) {
    TForm* main = nullptr;
    Application->CreateForm(main);
    TForm* other = nullptr;
    Application->CreateForm(other);
    other->Show();
    std::vector<std::string> log;
    int asked = 0;
    main->OnCloseQuery = [&](TObject*, bool& can) { can = ++asked > 1; log.push_back("main asked " + std::to_string(asked)); };
    other->OnCloseQuery = [&](TObject*, bool&) { log.push_back("other asked"); };
    auto request = [&] { session.Driver().RequestTerminate(); };
    Script({request, [&] { log.push_back(main->Visible() ? "main shown" : "main hidden"); }, request});
    Application->Run();
    EXPECT_EQ(log, (std::vector<std::string>{"main asked 1", "main shown", "main asked 2"}));
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(main->Visible());
}

TEST_F(FormsTest, OnCloseCanRefuseAndOnCloseQueryCanStopIt) {
    TForm* form = ShowForm();
    bool allow = false;
    form->OnCloseQuery = [&](TObject*, bool& can) { can = allow; };
    form->Close();
    EXPECT_TRUE(form->Visible());
    allow = true;
    form->OnClose = [](TObject*, TCloseAction& a) { a = caNone; };
    form->Close();
    EXPECT_TRUE(form->Visible());
    form->OnClose.Clear();
    form->Close();
    EXPECT_FALSE(form->Visible());
}

TEST_F(FormsTest, MessageBoxIsModalAnsweredByKeysAndCaptioned) {
    Application->OnMessageBox = nullptr;
    TForm* form = ShowForm();
    HWND owner = form->Handle();
    HWND seen = nullptr;
    bool ownerEnabled = true;
    std::string title;
    auto inspect = [&] {
        seen = FindTop(MessageBoxClassName);
        title = GetWindowTextString(seen);
        ownerEnabled = IsWindowEnabled(owner);
    };
    Script({inspect, [&] { PushKey(seen, VK_RETURN); }});
    EXPECT_EQ(Application->MessageBox("Sure?", "Question", MB_OKCANCEL | MB_ICONQUESTION), IDOK);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(title, "Question");
    EXPECT_FALSE(ownerEnabled);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_TRUE(IsWindowEnabled(owner));

    Script({inspect, [&] { PushKey(seen, VK_ESCAPE); }});
    EXPECT_EQ(Application->MessageBox("Sure?", "Q", MB_OKCANCEL), IDCANCEL);

    // Yes/No has no answer for Escape; Tab moves to No.
    Script({inspect, [&] { PushKey(seen, VK_ESCAPE); }, [&] { PushKey(seen, VK_TAB); },
            [&] { PushKey(seen, VK_RETURN); }});
    EXPECT_EQ(Application->MessageBox("Sure?", "Q", MB_YESNO), IDNO);

    Script({inspect, [&] { PushClose(seen); }});
    EXPECT_EQ(Application->MessageBox("Note", "Q", MB_OK | MB_ICONEXCLAMATION), IDOK);
}

TEST_F(FormsTest, MessageBoxButtonsFollowTheFlags) {
    auto ids = [](unsigned flags) {
        std::vector<int> r;
        for (auto b : MessageBoxButtons(flags)) r.push_back(b.Id);
        return r;
    };
    EXPECT_EQ(ids(MB_OK | MB_ICONEXCLAMATION), (std::vector<int>{IDOK}));
    EXPECT_EQ(ids(MB_YESNOCANCEL), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(ids(MB_ABORTRETRYIGNORE), (std::vector<int>{IDABORT, IDRETRY, IDIGNORE}));
    EXPECT_EQ(MessageBoxEscapeAnswer(MB_OK), IDOK);
    EXPECT_EQ(MessageBoxEscapeAnswer(MB_RETRYCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxEscapeAnswer(MB_YESNO), 0);
}

TEST_F(FormsTest, AMessageBoxClickedWithTheMouseAnswersItsButtonAndShowsTheIcon) {
    Application->OnMessageBox = nullptr;
    ShowForm();
    HWND seen = nullptr;
    TColor iconCentre = 0, beside = 0;
    Script({[&] {
                seen = FindTop(MessageBoxClassName);
                iconCentre = session.Pixel(seen, 12 + 16, 12 + 3);  // the red disc, above the glyph
                beside = session.Pixel(seen, 4, 4);
                HWND cancel = GetWindow(seen, GW_CHILD);
                while (cancel && GetDlgCtrlID(cancel) != IDCANCEL) cancel = GetWindow(cancel, GW_HWNDNEXT);
                RECT r;
                GetWindowRect(cancel, &r);
                POINT c{r.Left + 5, r.Top + 5};
                ScreenToClient(seen, &c);
                PushClick(seen, c.x, c.y);
            }});
    int answer = Application->MessageBox("Something failed", "Error", MB_OKCANCEL | MB_ICONERROR);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(iconCentre, RGB(204, 0, 0));
    EXPECT_EQ(beside, ColorToRGB(clBtnFace));
    EXPECT_EQ(answer, IDCANCEL);
}
