// Frames and face backgrounds of every look, and the colour rules.
#include <algorithm>
#include <functional>

#include "ImButtonTestKit.h"
#include "lumivane/framework/Brush.h"
#include "lumivane/framework/Bitmap.h"

using namespace lumivane;

namespace {

// Every colour the pixel took while the painter drew, for rows that later steps paint over.
std::vector<TColor> History(TBitmap& bmp, TPoint p, const std::function<void()>& paint) {
    std::vector<TColor> seen;
    bmp.Canvas()->OnChange = [&](TObject*) { seen.push_back(PixelToColor(bmp.Pixels().Get(p.x, p.y))); };
    paint();
    bmp.Canvas()->OnChange = nullptr;
    return seen;
}
bool Has(const std::vector<TColor>& v, TColor c) { return std::find(v.begin(), v.end(), c) != v.end(); }

}  // namespace

TEST_F(ImButtonTest, FramePixelsOfEachLookAndState) {
    const TColor face = Rgb(clBtnFace), frame = Rgb(clWindowFrame);
    const TColor xpOutline = 0x743C00, xpCorner = 0xA8957A, xpCorner2 = 0xDDCFC0, xpCorner3 = 0xA27D55;
    struct Case {
        TImBtnKind look;
        int state;
        std::vector<Expect> px;
    } cases[] = {
        // XP plain: gradient rows 11 and 22, bottom and right lines, outline and corner pixels.
        {ibkWindowsXP, 0, {{37, 11, RGB(248, 247, 245)}, {37, 22, 0xD9E1E4}, {37, 23, 0xC5D0D6}, {73, 11, 0xE6EAED},
                           {0, 0, xpOutline}, {74, 12, xpOutline}, {37, 24, xpOutline}, {0, 1, xpCorner},
                           {1, 0, xpCorner}, {74, 23, xpCorner}, {73, 24, xpCorner}, {2, 1, xpCorner2},
                           {73, 22, xpCorner2}, {1, 1, xpCorner3}, {73, 23, xpCorner3}}},
        // XP pushed wins over everything: 19 rows from row 3, its own lines.
        {ibkWindowsXP, ibsPushed | ibsHot | ibsFocused | ibsDefault,
         {{37, 3, 0xDDE4E5}, {37, 21, 0xDAE2E2}, {37, 1, 0xC1CCD1}, {37, 2, 0xCFD8DC}, {37, 22, 0xE3E9EA},
          {37, 23, 0xEEF1F2}, {1, 10, 0xCDD6D9}, {2, 10, 0xD5DDDF}, {72, 10, 0xDEE4E5}, {73, 10, 0xE0E5E6}}},
        // XP hot (over focus): side pixels at j = 10 and the hot lines.
        {ibkWindowsXP, ibsHot | ibsFocused,
         {{1, 12, RGB(242, 200, 114)}, {73, 12, RGB(242, 200, 114)}, {2, 12, RGB(251, 198, 100)},
          {72, 12, RGB(251, 198, 100)}, {37, 1, 0xD8E9FF}, {37, 2, 0x89D8FD}, {37, 22, 0x30B2F8}, {37, 23, 0x0097E5},
          {37, 11, RGB(248, 247, 245)}}},
        // XP default (not hot): focus side colour at j = 10 on all four columns.
        {ibkWindowsXP, ibsDefault,
         {{1, 12, RGB(164, 194, 238)}, {2, 12, RGB(164, 194, 238)}, {72, 12, RGB(164, 194, 238)},
          {37, 1, 0xFFE7CE}, {37, 2, 0xF6D4BC}, {37, 22, 0xE4AD89}, {37, 23, 0xEE8269}}},
        // Normal: light edge owns the bottom-left corner, dark edge the top-right one.
        {ibkNormal, 0, {{0, 12, 0xFFFFFF}, {0, 24, 0xFFFFFF}, {74, 0, 0x404040}, {37, 24, 0x404040},
                        {1, 12, 0xDFDFDF}, {73, 12, 0x808080}, {2, 2, face}, {72, 22, face}}},
        {ibkNormal, ibsPushed, {{0, 12, 0x404040}, {74, 12, 0xFFFFFF}, {1, 12, 0x808080}, {73, 12, 0xDFDFDF}}},
        // Default button: window-frame outline, bevels one further in, face from 3.
        {ibkNormal, ibsDefault, {{0, 0, frame}, {74, 24, frame}, {1, 12, 0xFFFFFF}, {73, 12, 0x404040},
                                 {2, 12, 0xDFDFDF}, {72, 12, 0x808080}, {3, 3, face}, {71, 21, face}}},
        {ibkFullPicture, ibsFocused, {{0, 0, frame}, {1, 12, 0xFFFFFF}, {3, 3, face}}},
        // Flat: nothing but the face unless hot or pushed.
        {ibkFlat, ibsFocused, {{0, 0, face}, {74, 24, face}}},
        {ibkFlat, ibsHot, {{0, 12, 0xFFFFFF}, {74, 12, 0x808080}, {1, 1, face}}},
        {ibkFlat, ibsPushed | ibsHot, {{0, 12, 0x808080}, {74, 12, 0xFFFFFF}}},
        {ibkFlat, ibsDisabled | ibsPushed | ibsHot, {{0, 0, face}, {74, 24, face}, {0, 24, face}}},
        // Bevel-flat keeps its bevel even when disabled.
        {ibkBevelFlat, ibsFocused, {{0, 0, frame}, {1, 12, 0xFFFFFF}, {73, 12, 0x808080}, {2, 2, face}}},
        {ibkBevelFlat, ibsDisabled | ibsPushed, {{0, 12, 0x808080}, {74, 12, 0xFFFFFF}, {1, 1, face}}},
        // Ultra-flat with the look's own colours: navy double outline when focused.
        {ibkUltraFlat, 0, {{0, 0, frame}, {1, 1, face}, {37, 12, face}}},
        {ibkUltraFlat, ibsFocused, {{0, 0, 0x800000}, {1, 1, 0x800000}, {37, 12, face}}},
        {ibkUltraFlat, ibsHot, {{0, 0, frame}, {1, 1, 0xF0C8C0}}},
        {ibkUltraFlat, ibsPushed | ibsHot, {{1, 1, 0xB5B5B5}}},
        {ibkUltraFlat, ibsDisabled | ibsPushed, {{0, 0, frame}, {1, 1, face}}},
    };
    for (const Case& c : cases) {
        btn->fSetLooks(c.look);
        auto f = Paper(75, 25);
        btn->fDrawFrameRect(f->Canvas(), {0, 0, 75, 25}, c.state);
        for (const Expect& e : c.px)
            EXPECT_EQ(At(*f, e.x, e.y), e.c) << "look " << int(c.look) << " state " << c.state << " at " << e.x << "," << e.y;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 75; ++x) ASSERT_NE(At(*f, x, y), kGuard) << int(c.look) << " leaves " << x << "," << y;
        // The caption that follows is drawn without background.
        EXPECT_EQ(f->Canvas()->Brush()->Style(), bsClear) << "look " << int(c.look) << " state " << c.state;
    }
}

// Gradient row 0 and side rows j = 0 and j = 20 are painted over by the outline, lines and corners
// afterwards.
TEST_F(ImButtonTest, XpSidePixelsOfFirstAndLastRows) {
    btn->fSetLooks(ibkWindowsXP);
    auto f = Paper(75, 25);
    auto draw = [&](int state) { return [&, state] { btn->fDrawFrameRect(f->Canvas(), {0, 0, 75, 25}, state); }; };
    EXPECT_TRUE(Has(History(*f, {37, 0}, draw(0)), RGB(255, 255, 255)));  // row 0, under the outline
    EXPECT_TRUE(Has(History(*f, {73, 2}, draw(ibsHot)), RGB(238, 220, 173)));
    EXPECT_TRUE(Has(History(*f, {1, 22}, draw(ibsHot)), RGB(247, 180, 54)));
    EXPECT_TRUE(Has(History(*f, {72, 22}, draw(ibsHot)), RGB(249, 180, 62)));
    EXPECT_TRUE(Has(History(*f, {1, 2}, draw(ibsFocused)), RGB(188, 212, 246)));
    EXPECT_TRUE(Has(History(*f, {73, 22}, draw(ibsFocused)), RGB(140, 175, 229)));
}

// Rows follow the rectangle, the outline stays at the canvas origin.
TEST_F(ImButtonTest, XpGradientFollowsRectangleOutlineStaysAtOrigin) {
    btn->fSetLooks(ibkWindowsXP);
    btn->SetColor(clRed);  // the XP look uses no colours
    auto f = Paper(75, 31);
    btn->fDrawFrameRect(f->Canvas(), {0, 5, 75, 30}, 0);
    for (Expect e : {Expect{37, 5, 0xFFFFFF}, {37, 16, RGB(248, 247, 245)}, {37, 0, 0x743C00}, {37, 24, 0x743C00},
                     {37, 27, 0xD9E1E4}, {0, 6, 0xA8957A}, {1, 6, 0xA27D55}})
        EXPECT_EQ(At(*f, e.x, e.y), e.c) << e.x << "," << e.y;
}

TEST_F(ImButtonTest, ColourPrecedence) {
    TImButtonColors* c = btn->fGetBtnColors();
    for (int i = 1; i < 4; ++i) c->fSetIbColor(i, TColor(i));
    EXPECT_EQ(btn->fGetBtnColor(ibsDisabled | ibsPushed | ibsHot), 1u);
    EXPECT_EQ(btn->fGetBtnColor(ibsPushed | ibsHot), 2u);
    EXPECT_EQ(btn->fGetBtnColor(ibsHot | ibsFocused), 3u);
    EXPECT_EQ(btn->fGetBtnColor(ibsFocused | ibsDefault), clBtnFace);
    c->fSetIbColor(1, clDefault);
    EXPECT_EQ(btn->fGetBtnColor(ibsDisabled | ibsPushed), clBtnFace);  // no fall-through to pushed
    EXPECT_EQ(btn->fGetFrameColor(ibsDefault), clWindowFrame);
    c->fSetIbColor(0, clNavy);
    EXPECT_EQ(btn->fGetFrameColor(ibsDefault), clNavy);
    EXPECT_EQ(btn->fGetFrameColor(ibsFocused), clNavy);
    EXPECT_EQ(btn->fGetFrameColor(ibsPushed | ibsHot), clWindowFrame);
}
