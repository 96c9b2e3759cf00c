#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/frmMain.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/framework/layout/Resources.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Font.h"

using namespace lumivane;

namespace {

// The program's start-up, headless: the window is created as the main form but not yet shown.
class NoticeWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        RegisterNoticeWindow();
        Application->SetTitle("Test TImButtons");
        Application->CreateForm(Main);
    }
    void TearDown() override {
        session.Driver().SetWaitHook(nullptr);
        Application->DestroyComponents();
        Main = nullptr;
        Application->SetTitle("");
    }

    void Show() {
        Main->Show();
        session.Pump();
    }
    HWND Top() { return Main->Handle(); }
    TPoint Centre(TControl* c) { return {c->Left() + c->Width() / 2, c->Top() + c->Height() / 2}; }

    // Runs the message loop; each time it would wait, the next step runs. Steps use raw driver
    // input (the session's own calls pump, which a wait hook must not do). When the steps are
    // used up the loop is ended by force and `forced` records it.
    void RunWith(std::vector<std::function<void()>> steps) {
        auto shared = std::make_shared<std::vector<std::function<void()>>>(std::move(steps));
        auto index = std::make_shared<size_t>(0);
        session.Driver().SetWaitHook([this, shared, index](int64_t) {
            if (*index < shared->size()) {
                (*shared)[(*index)++]();
            } else if (!Application->Terminated()) {
                forced = true;
                Application->Terminate();
            }
        });
        Application->Run();
        session.Driver().SetWaitHook(nullptr);
    }
    void PushClick(TControl* c) {
        const TPoint p = Centre(c);
        DriverEvent e;
        e.window = GetDriverWindowId(Top());
        e.x = p.x;
        e.y = p.y;
        e.button = 1;
        POINT s{p.x, p.y};
        ClientToScreen(Top(), &s);
        session.Driver().SetCursorPos(s);
        for (auto t : {DriverEvent::PointerMove, DriverEvent::ButtonDown, DriverEvent::ButtonUp}) {
            e.type = t;
            session.Driver().Push(e);
        }
    }
    void PushKey(unsigned vk) {
        DriverEvent e;
        e.window = GetDriverWindowId(Top());
        e.vk = vk;
        for (auto t : {DriverEvent::KeyDown, DriverEvent::KeyUp}) {
            e.type = t;
            session.Driver().Push(e);
        }
    }

    HeadlessSession session;
    bool forced = false;
};

// A layout's property lines, "Object.Property = value", in order; binary data and the
// continuation lines of long strings are left out.
std::vector<std::string> PropertyLines(const std::string& text) {
    static const std::regex object(R"(^\s*object (\w+): \w+$)");
    static const std::regex property(R"(^\s*([A-Za-z][\w.]*) = (.*)$)");
    std::vector<std::string> out, path;
    std::istringstream in(text);
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_match(line, m, object)) {
            path.push_back(m[1]);
            out.push_back("object " + m[1].str());
        } else if (line.find_first_not_of(' ') != std::string::npos && line.substr(line.find_first_not_of(' ')) == "end") {
            path.pop_back();
        } else if (std::regex_match(line, m, property)) {
            out.push_back(path.back() + "." + m[1].str() + " = " + m[2].str());
        }
    }
    return out;
}

}  // namespace

TEST_F(NoticeWindowTest, SevenMembersInCreationOrderOwnedAndPlacedByTheWindow) {
    ASSERT_NE(Main, nullptr);
    EXPECT_EQ(Application->MainForm(), Main);
    const std::vector<std::pair<TControl*, std::string>> expected = {
        {Main->KdBackImage1, "TKdBackImage"}, {Main->KdUrlLabel1, "TKdUrlLabel"}, {Main->ImImage1, "TImImage"},
        {Main->Label1, "TLabel"},             {Main->Label2, "TLabel"},          {Main->KdUrlLabel2, "TKdUrlLabel"},
        {Main->btnClose, "TImButton"}};
    ASSERT_EQ(Main->ComponentCount(), 7);
    for (int i = 0; i < 7; ++i) {
        TControl* c = expected[static_cast<size_t>(i)].first;
        ASSERT_NE(c, nullptr) << "member " << i;
        EXPECT_EQ(Main->Components(i), c) << "creation position " << i;
        EXPECT_EQ(c->ClassName(), expected[static_cast<size_t>(i)].second);
        EXPECT_EQ(c->Owner(), Main);
        EXPECT_EQ(c->Parent(), Main);
    }
    EXPECT_EQ(Main->KdBackImage1->Align(), alClient);
    EXPECT_TRUE(Main->ImImage1->fGetIsBkgnd());
    EXPECT_EQ(Main->ImImage1->Width(), 32);
}

TEST_F(NoticeWindowTest, NoticeTextReplacesTheStoredCaptionBeforeTheWindowShows) {
    EXPECT_FALSE(Main->Visible());
    const std::string caption = Main->Label1->Caption();
    EXPECT_EQ(caption, NoticeText);
    EXPECT_EQ(caption.rfind("    Draventa, have made", 0), 0u) << caption;
    const std::string tail = "we have not raised the price for Lumivane.";
    ASSERT_GE(caption.size(), tail.size());
    EXPECT_EQ(caption.substr(caption.size() - tail.size()), tail);
    // The layout's own, shorter caption is the start of the text without the indent.
    const std::optional<std::string_view> layout = FindResource("TMAIN");
    ASSERT_TRUE(layout);
    EXPECT_NE(layout->find("Caption = 'Draventa, have made"), std::string::npos);
    EXPECT_EQ(layout->find("raised the price"), std::string::npos);
    EXPECT_EQ(Main->Label2->Caption(), "Lumivane");
}

TEST_F(NoticeWindowTest, WindowCaptionSizeAndScreenCentring) {
    EXPECT_EQ(Main->Caption(), "Renamed to Lumivane");
    EXPECT_EQ(Application->Title(), "Test TImButtons");
    EXPECT_EQ(Main->Width(), 486);
    EXPECT_EQ(Main->Height(), 361);
    EXPECT_EQ(Main->ClientWidth(), 478);
    EXPECT_EQ(Main->ClientHeight(), 334);
    EXPECT_EQ(Main->Position(), poScreenCenter);
    EXPECT_TRUE(Main->BorderIcons() == (TBorderIcons{biSystemMenu, biMinimize}));
    Show();
    EXPECT_EQ(Main->Left(), (HeadlessDriver::kScreenWidth - 486) / 2);
    EXPECT_EQ(Main->Top(), (HeadlessDriver::kScreenHeight - 361) / 2);
    // The background follows the client area.
    EXPECT_EQ(Main->KdBackImage1->Width(), 478);
    EXPECT_EQ(Main->KdBackImage1->Height(), 334);
}

TEST_F(NoticeWindowTest, LinksCarryTheMakersAddressesAndHints) {
    TKdUrlLabel* home = Main->KdUrlLabel1;
    TKdUrlLabel* download = Main->KdUrlLabel2;
    const std::string host = home->Caption();
    ASSERT_FALSE(host.empty());
    EXPECT_EQ(host.find('/'), std::string::npos) << "the caption is the host name alone";
    EXPECT_EQ(home->fGetURLString(), "http://" + host);
    EXPECT_EQ(download->fGetURLString(), "http://" + host + "/download/LumivaneSetup.exe");
    EXPECT_EQ(download->Caption(), "Download Now");
    EXPECT_EQ(home->Hint(), "Draventa");
    EXPECT_EQ(download->Hint(), "Download");
    for (TKdUrlLabel* link : {home, download}) {
        EXPECT_TRUE(link->ShowHint());
        EXPECT_FALSE(link->ParentShowHint());
        EXPECT_EQ(link->Cursor(), crHandPoint);
        EXPECT_EQ(link->fGetTextColor(), clBlue);
        EXPECT_EQ(link->fGetHotTextColor(), clRed);
        EXPECT_EQ(link->Font()->Color(), clBlue);
    }
}

TEST_F(NoticeWindowTest, CloseIsTheDefaultButtonAndTheOnlyFocusableControl) {
    EXPECT_TRUE(Main->btnClose->Default());
    EXPECT_EQ(Main->btnClose->TabOrder(), 0);
    EXPECT_EQ(Main->btnClose->Caption(), "Close");
    for (int i = 0; i < Main->ComponentCount(); ++i) {
        auto* w = dynamic_cast<TWinControl*>(Main->Components(i));
        EXPECT_EQ(w != nullptr, Main->Components(i) == Main->btnClose) << Main->Components(i)->Name();
    }
    Show();
    EXPECT_EQ(Main->ActiveControl(), Main->btnClose);
    EXPECT_TRUE(Main->btnClose->Focused());
}

TEST_F(NoticeWindowTest, ClickOnCloseEndsTheApplication) {
    Show();
    RunWith({[&] { PushClick(Main->btnClose); }});
    EXPECT_FALSE(forced) << "the click did not end the message loop";
    EXPECT_TRUE(Application->Terminated());
    EXPECT_FALSE(Main->Visible());
}

TEST_F(NoticeWindowTest, LinksAndEscapeLeaveTheWindowOpenEnterClosesIt) {
    Show();
    std::vector<std::string> seen;
    auto note = [&](const char* what) {
        return [&, what] {
            seen.push_back(std::string(what) + (Main->Visible() ? " open" : " closed") +
                           (Application->Terminated() ? " ended" : ""));
        };
    };
    RunWith({[&] { PushClick(Main->KdUrlLabel2); }, note("link"), [&] { PushKey(VK_ESCAPE); }, note("escape"),
             [&] { PushKey(VK_RETURN); }});
    EXPECT_EQ(seen, (std::vector<std::string>{"link open", "escape open"}));
    EXPECT_FALSE(forced) << "Enter did not end the message loop";
    EXPECT_FALSE(Main->Visible());
    ASSERT_EQ(session.OpenedAddresses().size(), 1u);
    EXPECT_EQ(session.OpenedAddresses()[0], Main->KdUrlLabel2->fGetURLString());
}

// The layout holds exactly what the form writer writes for the loaded window, in its order. Only
// values that loading itself changes differ: the window's position (centred once its window
// exists), the labels that size themselves to their text (the font on this machine decides) and
// the notice text set by FormCreate.
TEST_F(NoticeWindowTest, LayoutIsWhatTheWriterWritesForTheLoadedWindow) {
    const std::optional<std::string_view> layout = FindResource("TMAIN");
    ASSERT_TRUE(layout);
    std::vector<std::string> stored = PropertyLines(std::string(*layout)), written = PropertyLines(WriteForm(Main));
    const std::regex derived(R"(^Main\.(Left|Top) = .*|^(KdUrlLabel1|KdUrlLabel2|Label2)\.(Width|Height) = .*|^Label1\.Caption = .*)");
    for (auto* lines : {&stored, &written})
        for (auto& l : *lines)
            if (std::regex_match(l, derived)) l = l.substr(0, l.find(" = "));
    EXPECT_EQ(stored, written);
}
