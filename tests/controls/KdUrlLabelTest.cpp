#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "lumivane/controls/KdUrlLabel.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/Form.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Font.h"

using namespace lumivane;

namespace {

constexpr TColor kFormColor = RGB(0xE0, 0xE0, 0xD0);

// A shown form with one link at (20, 30); the pointer starts away from it.
struct LinkScene {
    HeadlessSession session;
    std::unique_ptr<TForm> form;
    TKdUrlLabel* link = nullptr;

    LinkScene() : form(std::make_unique<TForm>(nullptr)) {
        form->SetBounds(100, 100, 300, 200);
        form->SetColor(kFormColor);
        link = new TKdUrlLabel(form.get());
        link->SetName("Link1");
        link->SetParent(form.get());
        link->SetBounds(20, 30, 10, 10);
        link->SetCaption("Download Now");
        form->Show();
        session.Pump();
        Away();
    }
    HWND Hwnd() { return form->Handle(); }
    void Over() { session.MoveTo(Hwnd(), link->Left() + 3, link->Top() + 3); }
    void Away() { session.MoveTo(Hwnd(), 250, 150); }
    // How many pixels of the link's rectangle show the colour.
    int CountInLink(TColor c) {
        int n = 0;
        for (int y = link->Top(); y < link->Top() + link->Height(); ++y)
            for (int x = link->Left(); x < link->Left() + link->Width(); ++x)
                if (session.Pixel(Hwnd(), x, y) == c) ++n;
        return n;
    }
};

}  // namespace

TEST(KdUrlLabel, EnterAndLeaveSwitchColoursAfterTheUsersHandlers) {
    LinkScene s;
    std::vector<std::string> seen;
    s.link->OnMouseEnter = [&](TObject*) { seen.push_back("enter " + std::to_string(s.link->Font()->Color())); };
    s.link->OnMouseLeave = [&](TObject*) { seen.push_back("leave " + std::to_string(s.link->Font()->Color())); };
    EXPECT_GT(s.CountInLink(clBlue), 0);
    EXPECT_EQ(s.CountInLink(clRed), 0);

    s.Over();
    EXPECT_EQ(s.link->Font()->Color(), clRed);
    EXPECT_GT(s.CountInLink(clRed), 0);
    EXPECT_EQ(s.CountInLink(clBlue), 0);

    s.Away();
    EXPECT_EQ(s.link->Font()->Color(), clBlue);
    EXPECT_GT(s.CountInLink(clBlue), 0);
    EXPECT_EQ(s.CountInLink(clRed), 0);
    // Each handler still saw the colour of before.
    EXPECT_EQ(seen, (std::vector<std::string>{"enter " + std::to_string(clBlue), "leave " + std::to_string(clRed)}));
}

TEST(KdUrlLabel, NewColoursWaitForTheNextMouseChange) {
    LinkScene s;
    s.link->fSetTextColor(clGreen);
    s.link->fSetHotTextColor(clFuchsia);
    s.session.Pump();
    EXPECT_EQ(s.link->Font()->Color(), clBlue);
    EXPECT_EQ(s.CountInLink(clGreen), 0);
    s.Over();
    EXPECT_EQ(s.link->Font()->Color(), clFuchsia);
    s.Away();
    EXPECT_EQ(s.link->Font()->Color(), clGreen);
    EXPECT_GT(s.CountInLink(clGreen), 0);
}

TEST(KdUrlLabel, DesignModeKeepsTheColourButStillTellsTheHandlers) {
    HeadlessSession session;
    TKdUrlLabel link(nullptr);
    link.SetDesigning(true);
    int enters = 0, leaves = 0;
    link.OnMouseEnter = [&](TObject*) { ++enters; };
    link.OnMouseLeave = [&](TObject*) { ++leaves; };
    link.Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(link.Font()->Color(), clBlue);
    link.Perform(CM_MOUSELEAVE, 0, 0);
    link.fSetTextColor(clGreen);
    link.Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(link.Font()->Color(), clBlue);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(leaves, 2);
}

TEST(KdUrlLabel, ClickOpensExactlyTheAddressThenFiresOnClick) {
    LinkScene s;
    std::vector<size_t> openedAtClick;
    s.link->OnClick = [&](TObject*) { openedAtClick.push_back(s.session.OpenedAddresses().size()); };

    // No address: no shell request, the click still reaches the handler.
    s.session.ClickAt(s.Hwnd(), s.link->Left() + 3, s.link->Top() + 3);
    EXPECT_TRUE(s.session.OpenedAddresses().empty());
    EXPECT_EQ(openedAtClick, (std::vector<size_t>{0}));

    // Spaces, quotes and shell syntax arrive as one untouched address.
    const std::string address = "http://example.test/download/Setup.exe?a=1&b='x y';$(id)";
    s.link->fSetURLString(address);
    s.session.Wait(1000);  // a second click at once would be a double click
    s.session.ClickAt(s.Hwnd(), s.link->Left() + 3, s.link->Top() + 3);
    EXPECT_EQ(s.session.OpenedAddresses(), (std::vector<std::string>{address}));
    EXPECT_EQ(openedAtClick, (std::vector<size_t>{0, 1}));
}

