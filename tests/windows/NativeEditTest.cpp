#include <gtest/gtest.h>

#include <string>

#include "lumivane/windows/NativeEdit.h"
#include "lumivane/windows/Window.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/gfx/text/Font.h"

using namespace lumivane;

namespace {

struct Record {
    int changes = 0;
    int setFocus = 0;
    int killFocus = 0;
    LRESULT ctlColor = 0; // what the host answers to WM_CTLCOLOREDIT
};
Record g;

LRESULT HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == EN_CHANGE) ++g.changes;
        if (HIWORD(wp) == EN_SETFOCUS) ++g.setFocus;
        if (HIWORD(wp) == EN_KILLFOCUS) ++g.killFocus;
        return 0;
    case WM_CTLCOLOREDIT:
        if (g.ctlColor) reinterpret_cast<HDC>(wp)->textColor = clRed;
        return g.ctlColor;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

// A subclass as the framework makes one: it sees every message first.
struct Sub {
    WNDPROC old = nullptr;
    int pastes = 0;
    int timers = 0;
    char drop = 0;
    bool replacePaste = false;
};
Sub sub;

LRESULT SubProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR && static_cast<char>(wp) == sub.drop) return 0;
    if (msg == WM_CHAR && wp == '1') wp = '!'; // a subclass may also change the character
    if (msg == WM_TIMER) ++sub.timers;
    if (msg == WM_PASTE) {
        ++sub.pastes;
        if (sub.replacePaste) {
            SendMessageA(hwnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("[filtered]"));
            return 0;
        }
    }
    return CallWindowProcA(sub.old, hwnd, msg, wp, lp);
}

class NativeEdit : public ::testing::Test {
protected:
    void SetUp() override {
        g = Record{};
        sub = Sub{};
        WNDCLASS wc;
        wc.lpszClassName = "NativeEditHost";
        wc.lpfnWndProc = HostProc;
        ASSERT_TRUE(RegisterClassA(wc));
        host = CreateWindowExA(0, "NativeEditHost", "host", WS_OVERLAPPED | WS_VISIBLE, 100, 100, 240, 60, nullptr, 0,
                               nullptr);
        edit = Make(0);
        s.Pump();
    }

    HWND Make(uint32_t style, const char* text = "") {
        HWND h = CreateWindowExA(0, "EDIT", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 150, 20, host, 9, nullptr);
        EXPECT_TRUE(h);
        return h;
    }
    void Focus(HWND h) {
        SetFocus(h);
        s.Pump();
    }
    void Subclass(HWND h) {
        sub.old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubProc)));
    }
    std::string Text(HWND h) const { return GetWindowTextString(h); }
    std::pair<int, int> Sel(HWND h) const {
        const auto r = static_cast<uintptr_t>(SendMessageA(h, EM_GETSEL, 0, 0));
        return {LOWORD(r), HIWORD(r)};
    }
    // Client x of the boundary before character `pos` with no scrolling: the 2 px margin plus the prefix.
    int XOf(HWND h, int pos) const { return 2 + TextWidth(GetDefaultFont(), Text(h).substr(0, pos)); }
    int TextTop() const { return (20 - GetFontMetrics(GetDefaultFont()).height) / 2; }

    HeadlessSession s;
    HWND host = nullptr;
    HWND edit = nullptr;
};

} // namespace

TEST_F(NativeEdit, TypingInsertsAndNotifiesOncePerChange) {
    Focus(edit);
    EXPECT_EQ(g.setFocus, 1);
    s.Type("hello");
    EXPECT_EQ(Text(edit), "hello");
    EXPECT_EQ(g.changes, 5);
    EXPECT_EQ(Sel(edit), std::make_pair(5, 5));
    s.Type("\t\x01\x1b\r"); // control characters and Ctrl+letters insert nothing
    s.Type("\b");
    EXPECT_EQ(Text(edit), "hell");
    EXPECT_EQ(g.changes, 6);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("hell"));
    EXPECT_EQ(g.changes, 6); // same text: no change
    SetWindowTextA(edit, "other");
    EXPECT_EQ(g.changes, 7);
    s.Key(VK_END);
    s.Key(VK_DELETE); // nothing after the caret
    EXPECT_EQ(g.changes, 7);
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 5);
    EXPECT_EQ(SendMessageA(edit, EM_GETMODIFY, 0, 0), 0); // set by program, not by the user
    s.Type("s");
    EXPECT_EQ(SendMessageA(edit, EM_GETMODIFY, 0, 0), 1);
}

TEST_F(NativeEdit, KeyboardMovesAndSelects) {
    Focus(edit);
    s.Type("one two three");
    s.Key(VK_LEFT, MK_SHIFT);
    s.Key(VK_LEFT, MK_SHIFT);
    EXPECT_EQ(Sel(edit), std::make_pair(11, 13));
    s.Type("X");
    EXPECT_EQ(Text(edit), "one two thrX");
    s.Key(VK_LEFT, MK_CONTROL);
    EXPECT_EQ(Sel(edit), std::make_pair(8, 8));
    s.Key(VK_LEFT, MK_CONTROL | MK_SHIFT);
    EXPECT_EQ(Sel(edit), std::make_pair(4, 8));
    s.Key(VK_LEFT); // collapses the selection to its start
    EXPECT_EQ(Sel(edit), std::make_pair(4, 4));
    s.Key(VK_HOME, MK_SHIFT);
    EXPECT_EQ(Sel(edit), std::make_pair(0, 4));
    s.Key(VK_DELETE);
    EXPECT_EQ(Text(edit), "two thrX");
    s.Key(VK_END);
    s.Key(VK_RIGHT, MK_CONTROL);
    EXPECT_EQ(Sel(edit), std::make_pair(8, 8));
    s.Key('A', MK_CONTROL);
    EXPECT_EQ(Sel(edit), std::make_pair(0, 8));
}

TEST_F(NativeEdit, SelectionMessages) {
    SetWindowTextA(edit, "abcdef");
    SendMessageA(edit, EM_SETSEL, 1, 4);
    uint32_t start = 99, end = 99;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 4u);
    SendMessageA(edit, EM_SETSEL, 2, -1);
    EXPECT_EQ(Sel(edit), std::make_pair(2, 6));
    SendMessageA(edit, EM_SETSEL, WPARAM(-1), 0); // deselects, caret stays
    EXPECT_EQ(Sel(edit), std::make_pair(6, 6));
    SendMessageA(edit, EM_SETSEL, 1, 5);
    SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("\r\n"));
    EXPECT_EQ(Text(edit), "a\r\nf"); // programmatic replacement takes any text
    SendMessageA(edit, EM_REPLACESEL, 0, 0);
    EXPECT_EQ(Text(edit), "a\r\nf");

    SetWindowTextA(edit, "12345");
    char buf[8] = "zzzzzzz";
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buf)), 3);
    EXPECT_STREQ(buf, "123");
    buf[0] = 'z';
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), 0);
    EXPECT_EQ(buf[0], 'z');
}

TEST_F(NativeEdit, MouseClickDragShiftClickAndDoubleClick) {
    SetWindowTextA(edit, "hello world");
    s.ClickAt(edit, XOf(edit, 2), 10);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(Sel(edit), std::make_pair(2, 2));
    s.MoveTo(edit, XOf(edit, 1), 10);
    s.Press();
    EXPECT_EQ(GetCapture(), edit);
    s.MoveTo(edit, XOf(edit, 4), 10);
    s.Release();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Sel(edit), std::make_pair(1, 4));
    s.MoveTo(edit, XOf(edit, 7), 10);
    s.KeyDown(VK_SHIFT);
    s.Press();
    s.Release();
    s.KeyUp(VK_SHIFT);
    EXPECT_EQ(Sel(edit), std::make_pair(1, 7));
    s.MoveTo(edit, 0, 0);
    s.Wait(1000); // so the next two clicks are not taken for a double click with the last
    POINT p{XOf(edit, 8), 10};
    ClientToScreen(edit, &p);
    s.DoubleClick(p.x, p.y);
    EXPECT_EQ(Sel(edit), std::make_pair(6, 11));
}

TEST_F(NativeEdit, ClipboardCopyCutPaste) {
    Focus(edit);
    s.Type("hello");
    s.Key(VK_LEFT, MK_SHIFT);
    s.Key(VK_LEFT, MK_SHIFT);
    s.Key('C', MK_CONTROL);
    EXPECT_EQ(s.Clipboard(), "lo");
    s.Key('X', MK_CONTROL);
    EXPECT_EQ(Text(edit), "hel");
    s.Key(VK_HOME);
    s.Key('V', MK_CONTROL);
    EXPECT_EQ(Text(edit), "lohel");
    s.Paste("one\r\ntwo"); // only the first line
    EXPECT_EQ(Text(edit), "loonehel");
    s.Key(VK_HOME, MK_SHIFT);
    s.Key(VK_INSERT, MK_CONTROL);
    EXPECT_EQ(s.Clipboard(), "loone");
    s.Key(VK_DELETE, MK_SHIFT);
    EXPECT_EQ(Text(edit), "hel");
    s.Key(VK_INSERT, MK_SHIFT);
    EXPECT_EQ(Text(edit), "loonehel");
    s.Paste(std::string("x\0y", 3)); // up to the NUL
    EXPECT_EQ(Text(edit), "loonexhel");
}

// Where the limit cuts is the engine's rule; here the messages that set and read it, and typing
// that stops at it without a change notification.
TEST_F(NativeEdit, LimitMessagesAndTypingStopsAtTheLimit) {
    SendMessageA(edit, EM_LIMITTEXT, 5, 0);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 5);
    Focus(edit);
    s.Type("abcdefg");
    EXPECT_EQ(Text(edit), "abcde");
    EXPECT_EQ(g.changes, 5);
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    EXPECT_GE(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(NativeEdit, ReadOnlyAllowsSelectionAndCopyOnly) {
    SetWindowTextA(edit, "fixed");
    SendMessageA(edit, EM_SETREADONLY, 1, 0);
    EXPECT_TRUE(GetWindowLongPtrA(edit, GWL_STYLE) & ES_READONLY);
    Focus(edit);
    g.changes = 0;
    s.Type("x\b");
    s.Key(VK_DELETE);
    s.Key('A', MK_CONTROL);
    s.Key('C', MK_CONTROL);
    EXPECT_EQ(s.Clipboard(), "fixed");
    s.Key('X', MK_CONTROL);
    s.Paste("other");
    s.Key('Z', MK_CONTROL);
    EXPECT_EQ(Text(edit), "fixed");
    EXPECT_EQ(Sel(edit), std::make_pair(0, 5));
    EXPECT_EQ(g.changes, 0);
    SendMessageA(edit, EM_SETREADONLY, 0, 0);
    s.Type("y");
    EXPECT_EQ(Text(edit), "y");
}

TEST_F(NativeEdit, PasswordMasksAndRefusesCopy) {
    HWND pw = Make(ES_PASSWORD);
    Focus(pw);
    s.Type("    "); // blanks: the mask is what shows
    s.Pump();
    s.SetClipboard("before");
    s.Key('A', MK_CONTROL);
    s.Key('C', MK_CONTROL);
    s.Key('X', MK_CONTROL);
    EXPECT_EQ(s.Clipboard(), "before");
    EXPECT_EQ(Text(pw), "    ");
    // The selected mask characters are drawn: some pixel of the highlight is text coloured.
    const int w = TextWidth(GetDefaultFont(), "****");
    const int top = 10 + TextTop(), h = GetFontMetrics(GetDefaultFont()).height;
    bool ink = false;
    for (int x = 12; x < 12 + w && !ink; ++x)
        for (int y = top; y < top + h && !ink; ++y) ink = s.Pixel(host, x, y) == ColorToRGB(clHighlightText);
    EXPECT_TRUE(ink);
    SendMessageA(pw, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_FALSE(GetWindowLongPtrA(pw, GWL_STYLE) & ES_PASSWORD);
    s.Key('C', MK_CONTROL);
    EXPECT_EQ(s.Clipboard(), "    ");
}

// What an undo takes back is the engine's rule; here Ctrl+Z and the undo messages.
TEST_F(NativeEdit, UndoKeyAndMessages) {
    Focus(edit);
    EXPECT_EQ(SendMessageA(edit, EM_CANUNDO, 0, 0), 0);
    s.Type("abc");
    EXPECT_EQ(SendMessageA(edit, EM_CANUNDO, 0, 0), 1);
    s.Key('Z', MK_CONTROL);
    EXPECT_EQ(Text(edit), "");
    EXPECT_EQ(g.changes, 4);
    s.Paste("XY");
    EXPECT_EQ(SendMessageA(edit, EM_UNDO, 0, 0), 1);
    EXPECT_EQ(Text(edit), "");
    SendMessageA(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_EQ(SendMessageA(edit, WM_UNDO, 0, 0), 0);
}

// Which letters convert is the engine's rule; here the styles that ask for it, for typed and
// pasted text alike.
TEST_F(NativeEdit, CaseStylesConvertTypedAndPastedText) {
    HWND up = Make(ES_UPPERCASE);
    Focus(up);
    s.Type("aB");
    s.Paste("cd");
    EXPECT_EQ(Text(up), "ABCD");
    HWND low = Make(ES_LOWERCASE);
    Focus(low);
    s.Type("Ab");
    s.Paste("CD");
    EXPECT_EQ(Text(low), "abcd");
}

TEST_F(NativeEdit, ASubclassSeesCharactersAndPastesFirst) {
    Subclass(edit);
    sub.drop = 'x';
    Focus(edit);
    s.Type("axb1");
    EXPECT_EQ(Text(edit), "ab!");
    s.Paste("zz");
    EXPECT_EQ(sub.pastes, 1);
    EXPECT_EQ(Text(edit), "ab!zz");
    sub.replacePaste = true;
    s.Key(VK_INSERT, MK_SHIFT);
    EXPECT_EQ(sub.pastes, 2);
    EXPECT_EQ(Text(edit), "ab!zz[filtered]");
}

TEST_F(NativeEdit, CaretBlinksOnlyWhileFocused) {
    Subclass(edit);
    const int y = 10 + TextTop() + 1;
    EXPECT_EQ(s.Pixel(host, 12, y), ColorToRGB(clWindow));
    Focus(edit);
    EXPECT_EQ(s.Pixel(host, 12, y), ColorToRGB(clWindowText));
    s.Wait(530);
    EXPECT_EQ(sub.timers, 1);
    EXPECT_EQ(s.Pixel(host, 12, y), ColorToRGB(clWindow));
    s.Wait(530);
    EXPECT_EQ(sub.timers, 2);
    EXPECT_EQ(s.Pixel(host, 12, y), ColorToRGB(clWindowText));
    SetFocus(host);
    s.Pump();
    EXPECT_EQ(g.killFocus, 1);
    EXPECT_EQ(s.Pixel(host, 12, y), ColorToRGB(clWindow));
    sub.timers = 0;
    s.Wait(5000);
    EXPECT_EQ(sub.timers, 0);
}

TEST_F(NativeEdit, ColoursComeFromTheParentAndSelectionHidesWithoutFocus) {
    g.ctlColor = CtlColorBrush(clYellow);
    SetWindowTextA(edit, "    ");
    InvalidateRect(edit, nullptr, false);
    s.Pump();
    EXPECT_EQ(s.Pixel(host, 10, 10), ColorToRGB(clYellow));
    EXPECT_EQ(s.Pixel(host, 159, 29), ColorToRGB(clYellow));
    EXPECT_EQ(s.Pixel(host, 160, 10), ColorToRGB(clBtnFace)); // the edit paints only itself
    Focus(edit);
    s.Key('A', MK_CONTROL);
    const int x = 10 + XOf(edit, 2), y = 10 + TextTop() + 2;
    EXPECT_EQ(s.Pixel(host, x, y), ColorToRGB(clHighlight));
    SetFocus(host);
    s.Pump();
    EXPECT_EQ(s.Pixel(host, x, y), ColorToRGB(clYellow));

    HWND keep = Make(ES_NOHIDESEL, "    ");
    SendMessageA(keep, EM_SETSEL, 0, -1);
    s.Pump();
    EXPECT_EQ(s.Pixel(host, x, y), ColorToRGB(clHighlight));
}

TEST_F(NativeEdit, ClickingAScrolledEditHitsTheScrolledText) {
    Focus(edit);
    s.Type(std::string(60, 'W'));
    s.ClickAt(edit, 140, 10);
    // The view shows the end of the text, so a click near the right edge is near the end.
    EXPECT_GT(Sel(edit).first, 50);
    s.Key(VK_HOME);
    s.ClickAt(edit, XOf(edit, 3), 10);
    EXPECT_EQ(Sel(edit), std::make_pair(3, 3));
}

TEST_F(NativeEdit, RightAlignedTextEndsAtTheRightMargin) {
    HWND right = Make(ES_RIGHT, "ab");
    Focus(right);
    s.Key(VK_END);
    const int y = 10 + TextTop() + 1;
    // The view is 150 - 2 - 1 px wide; the caret after the last character sits on its last column.
    EXPECT_EQ(s.Pixel(host, 10 + 148, y), ColorToRGB(clWindowText));
    s.ClickAt(right, 149, 10);
    EXPECT_EQ(Sel(right), std::make_pair(2, 2));
    s.ClickAt(right, 10, 10);
    EXPECT_EQ(Sel(right), std::make_pair(0, 0));
}

TEST_F(NativeEdit, AParentDestroyingTheEditOnChangeIsSurvived) {
    static HWND victim;
    victim = edit;
    SetWindowLongPtrA(host, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) {
                          if (m == WM_COMMAND && HIWORD(wp) == EN_CHANGE) DestroyWindow(victim);
                          return HostProc(h, m, wp, lp);
                      }));
    Focus(edit);
    s.Type("ab");
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(g.changes, 1);
}

// The driver hears whether the focus takes typed text: an edit does, a button does not, and an
// edit destroyed with the focus leaves none behind.
TEST_F(NativeEdit, DriverIsToldWhetherTheFocusTakesText) {
    const DriverWindowId top = GetDriverWindowId(host);
    auto textInput = [&] { return s.Driver().Find(top)->textInput; };
    EXPECT_FALSE(textInput());
    HWND button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 170, 10, 60, 20, host, 8, nullptr);
    Focus(button);
    EXPECT_FALSE(textInput());
    Focus(edit);
    EXPECT_TRUE(textInput());
    Focus(button);
    EXPECT_FALSE(textInput());
    Focus(edit);
    DestroyWindow(edit);
    s.Pump();
    EXPECT_FALSE(textInput());
    HWND other = Make(0);
    Focus(other);
    EXPECT_TRUE(textInput());
    SetFocus(nullptr);
    EXPECT_FALSE(textInput());
}

