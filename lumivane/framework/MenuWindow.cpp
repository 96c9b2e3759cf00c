// The open menu: its levels and their windows, the pointer over them, choosing an item, and
// what the framework asks of an open menu.
#include "lumivane/framework/MenuWindow.h"

#include <algorithm>
#include <vector>

#include "lumivane/framework/Application.h"
#include "lumivane/framework/MenuWindowInternal.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/PopupWindow.h"

namespace lumivane {

using namespace MenuWindowInternal;

namespace MenuWindowInternal {

TMenuSession& Session() {
    static TMenuSession session;
    return session;
}


void InvalidateRow(const TMenuLevel& level, int index) {
    if (index < 0 || !level.Handle) return;
    RECT r = RowRect(level, index);
    if (!r.IsEmpty()) InvalidateRect(level.Handle, &r, false);
}

// Selects a row and scrolls it into view.
void Select(size_t li, int index) {
    TMenuLevel& level = Session().levels[li];
    if (level.Selected != index) {
        InvalidateRow(level, level.Selected);
        level.Selected = index;
        InvalidateRow(level, index);
        if (index >= 0 && Session().access)
            AccNotifyElementFocus(Session().access->ElementOf(level.Items[static_cast<size_t>(index)]));
    }
    ScrollIntoView(li, index);
}

// Closes the levels deeper than li.
void CloseBelow(size_t li) {
    while (Session().levels.size() > li + 1) {
        HWND h = Session().levels.back().Handle;
        Session().levels.pop_back();
        if (h && IsWindow(h)) DestroyWindow(h);
    }
}

LRESULT MenuProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Opens a level of the parent's items at `at`; `align` moves it left of there by that share of its
// width (0, 1 or 1/2: the popup menu's Alignment).
bool OpenLevel(TMenuItem* parent, TPoint at, int flipX, int flipY, double align = 0) {
    TMenuLevel level;
    level.Parent = parent;
    level.Items = parent->VisibleItems();
    if (level.Items.empty()) return false;
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    const TSize size = LayOutRows(level, {sw, sh});
    at.x -= static_cast<int>(size.cx * align);
    const int x = Place(at.x, size.cx, flipX, sw), y = Place(at.y, size.cy, flipY, sh);
    level.Bounds = {x, y, x + size.cx, y + size.cy};
    Session().levels.push_back(level);
    HWND h = CreatePopupWindow(MenuWindowClassName, MenuProc, "", x, y, size.cx, size.cy);
    if (!h) {
        Session().levels.pop_back();
        return false;
    }
    Session().levels.back().Handle = h;
    return true;
}

// Opens the submenu of the selected item of level li, if it has one and is enabled.
bool OpenSubmenu(size_t li, bool selectFirst) {
    TMenuLevel& level = Session().levels[li];
    if (level.Selected < 0) return false;
    TMenuItem* item = level.Items[static_cast<size_t>(level.Selected)];
    if (!item->Enabled() || !level.Rows[static_cast<size_t>(level.Selected)].Submenu) return false;
    // The submenu opens beside its row, which must be in view.
    ScrollIntoView(li, level.Selected);
    if (Session().levels.size() > li + 1 && Session().levels[li + 1].Parent == item) {
        CloseBelow(li + 1);
    } else {
        CloseBelow(li);
        TRect row = RowRect(level, level.Selected);
        const TRect b = level.Bounds;
        if (!OpenLevel(item, {b.Right - kFrame, b.Top + row.Top - kFrame}, b.Left + kFrame, b.Top + row.Bottom + kFrame))
            return false;
    }
    if (selectFirst) {
        TMenuLevel& sub = Session().levels[li + 1];
        for (size_t i = 0; i < sub.Items.size(); ++i)
            if (Selectable(sub.Items[i])) {
                Select(li + 1, static_cast<int>(i));
                break;
            }
    }
    return true;
}

void Choose(TMenuItem* item) {
    Session().chosen = item;
    MenuWindow::CloseAll();
    if (Session().chosen == item) {
        Session().chosen = nullptr;
        item->Click();
    }
}

// Activates the selected item of level li: opens its submenu or chooses it.
void Activate(size_t li) {
    TMenuLevel& level = Session().levels[li];
    if (level.Selected < 0) return;
    TMenuItem* item = level.Items[static_cast<size_t>(level.Selected)];
    if (!item->Enabled()) return;
    if (level.Rows[static_cast<size_t>(level.Selected)].Submenu) {
        OpenSubmenu(li, true);
        return;
    }
    Choose(item);
}

int LevelAt(TPoint screen) {
    for (size_t i = Session().levels.size(); i-- > 0;)
        if (Session().levels[i].Bounds.Contains(screen.x, screen.y)) return static_cast<int>(i);
    return -1;
}

void PointerMoved(TPoint screen) {
    int li = LevelAt(screen);
    // Only the level under the pointer may scroll by its arrow.
    for (size_t k = 0; k < Session().levels.size(); ++k)
        if (static_cast<int>(k) != li) ArrowHover(k, 0);
    if (li < 0) return;
    TMenuLevel& level = Session().levels[static_cast<size_t>(li)];
    const TPoint client{screen.x - level.Bounds.Left, screen.y - level.Bounds.Top};
    const int arrow = ArrowAt(level, client);
    ArrowHover(static_cast<size_t>(li), arrow);
    if (arrow) return;
    int row = RowAt(level, client);
    if (row >= 0 && !Selectable(level.Items[static_cast<size_t>(row)])) row = -1;
    if (row < 0) return;
    Select(static_cast<size_t>(li), row);
    TMenuItem* item = level.Items[static_cast<size_t>(row)];
    if (level.Rows[static_cast<size_t>(row)].Submenu && item->Enabled())
        OpenSubmenu(static_cast<size_t>(li), false);
    else
        CloseBelow(static_cast<size_t>(li));
}

void Released(TPoint screen) {
    int li = LevelAt(screen);
    if (li < 0) return;
    TMenuLevel& level = Session().levels[static_cast<size_t>(li)];
    int row = RowAt(level, {screen.x - level.Bounds.Left, screen.y - level.Bounds.Top});
    if (row < 0) return;
    TMenuItem* item = level.Items[static_cast<size_t>(row)];
    if (item->IsLine() || !item->Enabled() || level.Rows[static_cast<size_t>(row)].Submenu) return;
    Choose(item);
}

// Pressing a scroll arrow scrolls a row (holding the pointer there goes on by the timer).
bool PressedArrow(TPoint screen) {
    const int li = LevelAt(screen);
    if (li < 0) return false;
    TMenuLevel& level = Session().levels[static_cast<size_t>(li)];
    const int arrow = ArrowAt(level, {screen.x - level.Bounds.Left, screen.y - level.Bounds.Top});
    if (arrow) ScrollTo(static_cast<size_t>(li), level.FirstRow + arrow);
    return arrow != 0;
}

LRESULT MenuProcUnguarded(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        FreshAll();
        PaintLevel(hwnd);
        return 0;
    case WM_TIMER:
        if (wp == kScrollTimer && FreshAll()) ScrollTick(hwnd);
        return 0;
    case kItemsChangedMessage:
        FreshAll();
        return 0;
    case WM_MOUSEWHEEL:
        if (FreshAll()) Wheel({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, static_cast<int16_t>(HIWORD(wp)));
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        if (!FreshAll()) return 0;
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(hwnd, &p);
        const TPoint screen{p.x, p.y};
        if (msg == WM_MOUSEMOVE) {
            PointerMoved(screen);
        } else if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP) {
            const bool tracked = msg == WM_LBUTTONUP || !Session().menu || Session().menu->TrackButton() == tbRightButton;
            if (tracked) Released(screen);
        } else if (LevelAt(screen) < 0) {
            MenuWindow::CloseAll();
        } else if (!PressedArrow(screen)) {
            PointerMoved(screen);
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        // Someone else took the pointer: the menu gives up.
        if (!Session().closing && LevelOf(reinterpret_cast<HWND>(lp)) < 0) MenuWindow::CloseAll();
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

// A chosen item's OnClick runs from here: what it throws ends at the menu window's edge.
LRESULT MenuProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        return MenuProcUnguarded(hwnd, msg, wp, lp);
    } catch (...) {
        if (!Application) throw;
        Application->HandleCurrentException(nullptr);
        return 0;
    }
}

void DestroyLevels() {
    Session().access.reset();
    Session().closing = true;
    if (!Session().levels.empty() && GetCapture() == Session().levels.front().Handle) ReleaseCapture();
    CloseBelow(0);
    if (!Session().levels.empty()) {
        HWND h = Session().levels.front().Handle;
        Session().levels.clear();
        if (h && IsWindow(h)) DestroyWindow(h);
    }
    Session().closing = false;
}

}  // namespace MenuWindowInternal

namespace MenuWindow {


void Open(TPopupMenu* Menu, TPoint ScreenPos) {
    CloseAll();
    if (!Menu) return;
    const double align = Menu->Alignment() == paRight ? 1 : Menu->Alignment() == paCenter ? 0.5 : 0;
    if (!OpenLevel(Menu->Items(), ScreenPos, ScreenPos.x, ScreenPos.y, align)) return;
    Session().menu = Menu;
    SetCapture(Session().levels.front().Handle);
    if (AccessibleListener()) {
        Session().access = std::make_unique<TMenuAccess>();
        AccWindowShown(Session().access.get());
    }
}

void CloseAll() {
    if (!Session().menu && Session().levels.empty()) return;
    TPopupMenu* menu = Session().menu;
    Session().menu = nullptr;
    DestroyLevels();
    if (menu) menu->OnClose(menu);
}

void Forget(TPopupMenu* Menu) {
    if (Session().menu != Menu) return;
    Session().menu = nullptr;
    Session().chosen = nullptr;
    DestroyLevels();
}

void ItemGone(TMenuItem* Item) {
    if (Session().chosen == Item) Session().chosen = nullptr;
    if (Session().access) Session().access->Forget(Item);
    for (const TMenuLevel& level : Session().levels) {
        // A level's items are its parent's subitems: asking the parent costs nothing per item.
        bool held = level.Parent == Item || (Item->Parent() == level.Parent && (Item->Visible() || level.Stale));
        if (held) {
            Session().menu = nullptr;
            DestroyLevels();
            return;
        }
    }
}

void ItemChanged(TMenuItem* Item) {
    for (TMenuLevel& level : Session().levels) {
        if (level.Stale || (level.Parent != Item && level.Parent != Item->Parent())) continue;
        // Worked out once for any number of changes, before the menu next paints or takes input.
        level.Stale = true;
        if (level.Handle) PostMessageA(level.Handle, kItemsChangedMessage, 0, 0);
    }
}

TPopupMenu* OpenMenu() { return Session().menu; }

int LevelCount() { return static_cast<int>(Session().levels.size()); }

HWND LevelWindow(int Level) {
    return Level >= 0 && Level < LevelCount() ? Session().levels[static_cast<size_t>(Level)].Handle : nullptr;
}

TMenuItem* SelectedItem(int Level) {
    if (!FreshAll() || Level < 0 || Level >= LevelCount()) return nullptr;
    const TMenuLevel& level = Session().levels[static_cast<size_t>(Level)];
    return level.Selected < 0 ? nullptr : level.Items[static_cast<size_t>(level.Selected)];
}

TRect ItemRect(int Level, const TMenuItem* Item) {
    if (!FreshAll() || Level < 0 || Level >= LevelCount()) return {};
    const TMenuLevel& level = Session().levels[static_cast<size_t>(Level)];
    for (size_t i = 0; i < level.Items.size(); ++i)
        if (level.Items[i] == Item) return RowRect(level, static_cast<int>(i));
    return {};
}

TMenuItem* TopItem(int Level) {
    if (!FreshAll() || Level < 0 || Level >= LevelCount()) return nullptr;
    const TMenuLevel& level = Session().levels[static_cast<size_t>(Level)];
    return level.Items[static_cast<size_t>(level.FirstRow)];
}

}  // namespace MenuWindow

}  // namespace lumivane
