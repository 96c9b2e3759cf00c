#include <gtest/gtest.h>

#include <cstring>

#include "InkProbe.h"
#include "lumivane/gfx/text/FontFace.h"
#include "lumivane/gfx/text/TextLayout.h"

using namespace lumivane;

namespace {

constexpr Pixel kFace = 0xF0F0F0;
constexpr Pixel kBlack = 0x000000;

const char* const kNotice =
    "    Draventa, have made numerous improvements to Quillomat. With all these improvements and new "
    "features, we decided we needed a new name! Quillomat is now known as Lumivane 1.0. Lumivane has "
    "all of the features you have come to know and love of our Quillomat, plus many more. You will "
    "also be happy to know, that even will all the improvments and changes, we have not raised the "
    "price for Lumivane.";

// An underlined font: its underline is unbroken ink from the first pixel of a line to the last.
HFONT Underlined() {
    FontSpec fontSpec;
    fontSpec.name = "宋体";
    fontSpec.height = -14;
    fontSpec.underline = true;
    return GetFont(fontSpec);
}

struct Canvas {
    Surface surface;
    DeviceContext dc;
    explicit Canvas(int w = 200, int h = 100, HFONT font = SongTi()) : surface(w, h, kFace), dc(&surface) {
        dc.font = font;
        dc.bkMode = TRANSPARENT;
        dc.textColor = clBlack;
    }
    int Draw(const char* text, TRect r, unsigned format) { return DrawTextA(&dc, text, -1, &r, format); }
    TRect Ink(TRect within = {0, 0, 1 << 20, 1 << 20}) const { return InkBox(surface, kFace, within); }
};

TEST(DrawText, CaptionIsCentredBothWaysInTheButton) {
    Canvas c;
    const TRect r{20, 30, 95, 55}; // 75 x 25
    const int h = c.Draw("Close", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(h, GetFontMetrics(c.dc.font).height);
    const TRect ink = c.Ink();
    ASSERT_FALSE(ink.IsEmpty());
    const int left = ink.Left - r.Left, right = r.Right - ink.Right;
    const int top = ink.Top - r.Top, bottom = r.Bottom - ink.Bottom;
    EXPECT_LE(std::abs(left - right), 2) << left << " " << right;
    EXPECT_LE(std::abs(top - bottom), 3) << top << " " << bottom; // ink is the cap height, not the cell
    // The cell itself is placed with integer division.
    const int cellTop = r.Top + (r.Height() - h) / 2;
    EXPECT_EQ(ink.Bottom, cellTop + GetFontMetrics(c.dc.font).ascent);
}

TEST(DrawText, AmpersandUnderlinesOnlyTheNextCharacter) {
    Canvas plain, prefixed;
    const TRect r{0, 0, 75, 25};
    plain.Draw("Close", r, 0x25);
    prefixed.Draw("&Close", r, 0x25);
    const Font& f = *SongTi();
    const int cellTop = (25 - f.Metrics().height) / 2;
    const int row = cellTop + f.UnderlineTop();
    const int textLeft = (75 - f.Width("Close")) / 2;
    const int cWidth = f.Width("C");
    // The '&' takes no room: everything but the underline row is the same picture.
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 75; ++x) {
            if (y >= row && y < row + f.UnderlineThickness()) continue;
            ASSERT_EQ(plain.surface.Get(x, y), prefixed.surface.Get(x, y)) << x << "," << y;
        }
    for (int x = 0; x < 75; ++x) {
        const bool under = x >= textLeft && x < textLeft + cWidth;
        EXPECT_EQ(prefixed.surface.Get(x, row), under ? kBlack : plain.surface.Get(x, row)) << x;
    }
}

TEST(DrawText, PrefixRules) {
    Canvas a, b;
    const TRect r{0, 0, 200, 30};
    // "&&" is one ampersand, not underlined; a trailing '&' is dropped.
    a.Draw("A&&B&", r, 0);
    b.Draw("A&B", r, DT_NOPREFIX);
    EXPECT_EQ(a.surface.Pixels(), b.surface.Pixels());
    // DT_NOPREFIX draws the ampersand itself.
    TRect calc{0, 0, 0, 0};
    DrawTextA(&a.dc, "&C", -1, &calc, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(calc.Right, TextWidth(SongTi(), "&C"));
    calc = {0, 0, 0, 0};
    DrawTextA(&a.dc, "&C", -1, &calc, DT_CALCRECT);
    EXPECT_EQ(calc.Right, TextWidth(SongTi(), "C"));
}

TEST(DrawText, ClipsToTheRectangleUnlessNoClip) {
    const char* text = "A line much longer than its little rectangle";
    const TRect r{30, 20, 90, 40};
    Canvas c(200, 100, Underlined());
    c.Draw(text, r, DT_SINGLELINE | DT_VCENTER);
    const TRect ink = c.Ink();
    EXPECT_GE(ink.Left, r.Left);
    EXPECT_EQ(ink.Right, r.Right) << "the text runs up to the edge and stops there";
    EXPECT_EQ(InkCount(c.surface, kFace, c.surface.Bounds()), InkCount(c.surface, kFace, r));

    Canvas n(200, 100, Underlined());
    n.Draw(text, r, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
    EXPECT_GT(n.Ink().Right, r.Right + 50);

    // The context's own clip still holds with DT_NOCLIP.
    Canvas k(200, 100, Underlined());
    k.dc.IntersectClip(TRect{0, 0, 60, 100});
    k.Draw(text, r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_EQ(k.Ink().Right, 60);
}

TEST(DrawText, NoticeWrapsAtSpacesInsideTheLabel) {
    HFONT bold = SongTi(-14, true);
    Canvas c(478, 334, bold);
    const TRect r{120, 11, 417, 241}; // Label1: 297 wide
    const int h = c.Draw(kNotice, r, DT_WORDBREAK);
    const TextMetrics m = GetFontMetrics(bold);
    const int lines = h / m.height;
    EXPECT_EQ(h % m.height, 0);
    EXPECT_GE(lines, 6);
    EXPECT_LE(h, r.Height()) << "the whole notice fits the label";
    const TRect ink = c.Ink();
    EXPECT_LE(ink.Right, r.Right);
    EXPECT_GE(ink.Left, r.Left);
    // The four-space indent survives on the first line only.
    const int space = TextWidth(bold, " ");
    TRect first = c.Ink(TRect{0, r.Top, 478, r.Top + m.height});
    TRect second = c.Ink(TRect{0, r.Top + m.height, 478, r.Top + 2 * m.height});
    EXPECT_GE(first.Left - r.Left, 4 * space);
    EXPECT_LE(second.Left - r.Left, 1);
    // Every break is at a space: the lines joined by single spaces give the notice back.
    const std::vector<TextLine> laid = LayoutText(*bold, kNotice, r.Width(), DT_WORDBREAK);
    ASSERT_EQ(static_cast<int>(laid.size()), lines);
    std::string joined;
    for (const TextLine& l : laid) {
        EXPECT_LE(l.width, r.Width());
        EXPECT_NE(l.text.back(), ' ');
        joined += (joined.empty() ? "" : " ") + l.text;
    }
    EXPECT_EQ(joined, kNotice);
    TRect calc = r;
    EXPECT_EQ(DrawTextA(&c.dc, kNotice, -1, &calc, DT_WORDBREAK | DT_CALCRECT), h);
    EXPECT_LE(calc.Right, r.Right);
}

TEST(DrawText, WordBreakBreaksAtSpacesOnly) {
    // Lines built by hand from the measured widths: break before the word that does not fit.
    HFONT f = SongTi();
    const int w = TextWidth(f, "alpha beta");
    Canvas one(300, 100, f), two(300, 100, f);
    one.Draw("alpha beta gamma", TRect{0, 0, w, 100}, DT_WORDBREAK);
    two.Draw("alpha beta\ngamma", TRect{0, 0, w, 100}, 0);
    EXPECT_EQ(one.surface.Pixels(), two.surface.Pixels());
    // A word wider than the line has a line of its own, clipped at the right edge.
    Canvas lw(300, 100, Underlined());
    const int lh = lw.Draw("a incomprehensibilities b", TRect{0, 0, 40, 100}, DT_WORDBREAK);
    EXPECT_EQ(lh, 3 * GetFontMetrics(Underlined()).height);
    EXPECT_EQ(lw.Ink().Right, 40);
}

TEST(DrawText, LineBreaksAndAlignment) {
    HFONT f = SongTi();
    const int lh = GetFontMetrics(f).height;
    Canvas c(200, 100, f);
    EXPECT_EQ(c.Draw("one\r\ntwo\rthree\nfour", TRect{0, 0, 200, 100}, 0), 4 * lh);
    EXPECT_EQ(c.Draw("one\r\ntwo", TRect{0, 0, 200, 100}, DT_SINGLELINE | DT_CALCRECT), lh);

    Canvas right(200, 60, f);
    right.Draw("Right", TRect{10, 10, 150, 50}, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    const TRect ink = right.Ink();
    EXPECT_GE(ink.Right, 150 - 2);
    EXPECT_LE(ink.Right, 150);
    EXPECT_LE(ink.Bottom, 50);
    EXPECT_GE(ink.Bottom, 50 - GetFontMetrics(f).descent - 1);
}

TEST(DrawText, CalcRectMatchesWhatIsDrawn) {
    HFONT f = SongTi();
    for (unsigned fmt : {0u, unsigned(DT_WORDBREAK)}) {
        Canvas c(300, 200, f);
        const char* text = "Several words that wrap\r\ninto a few lines";
        TRect calc{5, 5, 105, 5};
        const int h = DrawTextA(&c.dc, text, -1, &calc, fmt | DT_CALCRECT);
        EXPECT_EQ(c.Ink(), TRect{}) << "DT_CALCRECT draws nothing";
        EXPECT_EQ(calc.Bottom - calc.Top, h);
        c.Draw(text, TRect{5, 5, 105, 200}, fmt | DT_NOCLIP);
        const TRect ink = c.Ink();
        EXPECT_GE(ink.Left, calc.Left - 1); // a glyph may lean a pixel past its pen position
        EXPECT_LE(ink.Right, calc.Right + 1);
        EXPECT_GE(ink.Right, calc.Right - 2);
        EXPECT_LE(ink.Bottom, calc.Bottom);
        EXPECT_GT(ink.Bottom, calc.Bottom - GetFontMetrics(f).height);
    }
    Canvas e;
    TRect empty{3, 4, 3, 4};
    EXPECT_EQ(DrawTextA(&e.dc, "", -1, &empty, DT_CALCRECT), GetFontMetrics(SongTi()).height);
    EXPECT_EQ(empty.Right, 3);
}

TEST(DrawText, BackgroundModes) {
    HFONT f = SongTi();
    const TextMetrics m = GetFontMetrics(f);
    const int w = TextWidth(f, "Fill");
    Canvas opaque(100, 40, f);
    opaque.dc.bkMode = OPAQUE;
    opaque.dc.bkColor = clYellow;
    opaque.dc.textColor = clRed;
    opaque.Draw("Fill", TRect{10, 5, 90, 35}, DT_SINGLELINE);
    int yellow = 0, red = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            const Pixel p = opaque.surface.Get(x, y);
            const bool cell = x >= 10 && x < 10 + w && y >= 5 && y < 5 + m.height;
            if (!cell) {
                ASSERT_EQ(p, kFace) << x << "," << y;
            }
            yellow += p == 0xFFFF00;
            red += p == 0xFF0000;
        }
    EXPECT_GT(yellow, w * m.height / 2);
    EXPECT_GT(red, 10);

    Canvas clear(100, 40, f);
    clear.dc.bkColor = clYellow;
    clear.Draw("Fill", TRect{10, 5, 90, 35}, DT_SINGLELINE);
    for (Pixel p : clear.surface.Pixels()) ASSERT_NE(p, 0xFFFF00u);
}

TEST(DrawText, BlendsAntialiasedEdgesAndThresholdsOnMonochrome) {
    Canvas c(100, 40);
    c.Draw("Close", TRect{0, 0, 100, 40}, DT_SINGLELINE);
    int grey = 0;
    for (Pixel p : c.surface.Pixels())
        if (p != kFace && p != kBlack) {
            ++grey;
            ASSERT_EQ((p >> 16) & 0xFF, p & 0xFF) << "grey edge of black on grey stays grey";
        }
    EXPECT_GT(grey, 0);

    Surface mono(100, 40, 0xFFFFFF);
    mono.SetMonochrome(true);
    DeviceContext dc(&mono);
    dc.font = SongTi();
    dc.textColor = clRed; // not white: black on a monochrome target
    TRect r{0, 0, 100, 40};
    DrawTextA(&dc, "Close", -1, &r, DT_SINGLELINE);
    int black = 0;
    for (Pixel p : mono.Pixels()) {
        ASSERT_TRUE(p == 0 || p == 0xFFFFFF);
        black += p == 0;
    }
    EXPECT_GT(black, 20);
}

TEST(DrawText, RespectsOriginAndClipOfAWindowContext) {
    Surface s(120, 60, kFace);
    Region clip(TRect{0, 0, 50, 30});
    DeviceContext dc(&s, TPoint{40, 20}, clip);
    dc.font = Underlined();
    dc.bkMode = TRANSPARENT;
    TRect r{0, 0, 200, 30};
    DrawTextA(&dc, "Wide enough text", -1, &r, DT_SINGLELINE);
    const TRect ink = InkBox(s, kFace);
    EXPECT_GE(ink.Left, 40);
    EXPECT_EQ(ink.Right, 90);
    EXPECT_GE(ink.Top, 20);
    EXPECT_LE(ink.Bottom, 50);
}

TEST(DrawText, NullArgumentsAndControlBytesAreHarmless) {
    Canvas c;
    TRect r{0, 0, 100, 30};
    EXPECT_EQ(DrawTextA(nullptr, "x", -1, &r, 0), 0);
    EXPECT_EQ(DrawTextA(&c.dc, nullptr, -1, &r, 0), 0);
    EXPECT_EQ(DrawTextA(&c.dc, "x", -1, nullptr, 0), 0);
    const char bytes[] = {'\0', '\x01', '\x7F', '\x81', '\xFF', '&'};
    DrawTextA(&c.dc, bytes, sizeof bytes, &r, DT_WORDBREAK);
    TextOutA(&c.dc, -1000, -1000, "far away", 8);
    TextOutA(&c.dc, 0, 0, "x", -5);
}

} // namespace

// Lines break, end and carry prefixes only between whole clusters; ellipsis keeps whole
// clusters; characters of every script measure what they draw.
TEST(DrawText, LayoutWorksOnGraphemeClusters) {
    const Font& f = *SongTi();
    struct Case {
        const char* text;
        int width;
        unsigned format;
        std::vector<std::string> lines;
    };
    const int e = TextWidth(SongTi(), "e\u0301"), sp = TextWidth(SongTi(), " ");
    const std::vector<Case> cases = {
        // A word of clusters wider than the line stays whole on a line of its own.
        {"e\u0301e\u0301e\u0301 x", 2 * e, DT_WORDBREAK, {"e\u0301e\u0301e\u0301", "x"}},
        {"漢字 かな", TextWidth(SongTi(), "漢字"), DT_WORDBREAK, {"漢字", "かな"}},
        {"Привет мир", TextWidth(SongTi(), "Привет м"), DT_WORDBREAK, {"Привет", "мир"}},
        // The prefix marks the whole cluster after it.
        {"&e\u0301x", 100, DT_SINGLELINE, {"e\u0301x"}},
        // Ellipsis cuts after the last whole cluster that leaves room for "...".
        {"e\u0301e\u0301e\u0301e\u0301", 2 * e + TextWidth(SongTi(), "..."), DT_SINGLELINE | DT_END_ELLIPSIS,
         {"e\u0301e\u0301..."}},
        {"\U0001F1EB\U0001F1F7\U0001F1EB\U0001F1F7 a", TextWidth(SongTi(), "\U0001F1EB\U0001F1F7...") + sp / 2,
         DT_SINGLELINE | DT_END_ELLIPSIS, {"\U0001F1EB\U0001F1F7..."}},
        {"short", 200, DT_SINGLELINE | DT_END_ELLIPSIS, {"short"}},
    };
    for (const Case& c : cases) {
        const std::vector<TextLine> lines = LayoutText(f, c.text, c.width, c.format);
        std::vector<std::string> texts;
        for (const TextLine& l : lines) {
            texts.push_back(l.text);
            EXPECT_EQ(l.width, TextWidth(SongTi(), l.text)) << c.text;
            EXPECT_EQ(l.accel.size(), l.text.size()) << c.text;
        }
        EXPECT_EQ(texts, c.lines) << c.text;
    }
    const std::vector<TextLine> accel = LayoutText(f, "&e\u0301x", 100, DT_SINGLELINE);
    EXPECT_EQ(accel[0].accel, (std::vector<bool>{true, true, true, false}));
    // Text that is not UTF-8 lays out as its replacement shows.
    EXPECT_EQ(LayoutText(f, "a\xFF", 100, DT_SINGLELINE)[0].width, TextWidth(SongTi(), "a\uFFFD"));
}
