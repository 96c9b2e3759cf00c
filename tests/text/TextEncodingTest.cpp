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
        bool defined;
    } cases[] = {
        {0x00, 0, true},          {0x41, U'A', true},       {0x80, U'\u20AC', true},
        {0x93, U'\u201C', true},  {0x9F, U'\u0178', true},  {0xA0, 0xA0, true},
        {0xE9, U'\u00E9', true},  {0xFF, U'\u00FF', true},  {0x81, 0x81, false},
        {0x8D, 0x8D, false},      {0x8F, 0x8F, false},      {0x90, 0x90, false},
        {0x9D, 0x9D, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cp1252ToUnicode(c.byte), c.cp) << int(c.byte);
        EXPECT_EQ(IsCp1252Defined(c.byte), c.defined) << int(c.byte);
    }
    for (int b = 0; b < 256; ++b) {
        char back = 0;
        ASSERT_TRUE(UnicodeToCp1252(Cp1252ToUnicode(static_cast<unsigned char>(b)), back)) << b;
        EXPECT_EQ(static_cast<unsigned char>(back), b);
    }
    char out = 0;
    for (char32_t none : {U'\u5B8B', U'\u0100', U'\uFFFD', U'\U0001F600', char32_t{0x80}})
        EXPECT_FALSE(UnicodeToCp1252(none, out)) << static_cast<uint32_t>(none);
    EXPECT_EQ(Cp1252ToUtf8(std::string("a\x80\x81\xE9\0", 5)), std::string("a\xE2\x82\xAC\xC2\x81\xC3\xA9\0", 9));
}
