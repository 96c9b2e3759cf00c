// The geometry of an open menu: its rows laid out once per open, the level's size within the
// screen, and where a level goes on the screen.
#include "lumivane/framework/MenuWindowInternal.h"

#include <algorithm>
#include <string>

#include "lumivane/framework/MenuItem.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/gfx/text/Font.h"

namespace lumivane {

using namespace MenuWindowInternal;

namespace MenuWindowInternal {

HFONT ItemFont(bool bold) {
    FontSpec s;
    s.bold = bold;
    return GetFont(s);
}

int TextHeight() { return GetFontMetrics(ItemFont(false)).height; }
int RowHeight(const TMenuItem* item) { return item->IsLine() ? kSeparatorHeight : MenuWindow::ItemHeight(); }
bool Selectable(const TMenuItem* item) { return !item->IsLine(); }
bool HasSubmenu(const TMenuItem* item) { return !item->VisibleItems().empty(); }

namespace {

// The width of the caption as drawn (without its accelerator mark), measured over a prefix that
// grows until it is wider than any menu shows or is the whole caption: a caption of a million
// characters costs no more than one that just overflows. Returns the bytes measured.
size_t MeasureCaption(HDC dc, const std::string& c, int* width) {
    size_t len = std::min<size_t>(c.size(), 256);
    for (;;) {
        // Cut on a character's first byte.
        while (len < c.size() && (static_cast<unsigned char>(c[len]) & 0xC0) == 0x80) ++len;
        RECT r{0, 0, 0, 0};
        DrawTextA(dc, c.data(), static_cast<int>(len), &r, kCaptionFormat | DT_CALCRECT);
        *width = r.Width();
        if (len >= c.size() || *width > kMaxTextWidth) return len;
        len = std::min(c.size(), len * 2);
    }
}

}  // namespace

TSize LayOutRows(TMenuLevel& level, TSize screen) {
    level.Rows.assign(level.Items.size(), TMenuRow{});
    level.Accels.clear();
    std::vector<int> widths(level.Items.size(), 0);
    int text = kMinTextWidth, shortcut = 0, top = 0;
    HDC dc = GetDC(nullptr);
    for (size_t i = 0; i < level.Items.size(); ++i) {
        const TMenuItem* item = level.Items[i];
        TMenuRow& row = level.Rows[i];
        row.Top = top;
        row.Height = RowHeight(item);
        top += row.Height;
        row.Line = item->IsLine();
        if (row.Line) continue;
        row.Submenu = HasSubmenu(item);
        row.Accel = AcceleratorOf(item->Caption());
        if (row.Accel) level.Accels.emplace_back(row.Accel, static_cast<int>(i));
        if (dc) {
            dc->font = ItemFont(item->Default());
            row.CaptionBytes = MeasureCaption(dc, item->Caption(), &widths[i]);
        }
        text = std::max(text, std::min(widths[i], kMaxTextWidth));
        row.ShortCut = ShortCutToText(item->ShortCut());
        if (!row.ShortCut.empty()) shortcut = std::max(shortcut, TextWidth(ItemFont(false), row.ShortCut));
    }
    if (dc) ReleaseDC(nullptr, dc);
    std::sort(level.Accels.begin(), level.Accels.end());
    // The menu stays within the screen: the caption column gives way first.
    const int others = 2 * kFrame + kGutter + (shortcut ? kShortCutGap + shortcut : 0) + kArrowArea;
    text = std::max(0, std::min(text, screen.cx - others));
    level.TextWidth = text;
    for (size_t i = 0; i < level.Rows.size(); ++i) level.Rows[i].Cut = widths[i] > text;
    level.ContentHeight = top;
    int height = top + 2 * kFrame;
    level.Scrolls = height > screen.cy;
    level.MaxFirstRow = 0;
    if (level.Scrolls) {
        const int tallest = std::max(MenuWindow::ItemHeight(), kSeparatorHeight);
        height = std::max(screen.cy, 2 * (kFrame + kScrollArrowHeight) + tallest);
        const int view = height - 2 * (kFrame + kScrollArrowHeight);
        auto it = std::lower_bound(level.Rows.begin(), level.Rows.end(), top - view,
                                   [](const TMenuRow& r, int y) { return r.Top < y; });
        level.MaxFirstRow = static_cast<int>(it - level.Rows.begin());
    }
    level.FirstRow = std::clamp(level.FirstRow, 0, level.MaxFirstRow);
    return {text + others, height};
}

int LevelOf(HWND hwnd) {
    for (size_t i = 0; i < Session().levels.size(); ++i)
        if (Session().levels[i].Handle == hwnd) return static_cast<int>(i);
    return -1;
}

// Where a level of the given size goes: at `at`, or on the other side of `flip` (an x or y the
// level must not cover) when it would leave the screen; within the screen in any case.
int Place(int at, int size, int flipEdge, int screen) {
    int pos = at;
    if (pos + size > screen) pos = flipEdge - size;
    return std::max(0, std::min(pos, screen - size));
}

}  // namespace MenuWindowInternal

namespace MenuWindow {

int ItemHeight() { return TextHeight() + 6; }

}  // namespace MenuWindow

}  // namespace lumivane
