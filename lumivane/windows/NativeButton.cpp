#include "lumivane/windows/NativeButton.h"


#include "lumivane/windows/Window.h"
#include "lumivane/gfx/text/DrawText.h"

namespace lumivane {

// Behaviour of the push button, by input:
//   left press / double click   capture, focus, selected
//   move while pressed          selected exactly while the point is on the button
//   left release                uncapture, unselected; BN_CLICKED if released on the button
//   Space down (not a repeat)   selected
//   Space up                    BN_CLICKED if still selected; unselected
//   focus lost while pressed    press cancelled, no click
// Enter is the dialog's business (default button), not the button's.

namespace {

struct ButtonState : WindowData {
    bool selected = false;
    bool mouseDown = false; // a left press is being tracked
    bool spaceDown = false;
    HFONT font = nullptr;
};

ButtonState* StateOf(HWND hwnd) { return WindowDataOf<ButtonState>(hwnd); }

uint32_t StyleOf(HWND hwnd) { return static_cast<uint32_t>(GetWindowLongPtrA(hwnd, GWL_STYLE)); }
bool IsOwnerDraw(HWND hwnd) { return (StyleOf(hwnd) & BS_TYPEMASK) == BS_OWNERDRAW; }
UINT IdOf(HWND hwnd) { return static_cast<UINT>(GetWindowLongPtrA(hwnd, GWLP_ID)); }

void SetSelected(HWND hwnd, ButtonState& s, bool selected) {
    if (s.selected == selected) return;
    s.selected = selected;
    InvalidateRect(hwnd, nullptr, false);
}

// On the button: inside the client area and, for a shaped button, inside its region.
bool HitTest(HWND hwnd, int x, int y) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (!rc.Contains(x, y)) return false;
    Region rgn;
    if (GetWindowRgn(hwnd, &rgn) != ERROR && !rgn.Contains(x, y)) return false;
    return true;
}

// The notification goes last: the parent's handler may destroy the button.
void NotifyClick(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    if (parent)
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(IdOf(hwnd), BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
}

void Press(HWND hwnd) {
    if (GetFocus() != hwnd) SetFocus(hwnd);
    ButtonState* s = StateOf(hwnd); // focus handlers may have destroyed the button
    if (!s) return;
    SetCapture(hwnd);
    s->mouseDown = true;
    SetSelected(hwnd, *s, true);
}

void Release(HWND hwnd, LPARAM lp) {
    ButtonState* s = StateOf(hwnd);
    if (!s || !s->mouseDown) return;
    const bool click = s->selected && HitTest(hwnd, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    s->mouseDown = false; // before releasing, so the capture change is not taken as a cancel
    SetSelected(hwnd, *s, false);
    if (GetCapture() == hwnd) ReleaseCapture();
    if (click) NotifyClick(hwnd);
}

void CancelPress(HWND hwnd, ButtonState& s) {
    s.mouseDown = false;
    s.spaceDown = false;
    SetSelected(hwnd, s, false);
}

void Bevel(HDC dc, const TRect& r, TColor topLeft, TColor bottomRight) {
    dc->pen.color = topLeft;
    dc->MoveTo(r.Left, r.Bottom - 1);
    dc->LineTo(r.Left, r.Top);
    dc->LineTo(r.Right - 1, r.Top);
    dc->pen.color = bottomRight;
    dc->LineTo(r.Right - 1, r.Bottom - 1);
    dc->LineTo(r.Left - 1, r.Bottom - 1);
}

TRect Inflate(const TRect& r, int d) { return {r.Left - d, r.Top - d, r.Right + d, r.Bottom + d}; }

// The plain look of a push button that is not owner-drawn.
void PaintStandard(HWND hwnd, HDC dc, const ButtonState& s) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const bool enabled = IsWindowEnabled(hwnd);
    const bool focused = GetFocus() == hwnd;
    const bool isDefault = (StyleOf(hwnd) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    dc->FillRect(rc, clBtnFace);
    dc->pen = PenState{};
    TRect r = rc;
    if (isDefault || focused) {
        dc->brush.style = BS_NULL;
        dc->pen.color = cl3DDkShadow;
        dc->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
        r = Inflate(r, -1);
    }
    if (s.selected) {
        dc->brush.style = BS_NULL;
        dc->pen.color = clBtnShadow;
        dc->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    } else {
        Bevel(dc, r, clBtnHighlight, cl3DDkShadow);
        Bevel(dc, Inflate(r, -1), cl3DLight, clBtnShadow);
    }
    dc->brush = BrushState{};

    const int len = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(len) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), len + 1)));
    TRect tr = rc;
    if (s.selected) tr = tr.Offset(1, 1);
    dc->font = s.font;
    dc->bkMode = TRANSPARENT;
    const unsigned fmt = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (enabled) {
        dc->textColor = clBtnText;
        DrawTextA(dc, text.c_str(), -1, &tr, fmt);
    } else {
        // Etched: a highlight copy one pixel down-right under the grey text.
        TRect etched = tr.Offset(1, 1);
        dc->textColor = clBtnHighlight;
        DrawTextA(dc, text.c_str(), -1, &etched, fmt);
        dc->textColor = clBtnShadow;
        DrawTextA(dc, text.c_str(), -1, &tr, fmt);
    }
    if (focused) dc->DrawFocusRect(Inflate(rc, -4));
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    ButtonState* s = StateOf(hwnd);
    if (dc && s) {
        if (IsOwnerDraw(hwnd)) {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_BUTTON;
            dis.CtlID = IdOf(hwnd);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = (s->selected ? UINT(ODS_SELECTED) : 0u) | (GetFocus() == hwnd ? UINT(ODS_FOCUS) : 0u) |
                            (IsWindowEnabled(hwnd) ? 0u : UINT(ODS_DISABLED));
            dis.hwndItem = hwnd;
            dis.hDC = dc;
            GetClientRect(hwnd, &dis.rcItem);
            if (HWND parent = GetParent(hwnd))
                SendMessageA(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        } else {
            PaintStandard(hwnd, dc, *s);
        }
    }
    EndPaint(hwnd, &ps);
}

void Measure(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    if (!parent || !IsOwnerDraw(hwnd)) return;
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_BUTTON;
    mis.CtlID = IdOf(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    mis.itemWidth = static_cast<UINT>(rc.Width());
    mis.itemHeight = static_cast<UINT>(rc.Height());
    SendMessageA(parent, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
}

bool IsRepeat(LPARAM lp) { return (static_cast<uintptr_t>(lp) & (1u << 30)) != 0; }

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        MakeWindowData<ButtonState>(hwnd);
        Measure(hwnd);
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    ButtonState* s = StateOf(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_DESTROY:
        // Later messages (WM_NCDESTROY) get the plain window's handling.
        RemoveWindowData<ButtonState>(hwnd);
        return DefWindowProcA(hwnd, msg, wp, lp);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        Press(hwnd);
        return 0;
    case WM_MOUSEMOVE:
        if (s->mouseDown && GetCapture() == hwnd)
            SetSelected(hwnd, *s, HitTest(hwnd, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
        return 0;
    case WM_LBUTTONUP:
        Release(hwnd, lp);
        return 0;
    case WM_CAPTURECHANGED:
        if (s->mouseDown && reinterpret_cast<HWND>(lp) != hwnd) CancelPress(hwnd, *s);
        return 0;
    case WM_KEYDOWN:
        if (wp == VK_SPACE && !IsRepeat(lp) && !s->mouseDown) {
            s->spaceDown = true;
            SetSelected(hwnd, *s, true);
        }
        return 0;
    case WM_KEYUP:
        if (wp == VK_SPACE && s->spaceDown) {
            s->spaceDown = false;
            const bool click = s->selected;
            SetSelected(hwnd, *s, false);
            if (click) NotifyClick(hwnd);
        }
        return 0;
    case WM_SETFOCUS:
        InvalidateRect(hwnd, nullptr, false);
        return 0;
    case WM_KILLFOCUS:
        if (s->mouseDown || s->spaceDown) {
            const bool captured = s->mouseDown && GetCapture() == hwnd;
            CancelPress(hwnd, *s);
            if (captured) ReleaseCapture();
        }
        InvalidateRect(hwnd, nullptr, false);
        return 0;
    case WM_ENABLE:
        if (!wp) CancelPress(hwnd, *s);
        InvalidateRect(hwnd, nullptr, false);
        return 0;
    case BM_GETSTATE:
        return (s->selected ? UINT(BST_PUSHED) : 0u) | (GetFocus() == hwnd ? UINT(BST_FOCUS) : 0u);
    case BM_SETSTATE:
        SetSelected(hwnd, *s, wp != 0);
        return 0;
    case BM_SETSTYLE: {
        const uint32_t style = (StyleOf(hwnd) & ~uint32_t(BS_TYPEMASK)) | (static_cast<uint32_t>(wp) & BS_TYPEMASK);
        SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>(style));
        if (lp) InvalidateRect(hwnd, nullptr, false);
        return 0;
    }
    case BM_CLICK:
        if (IsWindowEnabled(hwnd)) NotifyClick(hwnd);
        return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wp);
        if (lp) InvalidateRect(hwnd, nullptr, false);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_SETTEXT: {
        const LRESULT r = DefWindowProcA(hwnd, msg, wp, lp);
        InvalidateRect(hwnd, nullptr, false);
        return r;
    }
    case WM_ERASEBKGND:
        return 1; // the face covers everything; erasing first would only flicker
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

} // namespace

void RegisterNativeButtonClass() {
    WNDCLASS wc{};
    wc.lpszClassName = "BUTTON";
    wc.lpfnWndProc = ButtonProc;
    wc.style = CS_DBLCLKS;
    RegisterClassA(wc);
}

}  // namespace lumivane
