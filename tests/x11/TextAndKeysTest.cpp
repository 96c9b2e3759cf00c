#include <gtest/gtest.h>

#include "lumivane/windows/Messages.h"
#include "lumivane/drivers/x11/X11Keys.h"
#include "lumivane/drivers/x11/X11Text.h"

using namespace lumivane;

using namespace x11;

// Keysym values, so this file needs no X header.
enum : unsigned long {
    kXkA = 0x61, kXkShiftA = 0x41, kXk7 = 0x37, kXkF1 = 0xFFBE, kXkF12 = 0xFFC9,
    kXkReturn = 0xFF0D, kXkKpEnter = 0xFF8D, kXkKpHome = 0xFF95, kXkKp5 = 0xFFB5,
    kXkBackSpace = 0xFF08, kXkEscape = 0xFF1B, kXkDelete = 0xFFFF, kXkShiftR = 0xFFE2,
    kXkAltL = 0xFFE9, kXkPrior = 0xFF55, kXkEacute = 0xE9, kXkDeadAcute = 0xFE51
};

TEST(X11Keys, MapsTheKeysTheWindowSystemNames) {
    EXPECT_EQ(KeysymToVk(kXkA), 0x41u);
    EXPECT_EQ(KeysymToVk(kXkShiftA), 0x41u);
    EXPECT_EQ(KeysymToVk(kXk7), 0x37u);
    EXPECT_EQ(KeysymToVk(kXkF1), VK_F1);
    EXPECT_EQ(KeysymToVk(kXkF12), VK_F12);
    EXPECT_EQ(KeysymToVk(kXkReturn), VK_RETURN);
    EXPECT_EQ(KeysymToVk(kXkKpEnter), VK_RETURN);
    EXPECT_EQ(KeysymToVk(kXkKpHome), VK_HOME);
    EXPECT_EQ(KeysymToVk(kXkKp5), 0x65u); // VK_NUMPAD5
    EXPECT_EQ(KeysymToVk(kXkBackSpace), VK_BACK);
    EXPECT_EQ(KeysymToVk(kXkEscape), VK_ESCAPE);
    EXPECT_EQ(KeysymToVk(kXkDelete), VK_DELETE);
    EXPECT_EQ(KeysymToVk(kXkShiftR), VK_SHIFT);
    EXPECT_EQ(KeysymToVk(kXkAltL), VK_MENU);
    EXPECT_EQ(KeysymToVk(kXkPrior), VK_PRIOR);
    // Keys with no code of their own still type their characters, but send no key code.
    EXPECT_EQ(KeysymToVk(kXkEacute), 0u);
    EXPECT_EQ(KeysymToVk(kXkDeadAcute), 0u);
    EXPECT_EQ(KeysymToVk(0), 0u);
}

TEST(X11Text, PrintableLatin1FromUtf8OnlyWhenEveryCharacterIsOne) {
    std::string out;
    EXPECT_TRUE(Utf8ToPrintableLatin1("", out));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(Utf8ToPrintableLatin1("Zo\xC3\xAB\t\xC2\xA0~ \xC3\xBF", out));
    EXPECT_EQ(out, "Zo\xEB\t\xA0~ \xFF");
    EXPECT_FALSE(Utf8ToPrintableLatin1("\xE2\x82\xAC", out));    // the Euro sign is beyond Latin-1
    EXPECT_FALSE(Utf8ToPrintableLatin1("a\nb", out));             // controls other than tab
    EXPECT_FALSE(Utf8ToPrintableLatin1("\x7F", out));
    EXPECT_FALSE(Utf8ToPrintableLatin1("\xC2\x85", out));         // C1 control
    EXPECT_FALSE(Utf8ToPrintableLatin1("caf\xE9", out));           // Latin-1 bytes are not UTF-8
    EXPECT_FALSE(Utf8ToPrintableLatin1("ab\xC3", out));            // cut short
    EXPECT_FALSE(Utf8ToPrintableLatin1("\xC3\x41", out));         // no continuation byte
    EXPECT_FALSE(Utf8ToPrintableLatin1("\xC1\xA1", out));         // overlong 'a'
}

// Characters of keys without an input method: Latin-1 and Unicode keysyms, the Euro sign, the
// keypad and control keys, Control combinations; nothing for dead keys (0xFE51 dead_acute),
// function keys, modifiers, arrows or legacy symbols outside the table (0x6D6 Cyrillic_zhe).
TEST(X11Keys, CharactersWithoutAnInputMethod) {
    struct Case {
        unsigned long keysym;
        bool control;
        char32_t ch;
    };
    const Case cases[] = {
        {0x61, false, U'a'},          {0x41, false, U'A'},           {0xE9, false, U'\u00E9'},
        {0xA0, false, 0xA0}, {0x010003B1, false, 0x3B1},  {0x20AC, false, 0x20AC},
        {0xFFB7, false, U'7'},       {0xFFAA, false, U'*'}, {0xFF80, false, U' '},
        {0xFF0D, false, U'\r'},    {0xFF8D, false, U'\r'},   {0xFF09, false, U'\t'},
        {0xFF08, false, U'\b'}, {0xFF1B, false, 0x1B},       {0xFFFF, false, 0x7F},
        {0x63, true, 0x03},           {0x5B, true, 0x1B},  {0x20, true, 0},
        {0x33, true, 0x1B},           {0x38, true, 0x7F},            {0xE9, true, U'\u00E9'},
        {0xFE51, false, 0},    {0xFFC1, false, 0},             {0xFFE1, false, 0},
        {0x6D6, false, 0},  {0xFF51, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeysymToChar(c.keysym, c.control), c.ch) << std::hex << c.keysym << (c.control ? " with Control" : "");
}

