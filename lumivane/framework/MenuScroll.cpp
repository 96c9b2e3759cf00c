// The view of a level taller than the screen: which rows show, hitting them, scrolling by the
// arrows, the wheel and the keys, and working the rows out again when the items change.
#include <algorithm>

#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/MenuWindowInternal.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/windows/Input.h"
#include "lumivane/windows/Timers.h"

namespace lumivane {

using namespace MenuWindowInternal;

namespace MenuWindowInternal {

namespace {

// The first row whose top is at or below y (content coordinates).
int RowFrom(const TMenuLevel& level, int y) {
    auto it = std::lower_bound(level.Rows.begin(), level.Rows.end(), y,
                               [](const TMenuRow& r, int v) { return r.Top < v; });
    return static_cast<int>(it - level.Rows.begin());
}

int FirstTop(const TMenuLevel& level) {
    return level.Rows.empty() ? 0 : level.Rows[static_cast<size_t>(level.FirstRow)].Top;
}

}  // namespace

int ViewTop(const TMenuLevel& level) { return kFrame + (level.Scrolls ? kScrollArrowHeight : 0); }
int ViewBottom(const TMenuLevel& level) {
    return level.Bounds.Height() - kFrame - (level.Scrolls ? kScrollArrowHeight : 0);
}

TRect RowRect(const TMenuLevel& level, int index) {
    if (index < 0 || index >= static_cast<int>(level.Rows.size())) return {};
    const TMenuRow& row = level.Rows[static_cast<size_t>(index)];
    const int y = ViewTop(level) + row.Top - FirstTop(level);
    if (level.Scrolls && (y < ViewTop(level) || y + row.Height > ViewBottom(level))) return {};
    return {kFrame, y, level.Bounds.Width() - kFrame, y + row.Height};
}

int RowAt(const TMenuLevel& level, TPoint client) {
    if (client.y < ViewTop(level) || client.y >= ViewBottom(level)) return -1;
    const int y = client.y - ViewTop(level) + FirstTop(level);
    const int index = RowFrom(level, y + 1) - 1;
    return index >= 0 && RowRect(level, index).Contains(client.x, client.y) ? index : -1;
}

int LastVisibleRow(const TMenuLevel& level) {
    const int bottom = FirstTop(level) + ViewBottom(level) - ViewTop(level);
    int index = RowFrom(level, bottom) - 1;
    while (index >= level.FirstRow && level.Rows[static_cast<size_t>(index)].Top +
                                              level.Rows[static_cast<size_t>(index)].Height > bottom)
        --index;
    return index;
}

int ArrowAt(const TMenuLevel& level, TPoint client) {
    if (!level.Scrolls || client.x < kFrame || client.x >= level.Bounds.Width() - kFrame) return 0;
    if (client.y >= kFrame && client.y < ViewTop(level)) return -1;
    if (client.y >= ViewBottom(level) && client.y < level.Bounds.Height() - kFrame) return 1;
    return 0;
}

bool ScrollTo(size_t li, int first) {
    TMenuLevel& level = Session().levels[li];
    first = std::clamp(first, 0, level.MaxFirstRow);
    if (first == level.FirstRow) return false;
    level.FirstRow = first;
    // A submenu stays beside the row it opened from, which has just moved.
    CloseBelow(li);
    if (level.Handle) InvalidateRect(level.Handle, nullptr, false);
    return true;
}

void ScrollIntoView(size_t li, int index) {
    TMenuLevel& level = Session().levels[li];
    if (!level.Scrolls || index < 0) return;
    if (index < level.FirstRow) {
        ScrollTo(li, index);
    } else if (index > LastVisibleRow(level)) {
        const TMenuRow& row = level.Rows[static_cast<size_t>(index)];
        ScrollTo(li, RowFrom(level, row.Top + row.Height - (ViewBottom(level) - ViewTop(level))));
    }
}

void ArrowHover(size_t li, int dir) {
    TMenuLevel& level = Session().levels[li];
    if (dir == level.ScrollDir) return;
    level.ScrollDir = dir;
    if (!dir) {
        if (level.Handle) KillTimer(level.Handle, kScrollTimer);
        return;
    }
    // One row at once, then one a tick while the pointer stays and there is more to show.
    if (ScrollTo(li, level.FirstRow + dir) && level.Handle) {
        SetTimer(level.Handle, kScrollTimer, kScrollInterval, nullptr);
    } else {
        level.ScrollDir = 0;
    }
}

void ScrollTick(HWND hwnd) {
    const int li = LevelOf(hwnd);
    if (li < 0) {
        KillTimer(hwnd, kScrollTimer);
        return;
    }
    TMenuLevel& level = Session().levels[static_cast<size_t>(li)];
    POINT p{0, 0};
    GetCursorPos(&p);
    const TPoint client{p.x - level.Bounds.Left, p.y - level.Bounds.Top};
    const int dir = level.ScrollDir;
    if (dir && ArrowAt(level, client) == dir && ScrollTo(static_cast<size_t>(li), level.FirstRow + dir)) return;
    // The pointer left the arrow or the end showed: no more ticks.
    level.ScrollDir = 0;
    KillTimer(hwnd, kScrollTimer);
}

void Wheel(TPoint screen, int delta) {
    int li = LevelAt(screen);
    if (li < 0) li = static_cast<int>(Session().levels.size()) - 1;
    if (li < 0) return;
    TMenuLevel& level = Session().levels[static_cast<size_t>(li)];
    // A notch up (positive) shows rows above.
    const int notches = delta / 120 ? delta / 120 : (delta > 0 ? 1 : delta < 0 ? -1 : 0);
    ScrollTo(static_cast<size_t>(li), level.FirstRow - notches * kWheelRows);
}

bool Fresh(size_t li) {
    if (li >= Session().levels.size()) return false;
    TMenuLevel& level = Session().levels[li];
    if (!level.Stale) return true;
    level.Stale = false;
    TMenuItem* selected = level.Selected >= 0 ? level.Items[static_cast<size_t>(level.Selected)] : nullptr;
    level.Items = level.Parent->VisibleItems();
    if (level.Items.empty()) {
        if (li == 0)
            MenuWindow::CloseAll();
        else
            CloseBelow(li - 1);
        return false;
    }
    auto it = std::find(level.Items.begin(), level.Items.end(), selected);
    const int index = selected && it != level.Items.end() ? static_cast<int>(it - level.Items.begin()) : -1;
    if (index < 0) CloseBelow(li);
    const TSize screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const TSize size = LayOutRows(level, screen);
    const int x = std::max(0, std::min(level.Bounds.Left, screen.cx - size.cx));
    const int y = std::max(0, std::min(level.Bounds.Top, screen.cy - size.cy));
    level.Bounds = {x, y, x + size.cx, y + size.cy};
    level.Selected = index;
    if (level.Handle) {
        MoveWindow(level.Handle, x, y, size.cx, size.cy, true);
        InvalidateRect(level.Handle, nullptr, false);
    }
    return true;
}

bool FreshAll() {
    for (size_t li = 0; li < Session().levels.size(); ++li)
        if (!Fresh(li)) break;
    return !Session().levels.empty();
}

}  // namespace MenuWindowInternal

}  // namespace lumivane
