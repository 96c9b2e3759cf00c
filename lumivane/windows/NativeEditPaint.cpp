// The native edit's painting: the text as far as the view shows it, the selection and the caret.
#include <algorithm>
#include <string>

#include "lumivane/windows/NativeEditState.h"
#include "lumivane/gfx/text/Font.h"

namespace lumivane {

namespace native_edit {

namespace {

// Draws the text between two positions, cut to the visible part [shownFrom, shownTo).
void PaintRun(HDC dc, int x, int y, const EditEngine& e, int from, int to, int shownFrom, int shownTo) {
    from = std::max(from, shownFrom);
    to = std::min(to, shownTo);
    const std::string shown = e.DisplayText(from, to);
    TextOutA(dc, x + e.PosToX(from), y, shown.c_str(), static_cast<int>(shown.size()));
}

} // namespace

int ViewWidth(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return rc.Width() - kMarginLeft - kMarginRight;
}

int TextOriginX(HWND hwnd, const EditState& s) {
    const uint32_t align = StyleOf(hwnd) & (ES_CENTER | ES_RIGHT);
    if (align != ES_LEFT) {
        const int spare = ViewWidth(hwnd) - s.engine.PosToX(s.engine.Length());
        if (spare > 0) return kMarginLeft + (align == ES_RIGHT ? spare - 1 : spare / 2);
    }
    return kMarginLeft - s.engine.ScrollX();
}

int TextTop(HWND hwnd, const EditState& s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return (rc.Height() - GetFontMetrics(FontOf(s)).height) / 2;
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    EditState* s = StateOf(hwnd);
    if (!dc || !s) {
        EndPaint(hwnd, &ps);
        return;
    }
    RECT rc;
    GetClientRect(hwnd, &rc);
    dc->font = FontOf(*s);
    dc->textColor = clWindowText;
    dc->bkColor = clWindow;
    TColor background = clWindow;
    if (HWND parent = GetParent(hwnd)) {
        const LRESULT answer = SendMessageA(parent, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                            reinterpret_cast<LPARAM>(hwnd));
        if (IsCtlColorBrush(answer)) background = CtlColorBrushColor(answer);
    }
    if (!IsWindowEnabled(hwnd)) dc->textColor = clGrayText;
    dc->FillRect(rc, background);

    const EditEngine& e = s->engine;
    const int x = TextOriginX(hwnd, *s);
    const int y = TextTop(hwnd, *s);
    // Only what the view shows is drawn, with a font's height to spare on each side for ink
    // that hangs beyond a character's advance: a long text costs no more than a short one.
    const int slack = GetFontMetrics(dc->font).height;
    const int shownFrom = e.PrevPos(e.XToPos(kMarginLeft - x - slack));
    const int shownTo = e.NextPos(e.XToPos(rc.Right - kMarginRight - x + slack));
    const bool showSel = e.HasSelection() && (s->focused || (StyleOf(hwnd) & ES_NOHIDESEL));
    const int selFrom = showSel ? e.SelStart() : e.Length();
    const int selTo = showSel ? e.SelEnd() : e.Length();
    // Text stays out of the margins; the full clip comes back before EndPaint, which presents
    // what the context's clip covers.
    const Region fullClip = dc->Clip();
    dc->IntersectClip({kMarginLeft, 0, rc.Right - kMarginRight, rc.Bottom});
    dc->bkMode = TRANSPARENT;
    PaintRun(dc, x, y, e, 0, selFrom, shownFrom, shownTo);
    PaintRun(dc, x, y, e, selTo, e.Length(), shownFrom, shownTo);
    if (showSel) {
        const TColor text = dc->textColor;
        dc->bkMode = OPAQUE;
        dc->bkColor = clHighlight;
        dc->textColor = clHighlightText;
        PaintRun(dc, x, y, e, selFrom, selTo, shownFrom, shownTo);
        dc->textColor = text;
    }
    if (s->focused && s->caretOn) {
        const int cx = x + e.PosToX(e.Caret());
        dc->FillRect({cx, y, cx + 1, y + GetFontMetrics(dc->font).height}, dc->textColor);
    }
    dc->SetClip(fullClip);
    EndPaint(hwnd, &ps);
}

void InvalidateCaret(HWND hwnd, const EditState& s) {
    const int cx = TextOriginX(hwnd, s) + s.engine.PosToX(s.engine.Caret());
    const int y = TextTop(hwnd, s);
    const RECT r{cx, y, cx + 1, y + GetFontMetrics(FontOf(s)).height};
    InvalidateRect(hwnd, &r, false);
}

}  // namespace native_edit

}  // namespace lumivane
