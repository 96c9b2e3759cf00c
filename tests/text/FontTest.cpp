#include <gtest/gtest.h>

#include <cstring>

#include "InkProbe.h"
#include "lumivane/gfx/text/FontFace.h"
#include "lumivane/gfx/text/FontMatch.h"

using namespace lumivane;

namespace {

constexpr Pixel kWhite = 0xFFFFFF;

FontSpec Ask(const char* name, int height, bool bold = false) {
    FontSpec s;
    s.name = name;
    s.height = height;
    s.bold = bold;
    return s;
}

// Total ink of black text on white: how much darker than white every pixel is.
long Darkness(const Surface& s) {
    long sum = 0;
    for (Pixel p : s.Pixels()) sum += 0xFF - (p & 0xFF);
    return sum;
}

// Ink box of one character drawn at (10, 10) on a white surface.
TRect GlyphInk(HFONT f, const char* text) {
    Surface s(200, 200, kWhite);
    DeviceContext dc(&s);
    dc.font = f;
    dc.bkMode = TRANSPARENT;
    TextOutA(&dc, 10, 10, text, static_cast<int>(std::strlen(text)));
    return InkBox(s, kWhite);
}

TEST(FontLookup, CjkFamilyAsksForChineseAndFindsTheCjkFont) {
    EXPECT_EQ(FontMatch::LanguageOfName("宋体"), "zh-cn");
    EXPECT_EQ(FontMatch::LanguageOfName("ＭＳ ゴシック"), "ja");
    EXPECT_EQ(FontMatch::LanguageOfName("굴림"), "ko");
    EXPECT_EQ(FontMatch::LanguageOfName("Tahoma"), "");
    if (!HaveWenQuanYi()) GTEST_SKIP() << "fonts-wqy-zenhei is not installed";
    EXPECT_NE(SongTi()->FaceFile().find("wqy-zenhei"), std::string::npos) << SongTi()->FaceFile();
    // Chinese text through the same font needs no fallback at all.
    EXPECT_GT(SongTi()->GlyphFor(U'宋').coverage.size(), 0u);
}

TEST(FontLookup, MissingGlyphsComeFromTheNextFontThatHasThem) {
    HFONT latin = GetFont(Ask("DejaVu Sans", -14));
    ASSERT_EQ(latin->FaceFile().find("wqy"), std::string::npos);
    if (HaveWenQuanYi()) {
        const Glyph& han = latin->GlyphFor(U'宋');
        EXPECT_GT(han.coverage.size(), 0u);
        EXPECT_GE(han.advance, 12); // a full-width ideograph at the same em
    }
    // A code point no font has draws the primary face's box, which takes room.
    const Glyph& none = latin->GlyphFor(0x10FFFD);
    EXPECT_GT(none.advance, 0);
    EXPECT_EQ(&latin->GlyphFor(0x10FFFD), &none) << "cached";
}

TEST(FontLookup, UnknownAndBrokenNamesStillGiveAFont) {
    HFONT unknown = GetFont(Ask("No Such Family 123", -14));
    EXPECT_TRUE(unknown->HasFace());
    EXPECT_GT(TextWidth(unknown, "Close"), 0);
    // Invalid UTF-8 in a name from a form is dropped, not handed to fontconfig.
    EXPECT_EQ(FontMatch::SanitizeName("a\xFF\xC3(b\xE5\xAE\x8B\xE5\xAE"), "a(b\xE5\xAE\x8B");
    HFONT broken = GetFont(Ask("\xFF\xFE\xC0\x80", -14));
    EXPECT_GT(TextWidth(broken, "Close"), 0);
    HFONT empty = GetFont(Ask("", -14));
    EXPECT_GT(TextWidth(empty, "Close"), 0);
}

TEST(FontLookup, OneHandlePerSpecForTheProcess) {
    EXPECT_EQ(SongTi(), SongTi());
    EXPECT_NE(SongTi(-14), SongTi(-15));
    EXPECT_EQ(GetFontSpec(SongTi(-14, true)).bold, true);
    EXPECT_EQ(GetDefaultFont(), GetDefaultFont());
    EXPECT_GT(GetFontMetrics(nullptr).height, 0); // nullptr is the default font
}

TEST(FontLookup, BoldIsWiderAndInkier) {
    for (const char* name : {"宋体", "DejaVu Sans"}) {
        HFONT regular = GetFont(Ask(name, -14));
        HFONT bold = GetFont(Ask(name, -14, true));
        EXPECT_GT(TextWidth(bold, "Close"), TextWidth(regular, "Close")) << name;
        Surface a(100, 40, kWhite), b(100, 40, kWhite);
        DeviceContext da(&a), db(&b);
        da.font = regular;
        db.font = bold;
        TextOutA(&da, 0, 0, "Close", 5);
        TextOutA(&db, 0, 0, "Close", 5);
        EXPECT_GT(Darkness(b), Darkness(a) * 5 / 4) << name;
    }
    if (HaveWenQuanYi()) {
        EXPECT_TRUE(SongTi(-14, true)->SyntheticBold());
    }
}

// Fonts of one file share its face: each still draws at its own size, whichever font used the
// face last.
TEST(FontLookup, FontsOfOneFileKeepTheirOwnSizes) {
    Font small(Ask("DejaVu Sans", -12));
    Font big(Ask("DejaVu Sans", -30));
    ASSERT_EQ(small.FaceFile(), big.FaceFile());
    const Glyph& w12 = small.GlyphFor(U'W');
    const Glyph& w30 = big.GlyphFor(U'W');
    Font again(Ask("DejaVu Sans", -12));
    const Glyph& alone = again.GlyphFor(U'W');
    EXPECT_GT(w30.height, w12.height);
    EXPECT_EQ(w12.width, alone.width);
    EXPECT_EQ(w12.height, alone.height);
    EXPECT_EQ(w12.advance, alone.advance);
    EXPECT_EQ(w12.coverage, alone.coverage);
    EXPECT_EQ(small.Metrics().height, again.Metrics().height);
    EXPECT_LT(small.Metrics().height, big.Metrics().height);
}

TEST(FontMetrics, NegativeHeightIsTheEm) {
    for (int em : {11, 14, 19, 40}) {
        HFONT f = GetFont(Ask("DejaVu Sans", -em));
        const TextMetrics m = GetFontMetrics(f);
        EXPECT_EQ(m.height, m.ascent + m.descent);
        EXPECT_GE(m.height, em);
        EXPECT_LE(m.height, em * 3 / 2);
        // A capital H of DejaVu Sans is 0.73 em tall and sits on the baseline.
        TRect ink = GlyphInk(f, "H");
        EXPECT_NEAR(ink.Height(), 0.73 * em, 1.0) << em;
        EXPECT_EQ(ink.Bottom, 10 + m.ascent) << em;
    }
}

TEST(FontMetrics, PositiveHeightIsTheCell) {
    for (const char* name : {"宋体", "DejaVu Sans"})
        for (int cell : {12, 16, 20, 33}) {
            const TextMetrics m = GetFontMetrics(GetFont(Ask(name, cell)));
            EXPECT_EQ(m.height, cell) << name;
            EXPECT_EQ(m.ascent + m.descent, cell) << name;
            EXPECT_GT(m.internalLeading, 0) << name;
        }
}

TEST(FontMetrics, WildHeightsAreBounded) {
    const TextMetrics huge = GetFontMetrics(GetFont(Ask("DejaVu Sans", -2000000000)));
    EXPECT_LE(huge.height, Font::kMaxPixelHeight * 2);
    EXPECT_GT(GetFontMetrics(GetFont(Ask("DejaVu Sans", 0))).height, 0);
    EXPECT_GT(TextWidth(GetFont(Ask("DejaVu Sans", 1)), "x"), -1);
}

TEST(TextWidth, SumsWholePixelAdvancesOfUtf8Text) {
    HFONT f = GetFont(Ask("DejaVu Sans", -14));
    EXPECT_EQ(TextWidth(f, ""), 0);
    EXPECT_EQ(TextWidth(f, "Close"), TextWidth(f, "Clo") + TextWidth(f, "se"));
    EXPECT_EQ(GetTextExtent(nullptr, "Close").cx, TextWidth(nullptr, "Close"));
    DeviceContext dc(nullptr);
    dc.font = f;
    EXPECT_EQ(GetTextExtent(&dc, "Close"), (TSize{TextWidth(f, "Close"), GetFontMetrics(f).height}));
    // Control characters (C1 ones included) and the invisible joiners and selectors take no room.
    EXPECT_EQ(TextWidth(f, "a\u0081\u009D" "b\t\u200D\uFE0F\u200B"), TextWidth(f, "ab"));
    EXPECT_GT(TextWidth(f, "é"), 0);
    EXPECT_GT(TextWidth(f, "€"), 0);
    // A combining accent adds no width; a character from a fallback face adds its own.
    EXPECT_EQ(TextWidth(f, "e\u0301"), TextWidth(f, "e"));
    EXPECT_EQ(TextWidth(f, "a漢"), TextWidth(f, "a") + TextWidth(GetFont(Ask("WenQuanYi Zen Hei", -14)), "漢"));
    // A byte that starts no well-formed sequence measures as U+FFFD, one for each byte.
    EXPECT_EQ(TextWidth(f, "a\xFF\xC3"), TextWidth(f, "a\uFFFD\uFFFD"));
    EXPECT_EQ(TextWidth(f, "\xE6\xBC"), 2 * TextWidth(f, "\uFFFD"));
}

TEST(TextOut, AccentedCharacterHasInkAboveTheLetterComposedOrNot) {
    HFONT f = SongTi();
    TRect e = GlyphInk(f, "e");
    for (const char* accented : {"é", "e\u0301"}) {
        TRect eAcute = GlyphInk(f, accented);
        ASSERT_FALSE(eAcute.IsEmpty()) << accented;
        EXPECT_LT(eAcute.Top, e.Top) << accented;       // the accent
        EXPECT_EQ(eAcute.Bottom, e.Bottom) << accented; // same letter underneath
    }
}

TEST(TextOut, ReportsWidthsForComparison) {
    for (const char* name : {"宋体", "DejaVu Sans"}) {
        HFONT f = GetFont(Ask(name, -14));
        std::printf("[ widths ] %s -14 (%s): Close %d, Download Now %d; bold -19 Lumivane %d\n", name,
                    f->FaceFile().c_str(), TextWidth(f, "Close"), TextWidth(f, "Download Now"),
                    TextWidth(GetFont(Ask(name, -19, true)), "Lumivane"));
    }
}

} // namespace

namespace {

TEST(TextOut, UnderlineAndStrikeOutSpanTheWholeText) {
    for (bool strike : {false, true}) {
        FontSpec fontSpec = Ask("宋体", -14);
        fontSpec.underline = !strike;
        fontSpec.strikeOut = strike;
        HFONT f = GetFont(fontSpec);
        Surface s(120, 40, kWhite);
        DeviceContext dc(&s);
        dc.font = f;
        dc.bkMode = TRANSPARENT;
        dc.textColor = clBlue;
        TextOutA(&dc, 7, 5, "Under line", 10);
        const int row = 5 + (strike ? f->StrikeOutTop() : f->UnderlineTop());
        const int w = TextWidth(f, "Under line");
        for (int x = 0; x < 120; ++x)
            EXPECT_EQ(s.Get(x, row), x >= 7 && x < 7 + w ? Pixel{0x0000FF} : kWhite) << x;
        if (!strike) {
            EXPECT_GT(f->UnderlineTop(), GetFontMetrics(f).ascent - 1); // below the baseline
        } else {
            EXPECT_LT(f->StrikeOutTop(), GetFontMetrics(f).ascent);
            EXPECT_GT(f->StrikeOutTop(), GetFontMetrics(f).internalLeading);
        }
    }
}

TEST(TextOut, ItalicLeansRight) {
    FontSpec fontSpec = Ask("宋体", -14);
    TRect upright = GlyphInk(GetFont(fontSpec), "l");
    fontSpec.italic = true;
    TRect slanted = GlyphInk(GetFont(fontSpec), "l");
    EXPECT_GT(slanted.Width(), upright.Width());
    EXPECT_EQ(slanted.Height(), upright.Height());
}

} // namespace
