// The painting of an open menu: its raised frame, rows, check marks, submenu arrows and the
// embossed text of disabled items.
#include "lumivane/framework/MenuWindowInternal.h"

#include <string>

#include "lumivane/framework/MenuItem.h"
#include "lumivane/gfx/text/DrawText.h"

namespace lumivane {

using namespace MenuWindowInternal;

namespace MenuWindowInternal {


void DrawCheck(HDC dc, int cx, int cy, TColor color, bool radio) {
    if (radio) {
        for (int dy = -2; dy <= 2; ++dy) {
            int half = dy == -2 || dy == 2 ? 1 : 2;
            for (int dx = -half; dx <= half; ++dx) dc->SetPixel(cx + dx, cy + dy, color);
        }
        return;
    }
    // A tick three pixels thick: down to the right from (cx-3, cy-1), then up to (cx+3, cy-3).
    for (int t = 0; t < 3; ++t) {
        for (int i = 0; i <= 2; ++i) dc->SetPixel(cx - 3 + i, cy - 1 + i + t, color);
        for (int i = 0; i <= 4; ++i) dc->SetPixel(cx - 1 + i, cy + 1 - i + t, color);
    }
}

void DrawArrow(HDC dc, int x, int cy, TColor color) {
    for (int i = 0; i < 4; ++i)
        for (int y = cy - 3 + i; y <= cy + 3 - i; ++y) dc->SetPixel(x + i, y, color);
}

void DrawScrollArrow(HDC dc, const TRect& strip, int dir, bool more) {
    dc->FillRect(strip, clMenu);
    const TColor color = more ? clMenuText : clGrayText;
    const int cx = (strip.Left + strip.Right) / 2, cy = (strip.Top + strip.Bottom) / 2;
    // A triangle four rows high, pointing the way the rows would come from.
    for (int i = 0; i < 4; ++i) {
        const int y = dir < 0 ? cy - 2 + i : cy + 1 - i;
        dc->FillRect({cx - i, y, cx + i + 1, y + 1}, color);
    }
}

void PaintItem(HDC dc, const TMenuLevel& level, int index) {
    const TMenuItem* item = level.Items[static_cast<size_t>(index)];
    const TMenuRow& row = level.Rows[static_cast<size_t>(index)];
    TRect r = RowRect(level, index);
    if (row.Line) {
        dc->FillRect(r, clMenu);
        int y = r.Top + kSeparatorHeight / 2 - 1;
        dc->FillRect({r.Left + 1, y, r.Right - 1, y + 1}, clBtnShadow);
        dc->FillRect({r.Left + 1, y + 1, r.Right - 1, y + 2}, clBtnHighlight);
        return;
    }
    const bool selected = index == level.Selected;
    dc->FillRect(r, selected ? clHighlight : clMenu);
    TColor text = !item->Enabled() ? clGrayText : selected ? clHighlightText : clMenuText;
    const int cy = r.Top + r.Height() / 2;
    if (item->Checked()) DrawCheck(dc, r.Left + kGutter / 2, cy, text, item->RadioItem());
    dc->font = ItemFont(item->Default());
    dc->bkMode = TRANSPARENT;
    auto draw = [&](TColor color, int offset) {
        dc->textColor = color;
        RECT tr{r.Left + kGutter + offset, r.Top + offset, r.Right - kArrowArea + offset, r.Bottom + offset};
        RECT cr = tr;
        UINT format = kCaptionFormat;
        if (row.Cut) {
            cr.Right = cr.Left + level.TextWidth;
            format |= DT_END_ELLIPSIS;
        }
        DrawTextA(dc, item->Caption().data(), static_cast<int>(row.CaptionBytes), &cr, format);
        if (!row.ShortCut.empty()) {
            dc->font = ItemFont(false);
            DrawTextA(dc, row.ShortCut.c_str(), static_cast<int>(row.ShortCut.size()), &tr,
                      DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
            dc->font = ItemFont(item->Default());
        }
    };
    // A disabled item not selected is embossed: a light copy one pixel down and right.
    if (!item->Enabled() && !selected) draw(clBtnHighlight, 1);
    draw(text, 0);
    if (row.Submenu) DrawArrow(dc, r.Right - kArrowArea / 2 - 2, cy, text);
}

void PaintLevel(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) return;
    int li = LevelOf(hwnd);
    RECT r;
    GetClientRect(hwnd, &r);
    // Raised edge: light outside top-left, dark outside bottom-right, then the inner pair.
    dc->FillRect(r, cl3DDkShadow);
    dc->FillRect({r.Left, r.Top, r.Right - 1, r.Bottom - 1}, cl3DLight);
    dc->FillRect({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}, clBtnShadow);
    dc->FillRect({r.Left + 1, r.Top + 1, r.Right - 2, r.Bottom - 2}, clBtnHighlight);
    dc->FillRect({r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2}, clMenu);
    if (li >= 0) {
        const TMenuLevel& level = Session().levels[static_cast<size_t>(li)];
        // Only the rows in view, and of those only the ones the paint is for.
        const int last = LastVisibleRow(level);
        for (int i = level.FirstRow; i <= last; ++i) {
            const TRect row = RowRect(level, i);
            if (row.Bottom <= ps.rcPaint.Top) continue;
            if (row.Top >= ps.rcPaint.Bottom) break;
            PaintItem(dc, level, i);
        }
        if (level.Scrolls) {
            const int w = level.Bounds.Width(), h = level.Bounds.Height();
            DrawScrollArrow(dc, {kFrame, kFrame, w - kFrame, ViewTop(level)}, -1, level.FirstRow > 0);
            DrawScrollArrow(dc, {kFrame, ViewBottom(level), w - kFrame, h - kFrame}, 1,
                            level.FirstRow < level.MaxFirstRow);
        }
    }
    EndPaint(hwnd, &ps);
}

}  // namespace MenuWindowInternal

}  // namespace lumivane
