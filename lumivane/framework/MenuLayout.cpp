// The geometry of an open menu: row heights, level sizes, row rectangles and where a level goes
// on the screen.
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

// The caption as drawn: the width of its text without the accelerator mark.
int CaptionWidth(const TMenuItem* item) {
    RECT r{0, 0, 0, 0};
    if (HDC dc = GetDC(nullptr)) {
        dc->font = ItemFont(item->Default());
        const std::string& c = item->Caption();
        DrawTextA(dc, c.c_str(), static_cast<int>(c.size()), &r, kCaptionFormat | DT_CALCRECT);
        ReleaseDC(nullptr, dc);
    }
    return r.Width();
}

TSize LevelSize(const std::vector<TMenuItem*>& items) {
    int text = kMinTextWidth, shortcut = 0, height = 0;
    for (const TMenuItem* i : items) {
        height += RowHeight(i);
        if (i->IsLine()) continue;
        text = std::max(text, CaptionWidth(i));
        std::string sc = ShortCutToText(i->ShortCut());
        if (!sc.empty()) shortcut = std::max(shortcut, TextWidth(ItemFont(false), sc));
    }
    int width = kGutter + text + (shortcut ? kShortCutGap + shortcut : 0) + kArrowArea;
    return {width + 2 * kFrame, height + 2 * kFrame};
}

int LevelOf(HWND hwnd) {
    for (size_t i = 0; i < Session().levels.size(); ++i)
        if (Session().levels[i].Handle == hwnd) return static_cast<int>(i);
    return -1;
}

TRect RowRect(const TMenuLevel& level, int index) {
    int y = kFrame;
    for (int i = 0; i < index; ++i) y += RowHeight(level.Items[static_cast<size_t>(i)]);
    const int w = level.Bounds.Width();
    return {kFrame, y, w - kFrame, y + RowHeight(level.Items[static_cast<size_t>(index)])};
}

int RowAt(const TMenuLevel& level, TPoint client) {
    for (size_t i = 0; i < level.Items.size(); ++i)
        if (RowRect(level, static_cast<int>(i)).Contains(client.x, client.y)) return static_cast<int>(i);
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
