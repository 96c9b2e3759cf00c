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

void PaintItem(HDC dc, const TMenuLevel& level, int index) {
    const TMenuItem* item = level.Items[static_cast<size_t>(index)];
    TRect r = RowRect(level, index);
    if (item->IsLine()) {
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
        const std::string& c = item->Caption();
        DrawTextA(dc, c.c_str(), static_cast<int>(c.size()), &tr, kCaptionFormat);
        std::string sc = ShortCutToText(item->ShortCut());
        if (!sc.empty()) {
            dc->font = ItemFont(false);
            DrawTextA(dc, sc.c_str(), static_cast<int>(sc.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
            dc->font = ItemFont(item->Default());
        }
    };
    // A disabled item not selected is embossed: a light copy one pixel down and right.
    if (!item->Enabled() && !selected) draw(clBtnHighlight, 1);
    draw(text, 0);
    if (HasSubmenu(item)) DrawArrow(dc, r.Right - kArrowArea / 2 - 2, cy, text);
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
        for (size_t i = 0; i < level.Items.size(); ++i) PaintItem(dc, level, static_cast<int>(i));
    }
    EndPaint(hwnd, &ps);
}

}  // namespace MenuWindowInternal

}  // namespace lumivane
