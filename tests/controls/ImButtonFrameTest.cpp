// Frames and face backgrounds of every look, and the colour rules.
#include "ImButtonTestKit.h"

namespace {

// Every colour a pixel takes while a painter draws on the canvas, in order, without repeats.
class PixelHistory {
public:
    PixelHistory(TBitmap& bmp, std::vector<TPoint> points) : FBmp(bmp), FPoints(std::move(points)) {
        FSeen.resize(FPoints.size());
        bmp.Canvas()->OnChange = [this](TObject*) { Sample(); };
    }
    ~PixelHistory() { FBmp.Canvas()->OnChange = nullptr; }
    const std::vector<TColor>& Of(size_t i) const { return FSeen[i]; }
    bool Saw(size_t i, TColor c) const {
        for (TColor s : FSeen[i])
            if (s == c) return true;
        return false;
    }

private:
    void Sample() {
        for (size_t i = 0; i < FPoints.size(); ++i) {
            const TColor c = PixelToColor(FBmp.Pixels().Get(FPoints[i].x, FPoints[i].y));
            if (FSeen[i].empty() || FSeen[i].back() != c) FSeen[i].push_back(c);
        }
    }
    TBitmap& FBmp;
    std::vector<TPoint> FPoints;
    std::vector<std::vector<TColor>> FSeen;
};

constexpr TColor Rgb3(int r, int g, int b) { return RGB(r, g, b); }

}  // namespace

// ---- The XP look ----

TEST_F(ImButtonTest, XpPlainGradientRowsLinesOutlineAndCorners) {
    btn->fSetLooks(ibkWindowsXP);
    btn->SetCaption("");
    auto f = Face();
    EXPECT_EQ(At(*f, 37, 11), Rgb3(248, 247, 245));
    EXPECT_EQ(At(*f, 37, 22), 0xD9E1E4u);
    EXPECT_EQ(At(*f, 37, 23), 0xC5D0D6u);  // bottom line over the last gradient row
    EXPECT_EQ(At(*f, 73, 11), 0xE6EAEDu);  // right line
    for (TPoint p : {TPoint{0, 0}, {37, 0}, {74, 0}, {0, 12}, {74, 12}, {37, 24}, {74, 24}})
        EXPECT_EQ(At(*f, p.x, p.y), 0x743C00u) << p.x << "," << p.y;
    for (TPoint p : {TPoint{0, 1}, {1, 0}, {74, 1}, {73, 0}, {0, 23}, {1, 24}, {74, 23}, {73, 24}})
        EXPECT_EQ(At(*f, p.x, p.y), 0xA8957Au) << p.x << "," << p.y;
    for (TPoint p : {TPoint{1, 2}, {2, 1}, {73, 2}, {72, 1}, {1, 22}, {2, 23}, {73, 22}, {72, 23}})
        EXPECT_EQ(At(*f, p.x, p.y), 0xDDCFC0u) << p.x << "," << p.y;
    for (TPoint p : {TPoint{1, 1}, {73, 1}, {1, 23}, {73, 23}}) EXPECT_EQ(At(*f, p.x, p.y), 0xA27D55u) << p.x << "," << p.y;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 75; ++x) ASSERT_NE(At(*f, x, y), kGuard) << x << "," << y;
}

// Rows follow the rectangle, the outline stays at the canvas origin: with the rectangle moved
// down, gradient row 0 shows and the outline cuts through the gradient.
TEST_F(ImButtonTest, XpGradientFollowsRectangleButOutlineStaysAtOrigin) {
    btn->fSetLooks(ibkWindowsXP);
    auto f = Paper(75, 31);
    btn->fDrawFrameRect(f->Canvas(), {0, 5, 75, 30}, 0);
    EXPECT_EQ(At(*f, 37, 5), 0xFFFFFFu);
    EXPECT_EQ(At(*f, 37, 16), Rgb3(248, 247, 245));
    EXPECT_EQ(At(*f, 37, 0), 0x743C00u);
    EXPECT_EQ(At(*f, 37, 24), 0x743C00u);
    EXPECT_EQ(At(*f, 37, 27), 0xD9E1E4u);
    EXPECT_EQ(At(*f, 0, 6), 0xA8957Au);  // corner pixels follow the rectangle
    EXPECT_EQ(At(*f, 1, 6), 0xA27D55u);
}

TEST_F(ImButtonTest, XpPushedWinsOverHotAndFocusAndHasItsOwnRows) {
    btn->fSetLooks(ibkWindowsXP);
    for (int state : {ibsPushed, ibsPushed | ibsHot | ibsFocused | ibsDefault}) {
        auto f = Paper(75, 25);
        btn->fDrawFrameRect(f->Canvas(), {0, 0, 75, 25}, state);
        EXPECT_EQ(At(*f, 37, 3), 0xDDE4E5u);  // first of 19 rows
        EXPECT_EQ(At(*f, 37, 21), 0xDAE2E2u); // last
        EXPECT_EQ(At(*f, 37, 1), 0xC1CCD1u);
        EXPECT_EQ(At(*f, 37, 2), 0xCFD8DCu);
        EXPECT_EQ(At(*f, 37, 22), 0xE3E9EAu);
        EXPECT_EQ(At(*f, 37, 23), 0xEEF1F2u);
        EXPECT_EQ(At(*f, 1, 10), 0xCDD6D9u);
        EXPECT_EQ(At(*f, 2, 10), 0xD5DDDFu);
        EXPECT_EQ(At(*f, 72, 10), 0xDEE4E5u);
        EXPECT_EQ(At(*f, 73, 10), 0xE0E5E6u);
        EXPECT_EQ(At(*f, 1, 1), 0xA27D55u);
    }
}

TEST_F(ImButtonTest, XpHotSidePixelsAndLinesWinOverFocus) {
    btn->fSetLooks(ibkWindowsXP);
    for (int state : {ibsHot, ibsHot | ibsFocused}) {
        auto f = Paper(75, 25);
        // Rows j = 0 and j = 20 are painted over later by the lines and corners.
        PixelHistory h(*f, {{1, 2}, {73, 2}, {1, 22}, {73, 22}, {72, 22}});
        btn->fDrawFrameRect(f->Canvas(), {0, 0, 75, 25}, state);
        EXPECT_TRUE(h.Saw(0, Rgb3(238, 220, 173)));
        EXPECT_TRUE(h.Saw(1, Rgb3(238, 220, 173)));
        EXPECT_TRUE(h.Saw(2, Rgb3(247, 180, 54)));
        EXPECT_TRUE(h.Saw(3, Rgb3(247, 180, 54)));
        EXPECT_TRUE(h.Saw(4, Rgb3(249, 180, 62)));
        // j = 10: outer RGB(242, 200, 114), inner RGB(251, 198, 100).
        EXPECT_EQ(At(*f, 1, 12), Rgb3(242, 200, 114));
        EXPECT_EQ(At(*f, 73, 12), Rgb3(242, 200, 114));
        EXPECT_EQ(At(*f, 2, 12), Rgb3(251, 198, 100));
        EXPECT_EQ(At(*f, 72, 12), Rgb3(251, 198, 100));
        EXPECT_EQ(At(*f, 37, 1), 0xD8E9FFu);
        EXPECT_EQ(At(*f, 37, 2), 0x89D8FDu);
        EXPECT_EQ(At(*f, 37, 22), 0x30B2F8u);
        EXPECT_EQ(At(*f, 37, 23), 0x0097E5u);
        EXPECT_EQ(At(*f, 37, 11), Rgb3(248, 247, 245));
    }
}

TEST_F(ImButtonTest, XpFocusedAndDefaultSidePixels) {
    btn->fSetLooks(ibkWindowsXP);
    for (int state : {ibsFocused, ibsDefault}) {
        auto f = Paper(75, 25);
        PixelHistory h(*f, {{1, 2}, {73, 22}});
        btn->fDrawFrameRect(f->Canvas(), {0, 0, 75, 25}, state);
        EXPECT_TRUE(h.Saw(0, Rgb3(188, 212, 246)));
        EXPECT_TRUE(h.Saw(1, Rgb3(140, 175, 229)));
        // j = 10: RGB(188 - 24, 212 - 18, 246 - 8) on all four columns.
        for (int x : {1, 2, 72, 73}) EXPECT_EQ(At(*f, x, 12), Rgb3(164, 194, 238)) << x;
        EXPECT_EQ(At(*f, 37, 1), 0xFFE7CEu);
        EXPECT_EQ(At(*f, 37, 2), 0xF6D4BCu);
        EXPECT_EQ(At(*f, 37, 22), 0xE4AD89u);
        EXPECT_EQ(At(*f, 37, 23), 0xEE8269u);
    }
}

TEST_F(ImButtonTest, XpIgnoresColours) {
    btn->fSetLooks(ibkWindowsXP);
    btn->SetColor(clRed);
    btn->fGetBtnColors()->fSetIbColor(3, clGreen);
    auto f = Paper(75, 25);
    btn->fDrawFrameRect(f->Canvas(), {0, 0, 75, 25}, ibsHot);
    EXPECT_EQ(At(*f, 37, 11), Rgb3(248, 247, 245));
}

// ---- Bevelled, flat and outlined looks ----

TEST_F(ImButtonTest, NormalLookBevelsInEachState) {
    const TColor face = Rgb(clBtnFace);
    auto plain = Paper(75, 25);
    btn->fDrawFrameRect(plain->Canvas(), {0, 0, 75, 25}, 0);
    EXPECT_EQ(At(*plain, 0, 12), 0xFFFFFFu);
    EXPECT_EQ(At(*plain, 0, 24), 0xFFFFFFu);  // bottom-left corner belongs to the light edge
    EXPECT_EQ(At(*plain, 74, 0), 0x404040u);  // top-right to the dark one
    EXPECT_EQ(At(*plain, 37, 24), 0x404040u);
    EXPECT_EQ(At(*plain, 1, 12), 0xDFDFDFu);
    EXPECT_EQ(At(*plain, 73, 12), 0x808080u);
    EXPECT_EQ(At(*plain, 2, 2), face);
    EXPECT_EQ(At(*plain, 72, 22), face);

    auto pushed = Paper(75, 25);
    btn->fDrawFrameRect(pushed->Canvas(), {0, 0, 75, 25}, ibsPushed);
    EXPECT_EQ(At(*pushed, 0, 12), 0x404040u);
    EXPECT_EQ(At(*pushed, 74, 12), 0xFFFFFFu);
    EXPECT_EQ(At(*pushed, 1, 12), 0x808080u);
    EXPECT_EQ(At(*pushed, 73, 12), 0xDFDFDFu);
}

TEST_F(ImButtonTest, NormalLookDefaultButtonGetsWindowFrameOutline) {
    auto f = Paper(75, 25);
    btn->fDrawFrameRect(f->Canvas(), {0, 0, 75, 25}, ibsDefault);
    const TColor frame = Rgb(clWindowFrame), face = Rgb(clBtnFace);
    for (TPoint p : {TPoint{0, 0}, {74, 0}, {0, 24}, {74, 24}, {37, 0}}) EXPECT_EQ(At(*f, p.x, p.y), frame);
    EXPECT_EQ(At(*f, 1, 12), 0xFFFFFFu);
    EXPECT_EQ(At(*f, 73, 12), 0x404040u);
    EXPECT_EQ(At(*f, 2, 12), 0xDFDFDFu);
    EXPECT_EQ(At(*f, 72, 12), 0x808080u);
    EXPECT_EQ(At(*f, 3, 3), face);
    EXPECT_EQ(At(*f, 71, 21), face);
    // A set DefaultColor takes the outline's place.
    btn->fGetBtnColors()->fSetIbColor(0, clRed);
    auto g = Paper(75, 25);
    btn->fDrawFrameRect(g->Canvas(), {0, 0, 75, 25}, ibsFocused);
    EXPECT_EQ(At(*g, 0, 0), 0x0000FFu);
}

TEST_F(ImButtonTest, FlatLookBevelsOnlyWhileHotOrPushedAndEnabled) {
    btn->fSetLooks(ibkFlat);
    btn->SetColor(0x00A0A0);
    auto plain = Paper(75, 25);
    btn->fDrawFrameRect(plain->Canvas(), {0, 0, 75, 25}, ibsFocused);
    EXPECT_EQ(At(*plain, 0, 0), 0x00A0A0u);
    EXPECT_EQ(At(*plain, 74, 24), 0x00A0A0u);

    auto hot = Paper(75, 25);
    btn->fDrawFrameRect(hot->Canvas(), {0, 0, 75, 25}, ibsHot);
    EXPECT_EQ(At(*hot, 0, 12), 0xFFFFFFu);
    EXPECT_EQ(At(*hot, 74, 12), 0x808080u);
    EXPECT_EQ(At(*hot, 1, 1), 0x00A0A0u);

    auto pushed = Paper(75, 25);
    btn->fDrawFrameRect(pushed->Canvas(), {0, 0, 75, 25}, ibsPushed | ibsHot);
    EXPECT_EQ(At(*pushed, 0, 12), 0x808080u);
    EXPECT_EQ(At(*pushed, 74, 12), 0xFFFFFFu);

    btn->fGetBtnColors()->fSetIbColor(1, 0x00C000);
    auto disabled = Paper(75, 25);
    btn->fDrawFrameRect(disabled->Canvas(), {0, 0, 75, 25}, ibsDisabled | ibsHot | ibsPushed);
    for (TPoint p : {TPoint{0, 0}, {74, 24}, {0, 24}, {37, 12}}) EXPECT_EQ(At(*disabled, p.x, p.y), 0x00C000u);
}

TEST_F(ImButtonTest, BevelFlatLookKeepsItsBevelWhenDisabled) {
    btn->fSetLooks(ibkBevelFlat);
    btn->fGetBtnColors()->fSetIbColor(0, clRed);
    auto focused = Paper(75, 25);
    btn->fDrawFrameRect(focused->Canvas(), {0, 0, 75, 25}, ibsFocused);
    EXPECT_EQ(At(*focused, 0, 0), 0x0000FFu);
    EXPECT_EQ(At(*focused, 1, 12), 0xFFFFFFu);
    EXPECT_EQ(At(*focused, 73, 12), 0x808080u);
    EXPECT_EQ(At(*focused, 2, 2), Rgb(clBtnFace));

    auto disabled = Paper(75, 25);
    btn->fDrawFrameRect(disabled->Canvas(), {0, 0, 75, 25}, ibsDisabled | ibsPushed);
    EXPECT_EQ(At(*disabled, 0, 12), 0x808080u);
    EXPECT_EQ(At(*disabled, 74, 12), 0xFFFFFFu);
    EXPECT_EQ(At(*disabled, 1, 1), Rgb(clBtnFace));
}

TEST_F(ImButtonTest, UltraFlatLookColoursByState) {
    btn->fSetLooks(ibkUltraFlat);
    const TColor frame = Rgb(clWindowFrame), face = Rgb(clBtnFace);
    struct Case {
        int state;
        TColor outer, inner, fill;
    } cases[] = {
        {0, frame, face, face},
        {ibsFocused, 0x800000, 0x800000, face},
        {ibsHot, frame, 0xF0C8C0, 0xF0C8C0},
        {ibsPushed | ibsHot, frame, 0xB5B5B5, 0xB5B5B5},
        {ibsDisabled | ibsPushed, frame, face, face},
    };
    for (const Case& c : cases) {
        auto f = Paper(75, 25);
        btn->fDrawFrameRect(f->Canvas(), {0, 0, 75, 25}, c.state);
        EXPECT_EQ(At(*f, 0, 0), c.outer) << c.state;
        EXPECT_EQ(At(*f, 1, 1), c.inner) << c.state;
        EXPECT_EQ(At(*f, 37, 12), c.fill) << c.state;
    }
}

TEST_F(ImButtonTest, ColourPrecedenceDisabledOverPushedOverHot) {
    TImButtonColors* c = btn->fGetBtnColors();
    c->fSetIbColor(1, 0x000001);
    c->fSetIbColor(2, 0x000002);
    c->fSetIbColor(3, 0x000003);
    EXPECT_EQ(btn->fGetBtnColor(ibsDisabled | ibsPushed | ibsHot), 0x000001u);
    EXPECT_EQ(btn->fGetBtnColor(ibsPushed | ibsHot), 0x000002u);
    EXPECT_EQ(btn->fGetBtnColor(ibsHot | ibsFocused), 0x000003u);
    EXPECT_EQ(btn->fGetBtnColor(ibsFocused | ibsDefault), clBtnFace);
    c->fSetIbColor(1, clDefault);
    EXPECT_EQ(btn->fGetBtnColor(ibsDisabled | ibsPushed), clBtnFace);  // no fall-through to pushed
    EXPECT_EQ(btn->fGetFrameColor(ibsHot), clWindowFrame);
    c->fSetIbColor(0, clNavy);
    EXPECT_EQ(btn->fGetFrameColor(ibsDefault), clNavy);
    EXPECT_EQ(btn->fGetFrameColor(ibsPushed | ibsHot), clWindowFrame);

    auto f = Paper(75, 25);
    c->fSetIbColor(1, 0x0000C0);
    btn->fDrawFrameRect(f->Canvas(), {0, 0, 75, 25}, ibsDisabled | ibsPushed | ibsHot);
    EXPECT_EQ(At(*f, 37, 12), 0x0000C0u);
}
