// The one coder of the system's text: UTF-8 read strictly and written, Windows-1252 both ways.
#include <gtest/gtest.h>

#include <string>

#include "lumivane/gfx/text/TextEncoding.h"

using namespace lumivane;

namespace {

struct Utf8Case {
    const char* bytes;
    char32_t cp; // 0: refused
    const char* why;
};

const Utf8Case kUtf8Cases[] = {
    {"A", U'A', "ASCII"},
    {"\xC3\xA9", U'\u00E9', "two bytes"},
    {"\xE2\x82\xAC", U'\u20AC', "three bytes"},
    {"\xF0\x9F\x98\x80", U'\U0001F600', "four bytes"},
    {"\xF4\x8F\xBF\xBF", U'\U0010FFFF', "the last code point"},
    {"\xC0\x80", 0, "overlong NUL"},
    {"\xC1\xA1", 0, "overlong 'a'"},
    {"\xE0\x80\xA2", 0, "overlong double quote"},
    {"\xF0\x80\x80\x80", 0, "overlong in four bytes"},
    {"\xED\xA0\x80", 0, "high surrogate"},
    {"\xED\xBF\xBF", 0, "low surrogate"},
    {"\xF4\x90\x80\x80", 0, "above U+10FFFF"},
    {"\xE5\xAE", 0, "cut short"},
    {"\x80", 0, "stray continuation byte"},
    {"\xC3\x41", 0, "no continuation byte"},
    {"\xFF", 0, "no lead byte"},
};

} // namespace

TEST(TextEncoding, Utf8DecodesScalarValuesAndRefusesEverythingElse) {
    for (const Utf8Case& c : kUtf8Cases) {
        const std::string s = std::string(c.bytes) + "z"; // what follows is not read
        size_t pos = 0;
        char32_t cp = 0x1234;
        const bool ok = DecodeUtf8(s, pos, cp);
        EXPECT_EQ(ok, c.cp != 0) << c.why;
        if (ok) {
            EXPECT_EQ(cp, c.cp) << c.why;
            EXPECT_EQ(pos, std::string(c.bytes).size()) << c.why;
            std::string back;
            AppendUtf8(back, c.cp);
            EXPECT_EQ(back, c.bytes) << c.why;
        } else {
            EXPECT_EQ(pos, 0u) << c.why;
            EXPECT_EQ(cp, 0x1234u) << c.why;
        }
    }
    // Decoding goes on where the last code point ended.
    const std::string two = "\xC3\xA9\xE2\x82\xAC";
    size_t pos = 0;
    char32_t cp = 0;
    ASSERT_TRUE(DecodeUtf8(two, pos, cp));
    ASSERT_TRUE(DecodeUtf8(two, pos, cp));
    EXPECT_EQ(cp, U'\u20AC');
    EXPECT_FALSE(DecodeUtf8(two, pos, cp));
}

TEST(TextEncoding, Cp1252MapsThroughTheCodePageAndKeepsEveryByte) {
    const struct {
        unsigned char byte;
        char32_t cp;
    } cases[] = {
        {0x00, 0},          {0x41, U'A'},       {0x80, U'\u20AC'}, {0x93, U'\u201C'}, {0x9F, U'\u0178'},
        {0xA0, 0xA0},       {0xE9, U'\u00E9'},  {0xFF, U'\u00FF'}, {0x81, 0x81},      {0x8D, 0x8D},
        {0x8F, 0x8F},       {0x90, 0x90},       {0x9D, 0x9D},
    };
    for (const auto& c : cases) EXPECT_EQ(Cp1252ToUnicode(c.byte), c.cp) << int(c.byte);
    for (int b = 0; b < 256; ++b) {
        char back = 0;
        ASSERT_TRUE(UnicodeToCp1252(Cp1252ToUnicode(static_cast<unsigned char>(b)), back)) << b;
        EXPECT_EQ(static_cast<unsigned char>(back), b);
    }
    char out = 0;
    for (char32_t none : {U'\u5B8B', U'\u0100', U'\uFFFD', U'\U0001F600', char32_t{0x80}})
        EXPECT_FALSE(UnicodeToCp1252(none, out)) << static_cast<uint32_t>(none);
}

namespace {

struct ValidCase {
    std::string in;
    std::string out;
    size_t chars;
    const char* why;
};

const ValidCase kValidCases[] = {
    {"", "", 0, "empty"},
    {"plain ASCII, long enough for the eight-byte steps", "plain ASCII, long enough for the eight-byte steps", 49, "ASCII"},
    {"Grüße Ω я 漢字 😀", "Grüße Ω я 漢字 😀", 14, "well-formed text is kept as it is"},
    {std::string("a\0b", 3), std::string("a\0b", 3), 3, "NUL is a character"},
    {"caf\xE9", "caf\uFFFD", 4, "a Latin-1 byte"},
    {"\xE6\xBC", "\uFFFD\uFFFD", 2, "cut short: each byte"},
    {"a\xE6\xBC" "b", "a\uFFFD\uFFFDb", 4, "cut short in the middle"},
    {"\xC0\xA7", "\uFFFD\uFFFD", 2, "overlong quote"},
    {"\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD", 3, "surrogate"},
    {"\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD", 4, "above U+10FFFF"},
    {"\x80\xBF", "\uFFFD\uFFFD", 2, "stray continuation bytes"},
    {"12345678\xFF", "12345678\uFFFD", 9, "a bad byte after a run of ASCII"},
};

} // namespace

TEST(TextEncoding, ValidUtf8ReplacesEachBadByteOnce) {
    for (const ValidCase& c : kValidCases) {
        EXPECT_EQ(IsValidUtf8(c.in), c.in == c.out) << c.why;
        EXPECT_EQ(ValidUtf8(c.in), c.out) << c.why;
        EXPECT_TRUE(IsValidUtf8(ValidUtf8(c.in))) << c.why;
        // Counting and drawing read bad bytes the same way as the replacement stores them.
        EXPECT_EQ(CountChars(c.in), c.chars) << c.why;
        EXPECT_EQ(CountChars(c.out), c.chars) << c.why;
        std::u32string a, b;
        for (size_t i = 0; i < c.in.size();) a += NextChar(c.in, i);
        for (size_t i = 0; i < c.out.size();) b += NextChar(c.out, i);
        EXPECT_EQ(a, b) << c.why;
    }
}

TEST(TextEncoding, CharacterOffsetsAndCutsNeverSplitACharacter) {
    const std::string s = "aé漢😀b"; // 1 + 2 + 3 + 4 + 1 bytes
    const size_t starts[] = {0, 1, 3, 6, 10, 11};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(CharToByte(s, i), starts[i]) << i;
        EXPECT_EQ(ByteToChar(s, starts[i]), i) << i;
    }
    EXPECT_EQ(CharToByte(s, 99), s.size());
    EXPECT_EQ(ByteToChar(s, 99), 5u);
    // The longest prefix of at most n bytes: at each boundary, and inside each character.
    const size_t fit[] = {0, 1, 1, 3, 3, 3, 6, 6, 6, 6, 10, 11, 11};
    for (size_t n = 0; n < 13; ++n) EXPECT_EQ(FitUtf8(s, n), fit[n]) << n;
    // Bad bytes are characters of their own and may be cut anywhere.
    EXPECT_EQ(FitUtf8("a\xE6\xBC" "x", 2), 2u);
    EXPECT_EQ(FitUtf8("\x80\x80\x80\x80\x80", 3), 3u);
}

TEST(TextEncoding, Latin1AndCharacterStrings) {
    EXPECT_EQ(Latin1ToUtf8("caf\xE9 \x85"), "café \u0085");
    std::string latin1;
    EXPECT_TRUE(Utf8ToLatin1("café ÿ", latin1));
    EXPECT_EQ(latin1, "caf\xE9 \xFF");
    EXPECT_FALSE(Utf8ToLatin1("€", latin1));
    EXPECT_FALSE(Utf8ToLatin1("caf\xE9", latin1)); // Latin-1 bytes are not UTF-8
    EXPECT_EQ(CharToString(U'漢'), "漢");
    EXPECT_EQ(CharToString(0), "");
    EXPECT_EQ(CharToString(0xD800), "");
    EXPECT_EQ(FirstCharOf("😀x"), U'😀');
    EXPECT_EQ(FirstCharOf(""), 0u);
    EXPECT_EQ(FirstCharOf("\xFFx"), 0xFFFDu);
}
