#include "lumivane/windows/NativeEdit.h"

#include <cstring>

#include "lumivane/windows/EditEngine.h"
#include "lumivane/windows/NativeEditState.h"
#include "lumivane/windows/Window.h"
#include "lumivane/gfx/text/Font.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace {

using namespace native_edit;

constexpr uintptr_t kCaretTimer = 0xCA7E7; // distinct from ids a subclass might pick
constexpr UINT kCaretBlinkMs = 530;
bool IsReadOnly(HWND hwnd) { return (StyleOf(hwnd) & ES_READONLY) != 0; }

void SetStyleBit(HWND hwnd, uint32_t bit, bool on) {
    const uint32_t style = StyleOf(hwnd);
    SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>(on ? style | bit : style & ~bit));
}

// The engine measures with the edit's font; it is told again whenever the font changes.
void SyncMeasure(EditState& s) {
    HFONT font = FontOf(s);
    s.engine.SetMeasure([font](const std::string& text) { return TextWidth(font, text); });
}

int PosFromClientX(HWND hwnd, const EditState& s, int x) {
    return s.engine.XToPos(x - TextOriginX(hwnd, s));
}

void Notify(HWND hwnd, UINT code) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    const int id = static_cast<int>(GetWindowLongPtrA(hwnd, GWLP_ID));
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(hwnd));
}

// After anything that moved the caret or changed the text: keep the caret in view, show it
// solid (the blink restarts) and repaint.
void Refresh(HWND hwnd, EditState& s) {
    s.engine.ScrollToCaret(ViewWidth(hwnd));
    if (s.focused) {
        s.caretOn = true;
        SetTimer(hwnd, kCaretTimer, kCaretBlinkMs, nullptr);
    }
    InvalidateRect(hwnd, nullptr, false);
}

// Runs after the engine changed (or not) the text; the notification goes last because the
// parent's handler may do anything, destroying the edit included.
void Changed(HWND hwnd, EditState& s, bool changed) {
    Refresh(hwnd, s);
    if (changed) Notify(hwnd, EN_CHANGE);
}

void SyncCase(HWND hwnd, EditState& s) {
    const uint32_t style = StyleOf(hwnd);
    s.engine.SetCase((style & ES_UPPERCASE)   ? EditEngine::TCase::Upper
                     : (style & ES_LOWERCASE) ? EditEngine::TCase::Lower
                                              : EditEngine::TCase::None);
}

void Insert(HWND hwnd, EditState& s, const std::string& text, bool typing) {
    SyncCase(hwnd, s);
    Changed(hwnd, s, s.engine.ReplaceSel(text, typing));
}

void Paste(HWND hwnd, bool primary) {
    if (IsReadOnly(hwnd)) return;
    std::string clip;
    if (!(primary ? GetPrimarySelectionText(&clip) : GetClipboardText(&clip))) return;
    // Another program's text may take a while to come, and the program kept running meanwhile:
    // the edit may have gone, or become read-only.
    EditState* s = StateOf(hwnd);
    if (!s || IsReadOnly(hwnd)) return;
    // A single line: everything from the first line break or NUL on is dropped.
    const size_t end = clip.find_first_of(std::string("\r\n\0", 3));
    if (end != std::string::npos) clip.resize(end);
    if (clip.empty()) return;
    Insert(hwnd, *s, clip, false);
}

bool Copy(const EditState& s) {
    if (s.engine.PasswordChar() || !s.engine.HasSelection()) return false;
    return SetClipboardText(s.engine.SelText());
}

// What the user selects is offered as the primary selection, as every X program does (a
// password never is).
void OfferSelection(const EditState& s) {
    if (s.engine.PasswordChar() || !s.engine.HasSelection()) return;
    SetPrimarySelectionText(s.engine.SelText());
}

void KeyDown(HWND hwnd, EditState& s, WPARAM vk) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    EditEngine& e = s.engine;
    switch (vk) {
    case VK_LEFT:
        if (ctrl)
            e.MoveTo(e.WordLeft(e.Caret()), shift);
        else if (e.HasSelection() && !shift)
            e.MoveTo(e.SelStart(), false);
        else
            e.MoveTo(e.PrevPos(e.Caret()), shift);
        break;
    case VK_RIGHT:
        if (ctrl)
            e.MoveTo(e.WordRight(e.Caret()), shift);
        else if (e.HasSelection() && !shift)
            e.MoveTo(e.SelEnd(), false);
        else
            e.MoveTo(e.NextPos(e.Caret()), shift);
        break;
    case VK_HOME: e.MoveTo(0, shift); break;
    case VK_END: e.MoveTo(e.Length(), shift); break;
    case VK_DELETE:
        if (shift) {
            SendMessageA(hwnd, WM_CUT, 0, 0);
            return;
        }
        if (IsReadOnly(hwnd)) return;
        Changed(hwnd, s, e.DeleteForward());
        return;
    case VK_INSERT:
        if (shift)
            SendMessageA(hwnd, WM_PASTE, 0, 0);
        else if (ctrl)
            SendMessageA(hwnd, WM_COPY, 0, 0);
        return;
    default:
        if (!ctrl || shift) return;
        // Sent to our own window so that a subclass sees (and may replace) each operation.
        switch (vk) {
        case 'A':
            e.SelectAll();
            OfferSelection(s);
            break;
        case 'C': SendMessageA(hwnd, WM_COPY, 0, 0); return;
        case 'X': SendMessageA(hwnd, WM_CUT, 0, 0); return;
        case 'V': SendMessageA(hwnd, WM_PASTE, 0, 0); return;
        case 'Z': SendMessageA(hwnd, WM_UNDO, 0, 0); return;
        default: return;
        }
    }
    if (shift) OfferSelection(s);
    Refresh(hwnd, s);
}

void Char(HWND hwnd, EditState& s, WPARAM wp) {
    if (IsReadOnly(hwnd)) return;
    const auto ch = static_cast<char32_t>(wp);
    if (ch == '\b') {
        Changed(hwnd, s, s.engine.DeleteBack());
        return;
    }
    // Ctrl+letters, Tab, Enter, Esc, Ctrl+Backspace and the C1 controls; and no character at all.
    if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0) || !IsScalarValue(ch)) return;
    std::string text;
    AppendUtf8(text, ch);
    Insert(hwnd, s, text, true);
}

void MouseDown(HWND hwnd, WPARAM wp, LPARAM lp, bool dbl) {
    if (GetFocus() != hwnd) SetFocus(hwnd);
    EditState* s = StateOf(hwnd); // the focus change may have run arbitrary handlers
    if (!s) return;
    const int pos = PosFromClientX(hwnd, *s, GET_X_LPARAM(lp));
    if (dbl) {
        s->engine.SelectWordAt(pos);
        OfferSelection(*s);
    } else {
        s->engine.MoveTo(pos, (wp & MK_SHIFT) != 0 || GetKeyState(VK_SHIFT) < 0);
        s->dragging = true;
        SetCapture(hwnd);
    }
    Refresh(hwnd, *s);
}

// A middle click pastes the primary selection where it lands, selection or not (as in X).
void MiddleClick(HWND hwnd, LPARAM lp) {
    if (IsReadOnly(hwnd)) return;
    if (GetFocus() != hwnd) SetFocus(hwnd);
    EditState* s = StateOf(hwnd); // the focus change may have run arbitrary handlers
    if (!s) return;
    s->engine.MoveTo(PosFromClientX(hwnd, *s, GET_X_LPARAM(lp)), false);
    Refresh(hwnd, *s);
    SendMessageA(hwnd, WM_PASTE, PASTE_PRIMARY, 0);
}

int SignedParam(uintptr_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) {
        EditState& s = *MakeWindowData<EditState>(hwnd);
        SyncMeasure(s);
        if (StyleOf(hwnd) & ES_PASSWORD) s.engine.SetPasswordChar('*');
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
        if (cs && cs->lpszName) s.engine.SetText(cs->lpszName);
        return 0;
    }
    EditState* sp = StateOf(hwnd);
    if (!sp) return DefWindowProcA(hwnd, msg, wp, lp);
    EditState& s = *sp;
    EditEngine& e = s.engine;
    switch (msg) {
    case WM_DESTROY:
        // Later messages (WM_NCDESTROY) get the plain window's handling.
        RemoveWindowData<EditState>(hwnd);
        return DefWindowProcA(hwnd, msg, wp, lp);
    case WM_CHAR:
        Char(hwnd, s, wp);
        return 0;
    case WM_KEYDOWN:
        KeyDown(hwnd, s, wp);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        MouseDown(hwnd, wp, lp, msg == WM_LBUTTONDBLCLK);
        return 0;
    case WM_MOUSEMOVE:
        if (s.dragging && GetCapture() == hwnd) {
            e.MoveTo(PosFromClientX(hwnd, s, GET_X_LPARAM(lp)), true);
            Refresh(hwnd, s);
        }
        return 0;
    case WM_LBUTTONUP:
        if (s.dragging) {
            s.dragging = false;
            if (GetCapture() == hwnd) ReleaseCapture();
            OfferSelection(s);
        }
        return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: // each click pastes again
        MiddleClick(hwnd, lp);
        return 0;
    case WM_CAPTURECHANGED:
        s.dragging = false;
        return 0;
    case WM_SETFOCUS:
        s.focused = true;
        Refresh(hwnd, s);
        Notify(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s.focused = false;
        s.caretOn = false;
        KillTimer(hwnd, kCaretTimer);
        InvalidateRect(hwnd, nullptr, false);
        Notify(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_TIMER:
        if (wp != kCaretTimer) return DefWindowProcA(hwnd, msg, wp, lp);
        if (s.focused) {
            s.caretOn = !s.caretOn;
            InvalidateCaret(hwnd, s);
        } else {
            KillTimer(hwnd, kCaretTimer);
        }
        return 0;
    case WM_SIZE:
        Refresh(hwnd, s);
        return DefWindowProcA(hwnd, msg, wp, lp);
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, false);
        return 0;
    case WM_ERASEBKGND:
        return 1; // painting fills the whole client area
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_SETFONT:
        s.font = reinterpret_cast<HFONT>(wp);
        SyncMeasure(s);
        e.ScrollToCaret(ViewWidth(hwnd));
        if (lp) InvalidateRect(hwnd, nullptr, false);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s.font);

    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lp);
        const bool changed = e.SetText(text ? text : "");
        e.SetModified(false);
        Changed(hwnd, s, changed);
        return 1;
    }
    case WM_GETTEXT: {
        char* buf = reinterpret_cast<char*>(lp);
        if (!buf || wp == 0) return 0;
        const size_t n = FitUtf8(e.Text(), static_cast<size_t>(wp - 1));
        std::memcpy(buf, e.Text().data(), n);
        buf[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return e.Length();

    case WM_COPY:
        Copy(s);
        return 0;
    case WM_CUT:
        if (IsReadOnly(hwnd) || !Copy(s)) return 0;
        Changed(hwnd, s, e.ReplaceSel(std::string()));
        return 0;
    case WM_CLEAR:
        if (IsReadOnly(hwnd) || !e.HasSelection()) return 0;
        Changed(hwnd, s, e.ReplaceSel(std::string()));
        return 0;
    case WM_PASTE:
        Paste(hwnd, wp == PASTE_PRIMARY);
        return 0;
    case WM_UNDO:
    case EM_UNDO:
        if (IsReadOnly(hwnd) || !e.CanUndo()) return 0;
        Changed(hwnd, s, e.Undo());
        return 1;

    case EM_GETSEL: {
        const auto start = static_cast<uint32_t>(e.CharPos(e.SelStart()));
        const auto end = static_cast<uint32_t>(e.CharPos(e.SelEnd()));
        if (wp) *reinterpret_cast<uint32_t*>(wp) = start;
        if (lp) *reinterpret_cast<uint32_t*>(lp) = end;
        return static_cast<LRESULT>(MAKELPARAM(static_cast<int>(start), static_cast<int>(end)) & 0xFFFFFFFF);
    }
    case EM_SETSEL: {
        const int start = SignedParam(wp);
        const int end = SignedParam(static_cast<uintptr_t>(lp));
        if (start < 0)
            e.MoveTo(e.Caret(), false); // deselect, caret stays
        else
            e.SetSel(e.BytePos(start), end < 0 ? e.Length() : e.BytePos(end));
        Refresh(hwnd, s);
        return 0;
    }
    case EM_POSFROMCHAR: {
        const int index = SignedParam(wp);
        if (index < 0 || index > e.CharCount()) return -1;
        const int x = TextOriginX(hwnd, s) + e.PosToX(e.BytePos(index));
        return static_cast<LRESULT>(MAKELPARAM(x, TextTop(hwnd, s)) & 0xFFFFFFFF);
    }
    case EM_CHARFROMPOS: {
        const int x = GET_X_LPARAM(lp);
        return e.CharPos(e.XToPos(x - TextOriginX(hwnd, s)));
    }
    case EM_SCROLLCARET:
        Refresh(hwnd, s);
        return 1;
    case EM_REPLACESEL: {
        const char* text = reinterpret_cast<const char*>(lp);
        Insert(hwnd, s, text ? text : "", false);
        return 0;
    }
    case EM_LIMITTEXT: // also EM_SETLIMITTEXT
        e.SetLimit(SignedParam(wp) < 0 ? 0 : SignedParam(wp));
        return 0;
    case EM_GETLIMITTEXT:
        return e.Limit();
    case EM_SETREADONLY:
        SetStyleBit(hwnd, ES_READONLY, wp != 0);
        InvalidateRect(hwnd, nullptr, false);
        return 1;
    case EM_SETPASSWORDCHAR: {
        // A character (code point); anything that is none turns masking off.
        const auto ch = static_cast<char32_t>(wp);
        const bool valid = ch >= 0x20 && IsScalarValue(ch);
        e.SetPasswordChar(valid ? ch : 0);
        SetStyleBit(hwnd, ES_PASSWORD, valid);
        Refresh(hwnd, s);
        return 0;
    }
    case EM_CANUNDO:
        return e.CanUndo() ? 1 : 0;
    case EM_EMPTYUNDOBUFFER:
        e.EmptyUndo();
        return 0;
    case EM_GETMODIFY:
        return e.Modified() ? 1 : 0;
    case EM_SETMODIFY:
        e.SetModified(wp != 0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

} // namespace

std::string_view NativeEditText(HWND hwnd) {
    const EditState* s = StateOf(hwnd);
    return s ? std::string_view(s->engine.Text()) : std::string_view();
}

void RegisterNativeEditClass() {
    WNDCLASS wc{};
    wc.lpszClassName = "EDIT";
    wc.lpfnWndProc = EditProc;
    wc.style = CS_DBLCLKS;
    wc.cursor = CursorKind::IBeam;
    RegisterClassA(wc);
}

}  // namespace lumivane
