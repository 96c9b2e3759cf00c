// The native edit with text beyond ASCII: characters arrive as code points, the messages count
// characters (selection, limit) or bytes (text), and the primary selection goes both ways.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lumivane/drivers/headless/Session.h"
#include "lumivane/gfx/text/Font.h"
#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/windows/NativeEdit.h"
#include "lumivane/windows/Window.h"

using namespace lumivane;

namespace {

class NativeEditText : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASS wc;
        wc.lpszClassName = "NativeEditTextHost";
        wc.lpfnWndProc = DefWindowProcA;
        ASSERT_TRUE(RegisterClassA(wc));
        host = CreateWindowExA(0, "NativeEditTextHost", "host", WS_OVERLAPPED | WS_VISIBLE, 100, 100, 300, 60,
                               nullptr, 0, nullptr);
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 10, 250, 20, host, 9, nullptr);
        s.Pump();
    }
    std::string Text() const { return GetWindowTextString(edit); }
    std::pair<int, int> Sel() const {
        const auto r = static_cast<uintptr_t>(SendMessageA(edit, EM_GETSEL, 0, 0));
        return {LOWORD(r), HIWORD(r)};
    }
    // Client x of the boundary before character `index`, unscrolled.
    int XOf(int index) const {
        const std::string t = Text();
        return 2 + TextWidth(GetDefaultFont(), t.substr(0, CharToByte(t, static_cast<size_t>(index))));
    }
    void Focus() {
        SetFocus(edit);
        s.Pump();
    }

    HeadlessSession s;
    HWND host = nullptr;
    HWND edit = nullptr;
};

} // namespace

TEST_F(NativeEditText, TypedCharactersOfEveryScriptGoInWhole) {
    Focus();
    s.Type("Grüße Ω я 漢字 😀");
    EXPECT_EQ(Text(), "Grüße Ω я 漢字 😀");
    EXPECT_EQ(Sel(), std::make_pair(14, 14)); // characters, not bytes
    // C1 controls, surrogates and values beyond Unicode are no characters to insert.
    for (WPARAM bad : {WPARAM{0x85}, WPARAM{0xD800}, WPARAM{0x110000}}) SendMessageA(edit, WM_CHAR, bad, 1);
    EXPECT_EQ(Text(), "Grüße Ω я 漢字 😀");
}

TEST_F(NativeEditText, KeysStepAndDeleteByCluster) {
    Focus();
    s.Type("ae\u0301\U0001F44D\U0001F3FDz");
    s.Key(VK_LEFT);
    s.Key(VK_LEFT);
    EXPECT_EQ(Sel(), std::make_pair(3, 3)); // before the thumbs-up and its skin tone
    s.Key(VK_BACK);
    EXPECT_EQ(Text(), "a\U0001F44D\U0001F3FDz"); // e and its accent together
    s.Key(VK_DELETE);
    EXPECT_EQ(Text(), "az");
    s.Key(VK_HOME);
    s.Key(VK_RIGHT, MK_SHIFT);
    EXPECT_EQ(Sel(), std::make_pair(0, 1));
}

TEST_F(NativeEditText, SelectionAndLimitCountCharactersTextMessagesCountBytes) {
    SetWindowTextA(edit, "я漢😀b");
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 10);
    SendMessageA(edit, EM_SETSEL, 1, 3);
    EXPECT_EQ(Sel(), std::make_pair(1, 3));
    uint32_t start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 3u);
    SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("Ω"));
    EXPECT_EQ(Text(), "яΩb");
    // A buffer takes whole characters only: 4 bytes hold "я" and a NUL, not half of "Ω".
    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buf)), 2);
    EXPECT_EQ(std::string(buf), "я");
    EXPECT_EQ(buf[3], 'x'); // nothing written past the terminating zero
    EXPECT_EQ(SendMessageA(edit, WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buf)), 4);
    EXPECT_EQ(std::string(buf), "яΩ");
    // The limit counts characters.
    SetWindowTextA(edit, "");
    SendMessageA(edit, EM_LIMITTEXT, 3, 0);
    Focus();
    s.Type("😀😀😀😀");
    EXPECT_EQ(Text(), "😀😀😀");
    // Bad bytes set by a program are stored as U+FFFD.
    SetWindowTextA(edit, "a\xC3(\xFF");
    EXPECT_EQ(Text(), "a\uFFFD(\uFFFD");
    SetWindowTextA(host, "\xE6\xBC title");
    EXPECT_EQ(GetWindowTextString(host), "\uFFFD\uFFFD title");
}

TEST_F(NativeEditText, SelectingOffersThePrimarySelectionAndAMiddleClickPastesIt) {
    SetWindowTextA(edit, "Привет мир");
    s.MoveTo(edit, XOf(1), 10);
    s.Press();
    s.MoveTo(edit, XOf(4), 10);
    s.Release();
    EXPECT_EQ(s.PrimarySelection(), "рив");
    // Shift and the arrows select too.
    s.Key(VK_END);
    s.Key(VK_LEFT, MK_SHIFT);
    s.Key(VK_LEFT, MK_SHIFT);
    EXPECT_EQ(s.PrimarySelection(), "ир");
    // What another program selected goes in where the middle button lands.
    s.SetPrimarySelection("漢字");
    s.MoveTo(edit, XOf(6), 10);
    s.Press(2);
    s.Release(2);
    EXPECT_EQ(Text(), "Привет漢字 мир");
    EXPECT_EQ(Sel(), std::make_pair(8, 8));
    // A read-only edit takes nothing; a password never offers its text.
    SendMessageA(edit, EM_SETREADONLY, 1, 0);
    s.Press(2);
    s.Release(2);
    EXPECT_EQ(Text(), "Привет漢字 мир");
    SendMessageA(edit, EM_SETREADONLY, 0, 0);
    SendMessageA(edit, EM_SETPASSWORDCHAR, U'\u2022', 0);
    s.SetPrimarySelection("kept");
    s.Key('A', MK_CONTROL);
    EXPECT_EQ(s.PrimarySelection(), "kept");
}
