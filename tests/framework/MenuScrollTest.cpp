// Popup menus taller or wider than the screen: the width cap and "...", scrolling by keys, the
// wheel and the scroll arrows, and items changing while the menu is open.
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/windows/Timers.h"
#include "tests/framework/FormsTestKit.h"

using namespace lumivane;

namespace {

constexpr int kFrame = 3, kArrow = 16;

class MenuScrollTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form = ShowForm();
        form->SetFocus();
        session.Pump();
        menu = new TPopupMenu(form);
        sw = GetSystemMetrics(SM_CXSCREEN);
        sh = GetSystemMetrics(SM_CYSCREEN);
    }
    void TearDown() override {
        MenuWindow::CloseAll();
        FormsTest::TearDown();
    }
    TMenuItem* Add(const std::string& caption) {
        auto* item = new TMenuItem(form);
        item->SetCaption(caption);
        menu->Items()->Add(item);
        return item;
    }
    void AddItems(int n) {
        for (int i = 0; i < n; ++i) Add("Item " + std::to_string(i));
    }
    TMenuItem* At(int i) { return menu->Items()->Items(i); }
    int IndexOf(TMenuItem* item) { return item ? menu->Items()->IndexOf(item) : -1; }
    int Top() { return IndexOf(MenuWindow::TopItem(0)); }
    int Selected() { return IndexOf(MenuWindow::SelectedItem(0)); }
    TRect Window() {
        RECT r;
        GetWindowRect(MenuWindow::LevelWindow(0), &r);
        return r;
    }
    // Rows wholly in view, counted from the top row.
    int VisibleRows() {
        int n = 0;
        for (int i = Top(); i < menu->Items()->Count() && !MenuWindow::ItemRect(0, At(i)).IsEmpty(); ++i) ++n;
        return n;
    }
    void Open() {
        menu->Popup(10, 10);
        session.Pump();
        ASSERT_EQ(MenuWindow::LevelCount(), 1);
    }
    // A screen point in the middle of the top (-1) or bottom (1) scroll arrow.
    TPoint Arrow(int dir) {
        const TRect w = Window();
        return {(w.Left + w.Right) / 2, dir < 0 ? w.Top + kFrame + kArrow / 2 : w.Bottom - kFrame - kArrow / 2};
    }
    TForm* form = nullptr;
    TPopupMenu* menu = nullptr;
    int sw = 0, sh = 0;
};

}  // namespace

// The boundary: rows exactly as tall as the screen allows show whole, one more row scrolls.
TEST_F(MenuScrollTest, ExactlyAsManyRowsAsFitDoNotScrollAndOneMoreDoes) {
    const int h = MenuWindow::ItemHeight(), room = sh - 2 * kFrame;
    // Items and 9-pixel separators that fill the room to the pixel.
    int items = -1, lines = 0;
    for (; lines < h; ++lines)
        if ((room - 9 * lines) % h == 0) {
            items = (room - 9 * lines) / h;
            break;
        }
    ASSERT_GE(items, 1);
    AddItems(items);
    for (int i = 0; i < lines; ++i) Add("-");
    Open();
    EXPECT_EQ(Window().Height(), sh);
    EXPECT_EQ(MenuWindow::ItemRect(0, At(0)).Top, kFrame);  // no arrow above
    EXPECT_FALSE(MenuWindow::ItemRect(0, At(items + lines - 1)).IsEmpty());
    EXPECT_EQ(MenuWindow::ItemRect(0, At(items + lines - 1)).Bottom, sh - kFrame);
    session.Key(VK_END);
    EXPECT_EQ(Top(), 0);
    MenuWindow::CloseAll();

    Add("-");
    Open();
    EXPECT_EQ(Window().Height(), sh);
    EXPECT_EQ(MenuWindow::ItemRect(0, At(0)).Top, kFrame + kArrow);  // below the up arrow
    EXPECT_TRUE(MenuWindow::ItemRect(0, At(items + lines)).IsEmpty());
    // Scrolled to the end, the last row shows whole.
    session.Move(Window().Left + 20, sh / 2);
    for (int i = 0; i < 10; ++i) session.Wheel(-1);
    EXPECT_GT(Top(), 0);
    EXPECT_FALSE(MenuWindow::ItemRect(0, At(items + lines)).IsEmpty());
    EXPECT_LE(MenuWindow::ItemRect(0, At(items + lines)).Bottom, sh - kFrame - kArrow);
}

TEST_F(MenuScrollTest, KeysKeepTheSelectionInViewToTheEndAndBack) {
    AddItems(200);
    Open();
    const int rows = VisibleRows();
    ASSERT_GT(rows, 10);
    ASSERT_LT(rows, 200);
    // Down to the last row in view scrolls nothing; one more scrolls one row.
    for (int i = 0; i < rows; ++i) session.Key(VK_DOWN);
    EXPECT_EQ(Selected(), rows - 1);
    EXPECT_EQ(Top(), 0);
    session.Key(VK_DOWN);
    EXPECT_EQ(Selected(), rows);
    EXPECT_EQ(Top(), 1);
    // Rows scroll whole: the top row sits under the arrow.
    EXPECT_EQ(MenuWindow::ItemRect(0, At(1)).Top, kFrame + kArrow);
    EXPECT_EQ(MenuWindow::ItemRect(0, At(rows)).Bottom, kFrame + kArrow + rows * MenuWindow::ItemHeight());
    // Up within the view scrolls nothing, above it one row.
    for (int i = 0; i < rows - 1; ++i) session.Key(VK_UP);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Top(), 1);
    session.Key(VK_UP);
    EXPECT_EQ(Top(), 0);
    // End and Home, Page Down and Page Up, and Down from the end round to the top.
    session.Key(VK_END);
    EXPECT_EQ(Selected(), 199);
    EXPECT_EQ(Top(), 200 - rows);
    EXPECT_EQ(VisibleRows(), rows);
    session.Key(VK_HOME);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Top(), 0);
    session.Key(VK_NEXT);
    EXPECT_EQ(Selected(), rows - 1);
    EXPECT_EQ(Top(), 0);
    session.Key(VK_NEXT);
    EXPECT_EQ(Selected(), 2 * (rows - 1));
    EXPECT_EQ(Top(), 2 * (rows - 1) - rows + 1);
    session.Key(VK_PRIOR);
    EXPECT_EQ(Selected(), rows - 1);
    for (int i = 0; i < 10; ++i) session.Key(VK_NEXT);
    EXPECT_EQ(Selected(), 199);  // stops at the end
    session.Key(VK_DOWN);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Top(), 0);
    session.Key(VK_UP);
    EXPECT_EQ(Selected(), 199);
    EXPECT_EQ(Top(), 200 - rows);
    // An accelerator on a row out of view scrolls to it and chooses it.
    At(150)->SetCaption("&Zebra");
    bool chosen = false;
    At(150)->OnClick = [&](TObject*) { chosen = true; };
    session.Key(VK_HOME);
    session.Key('Z');
    EXPECT_TRUE(chosen);
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
}

TEST_F(MenuScrollTest, TheWheelScrollsThreeRowsANotchWithinTheEnds) {
    AddItems(100);
    Open();
    const TRect w = Window();
    session.Move(w.Left + 20, w.Top + 100);
    const TMenuItem* hovered = MenuWindow::SelectedItem(0);
    ASSERT_NE(hovered, nullptr);
    session.Wheel(-1);
    EXPECT_EQ(Top(), 3);
    session.Wheel(-2);
    EXPECT_EQ(Top(), 9);
    session.Wheel(1);
    EXPECT_EQ(Top(), 6);
    session.Wheel(5);
    EXPECT_EQ(Top(), 0);
    for (int i = 0; i < 40; ++i) session.Wheel(-1);
    EXPECT_EQ(Top(), 100 - VisibleRows());
    EXPECT_EQ(MenuWindow::LevelCount(), 1);
    // The wheel never reached the form behind the menu, and the selection stayed.
    EXPECT_EQ(MenuWindow::SelectedItem(0), hovered);
}

TEST_F(MenuScrollTest, ScrollArrowsScrollWhileHoveredAndByClicksAndStopAtTheEnds) {
    AddItems(80);
    Open();
    const int rows = VisibleRows();
    const int64_t tick = 60;
    // Top arrow at the top: nothing to scroll, and no timer left running.
    const TPoint up = Arrow(-1), down = Arrow(1);
    session.Move(up.x, up.y);
    EXPECT_EQ(Top(), 0);
    int64_t deadline = 0;
    EXPECT_FALSE(GetNextTimerDeadline(&deadline));
    // Down arrow: one row at once, then one a tick while the pointer stays.
    session.Move(down.x, down.y);
    EXPECT_EQ(Top(), 1);
    session.Wait(tick * 4);
    EXPECT_EQ(Top(), 5);
    // Off the arrow onto a row: scrolling stops.
    session.Move(down.x, down.y - 40);
    session.Wait(tick * 4);
    EXPECT_EQ(Top(), 5);
    EXPECT_EQ(MenuWindow::LevelCount(), 1);
    // Onto the up arrow scrolls a row back; a press there another, and the menu stays open.
    session.Move(up.x, up.y);
    EXPECT_EQ(Top(), 4);
    session.Press();
    session.Release();
    session.Move(down.x, down.y - 40);
    EXPECT_EQ(Top(), 3);
    EXPECT_EQ(MenuWindow::LevelCount(), 1);
    // Held on the down arrow to the end: the timer stops there (an idle menu wakes nobody).
    session.Move(down.x, down.y);
    session.Wait(tick * 200);
    EXPECT_EQ(Top(), 80 - rows);
    EXPECT_FALSE(GetNextTimerDeadline(&deadline));
}

TEST_F(MenuScrollTest, LongCaptionsAreCutWithDotsAndTheMenuKeepsItsWidthCap) {
    Add("Short");
    Open();
    const int narrow = Window().Width();
    MenuWindow::CloseAll();
    TMenuItem* wide = Add(std::string(100000, 'W'));
    Add("&Ok");
    Open();
    const int capped = Window().Width();
    EXPECT_EQ(capped, 2 * kFrame + 20 + 480 + 20);
    EXPECT_LT(narrow, capped);
    // The caption ends in three dots before the arrow column; the row's right end stays clear.
    const TRect row = MenuWindow::ItemRect(0, wide);
    HWND h = MenuWindow::LevelWindow(0);
    auto ink = [&](int from, int to) {
        int n = 0;
        for (int x = from; x < to; ++x)
            for (int y = row.Top; y < row.Bottom; ++y) n += session.Pixel(h, x, y) != ColorToRGB(clMenu) ? 1 : 0;
        return n;
    };
    EXPECT_GT(ink(row.Left + 20, row.Left + 40), 0);
    EXPECT_GT(ink(row.Left + 20 + 480 - 14, row.Left + 20 + 480), 0);  // the dots
    EXPECT_EQ(ink(row.Left + 20 + 480, row.Right), 0);
    // A caption of one long run of marks that take no room opens too, within the cap.
    MenuWindow::CloseAll();
    std::string marks = "x";
    for (int i = 0; i < 30000; ++i) marks += "\xCC\x81";  // U+0301, combining acute
    wide->SetCaption(marks);
    Open();
    EXPECT_LE(Window().Width(), capped);
    session.Key('O');
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
}

TEST_F(MenuScrollTest, ItemsChangingWhileOpenAreLaidOutAgainOnce) {
    AddItems(5);
    Open();
    const int h = MenuWindow::ItemHeight();
    EXPECT_EQ(Window().Height(), 5 * h + 2 * kFrame);
    session.Key(VK_DOWN);
    session.Key(VK_DOWN);
    EXPECT_EQ(Selected(), 1);
    // Hiding a row above the selection keeps the selection on its item.
    At(0)->SetVisible(false);
    session.Pump();
    EXPECT_EQ(Window().Height(), 4 * h + 2 * kFrame);
    EXPECT_EQ(MenuWindow::SelectedItem(0), At(1));
    // Many items added while open: the menu grows to the screen and scrolls to them.
    for (int i = 0; i < 300; ++i) Add("More " + std::to_string(i));
    session.Pump();
    EXPECT_EQ(Window().Height(), sh);
    session.Key(VK_END);
    EXPECT_EQ(MenuWindow::SelectedItem(0), At(304));
    EXPECT_FALSE(MenuWindow::ItemRect(0, At(304)).IsEmpty());
    // A wider caption widens it; removing the selected item drops the selection.
    const int before = Window().Width();
    At(2)->SetCaption("A caption much wider than the others were");
    session.Pump();
    EXPECT_GT(Window().Width(), before);
    TMenuItem* last = At(304);
    menu->Items()->Remove(last);
    session.Pump();
    EXPECT_EQ(MenuWindow::SelectedItem(0), nullptr);
    delete last;
    EXPECT_EQ(MenuWindow::LevelCount(), 1);
    // Every item hidden: the menu closes.
    for (int i = 0; i < menu->Items()->Count(); ++i) At(i)->SetVisible(false);
    session.Pump();
    EXPECT_EQ(MenuWindow::LevelCount(), 0);
}

TEST_F(MenuScrollTest, ASubmenuOpensBesideItsRowScrolledBackIntoViewAndScrollingClosesIt) {
    AddItems(100);
    TMenuItem* parent = At(2);
    auto* sub = new TMenuItem(form);
    sub->SetCaption("Inner");
    parent->Add(sub);
    Open();
    session.Key(VK_DOWN);
    session.Key(VK_DOWN);
    session.Key(VK_DOWN);
    ASSERT_EQ(MenuWindow::SelectedItem(0), parent);
    // The wheel away from the menu scrolls the innermost level; the selection stays on its row.
    MoveOver(form, 290, 190);
    session.Wheel(-3);
    EXPECT_EQ(Top(), 9);
    EXPECT_TRUE(MenuWindow::ItemRect(0, parent).IsEmpty());
    session.Key(VK_RIGHT);
    ASSERT_EQ(MenuWindow::LevelCount(), 2);
    EXPECT_EQ(Top(), 2);
    RECT row = MenuWindow::ItemRect(0, parent), level;
    POINT corner{row.Right, row.Top};
    ClientToScreen(MenuWindow::LevelWindow(0), &corner);
    GetWindowRect(MenuWindow::LevelWindow(1), &level);
    EXPECT_EQ(level.Top, corner.y - kFrame);
    // Scrolling the level under it closes the submenu, which would be left beside nothing.
    session.Move(Window().Left + 20, sh / 2);
    session.Wheel(-1);
    EXPECT_EQ(MenuWindow::LevelCount(), 1);
}
