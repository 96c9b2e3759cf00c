#include <gtest/gtest.h>

#include <cstdint>

#include "lumivane/gfx/raster/DeviceContext.h"
#include "tests/raster/RasterTestKit.h"

using namespace lumivane;

namespace {
constexpr Pixel kW = 0xFFFFFF, kK = 0x000000;
}

TEST(Lines, EndPixelIsLeftOutInEveryDirection) {
    const int dirs[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    for (auto [dx, dy] : dirs) {
        Surface s(9, 9);
        DeviceContext dc(&s);
        dc.MoveTo(4, 4);
        dc.LineTo(4 + 3 * dx, 4 + 3 * dy);
        EXPECT_EQ(dc.pos, (TPoint{4 + 3 * dx, 4 + 3 * dy}));
        Surface expected(9, 9);
        for (int i = 0; i < 3; ++i) expected.Set(4 + i * dx, 4 + i * dy, kK);
        EXPECT_EQ(InkMap(s, kK), InkMap(expected, kK)) << dx << "," << dy;
    }
}

TEST(Lines, ShallowLineRoundsHalfUpWhicheverWayItRuns) {
    Surface a(6, 3), b(6, 3);
    DeviceContext da(&a), db(&b);
    da.MoveTo(0, 0);
    da.LineTo(4, 2);
    EXPECT_EQ(InkMap(a, kK), "#.....\n.##...\n...#..\n");
    // Drawn back, the same pixels apart from the swapped end points.
    db.MoveTo(4, 2);
    db.LineTo(0, 0);
    EXPECT_EQ(InkMap(b, kK), "......\n.##...\n...##.\n");
}

TEST(Lines, NullPenAndPenModes) {
    Surface s(4, 1, 0x00F00F);
    DeviceContext dc(&s);
    dc.pen.style = PS_NULL;
    dc.MoveTo(0, 0);
    dc.LineTo(4, 0);
    EXPECT_EQ(s.Get(0, 0), 0x00F00Fu);
    EXPECT_EQ(dc.pos, (TPoint{4, 0}));

    dc.pen.style = PS_SOLID;
    dc.pen.color = RGB(0xFF, 0, 0); // pixel 0xFF0000
    dc.pen.mode = R2_XORPEN;
    dc.MoveTo(0, 0);
    dc.LineTo(1, 0);
    EXPECT_EQ(s.Get(0, 0), 0xFFF00Fu);
    dc.pen.mode = R2_NOT;
    dc.MoveTo(1, 0);
    dc.LineTo(2, 0);
    EXPECT_EQ(s.Get(1, 0), 0xFF0FF0u);
    dc.pen.mode = R2_MASKPEN;
    dc.MoveTo(2, 0);
    dc.LineTo(3, 0);
    EXPECT_EQ(s.Get(2, 0), 0x000000u);
}

TEST(Rectangles, OutlineCoversRightAndBottomMinusOne) {
    Surface s(7, 6);
    DeviceContext dc(&s);
    dc.brush.color = clRed;
    dc.Rectangle(1, 1, 5, 4);
    EXPECT_EQ(InkMap(s, kK), ".......\n.####..\n.#..#..\n.####..\n.......\n.......\n");
    EXPECT_EQ(InkMap(s, 0xFF0000), ".......\n.......\n..##...\n.......\n.......\n.......\n");

    // A clear brush leaves the inside; a null pen fills one pixel less each way.
    Surface t(7, 6);
    DeviceContext dt(&t);
    dt.brush.style = BS_NULL;
    dt.Rectangle(1, 1, 5, 4);
    EXPECT_EQ(t.Get(2, 2), kW);
    dt.brush = {clBlue, BS_SOLID};
    dt.pen.style = PS_NULL;
    dt.Rectangle(0, 0, 3, 3);
    EXPECT_EQ(InkMap(t, 0x0000FF, {0, 0, 4, 4}), "##..\n##..\n....\n....\n");
}

TEST(Rectangles, FillRectUsesBrushOrColourAndResolvesSystemColours) {
    Surface s(4, 2);
    DeviceContext dc(&s);
    dc.brush.color = clBtnFace;
    dc.FillRect({0, 0, 2, 1});
    EXPECT_EQ(s.Get(1, 0), ColorToPixel(clBtnFace));
    EXPECT_EQ(s.Get(2, 0), kW);
    dc.FillRect({1, 1, 4, 2}, RGB(1, 2, 3));
    EXPECT_EQ(s.Get(1, 1), 0x010203u);
    EXPECT_EQ(s.Get(0, 1), kW);
    dc.brush.style = BS_NULL;
    dc.FillRect({0, 0, 4, 2});
    EXPECT_EQ(s.Get(3, 0), kW);
}

TEST(Rectangles, BevelNotationPaintsTheCornerPixelsAsDocumented) {
    // Bevel c1/c2 on (1, 1, 5, 4): MoveTo(x1, y2), c1 up and right, c2 down and back left.
    Surface s(7, 6, 0x123456);
    DeviceContext dc(&s);
    const TColor c1 = clBtnHighlight, c2 = clBtnShadow;
    const Pixel p1 = ColorToPixel(c1), p2 = ColorToPixel(c2);
    ASSERT_NE(p1, p2);
    dc.MoveTo(1, 4);
    dc.pen.color = c1;
    dc.LineTo(1, 1);
    dc.LineTo(5, 1);
    dc.pen.color = c2;
    dc.LineTo(5, 4);
    dc.LineTo(1, 4);
    EXPECT_EQ(InkMap(s, p1), ".......\n.####..\n.#.....\n.#.....\n.#.....\n.......\n");
    EXPECT_EQ(InkMap(s, p2), ".......\n.....#.\n.....#.\n.....#.\n..####.\n.......\n");
}

TEST(Rectangles, XorOutlineAndFocusRectRestoreWhenDrawnTwice) {
    Surface s(12, 9), before(12, 9);
    Texture(s);
    before = s;
    DeviceContext dc(&s);
    dc.pen = {clWhite, PS_SOLID, 1, R2_XORPEN};
    dc.brush.style = BS_NULL;
    dc.Rectangle(0, 0, 12, 9);
    EXPECT_EQ(DiffMap(s, before),
              "############\n#..........#\n#..........#\n#..........#\n#..........#\n"
              "#..........#\n#..........#\n#..........#\n############\n");
    EXPECT_EQ(s.Get(0, 0), before.Get(0, 0) ^ 0xFFFFFF);
    dc.Rectangle(0, 0, 12, 9);
    EXPECT_EQ(s.Pixels(), before.Pixels());

    // One-pixel-wide and one-pixel-high outlines too.
    dc.Rectangle(3, 3, 4, 8);
    dc.Rectangle(5, 2, 10, 3);
    dc.Rectangle(3, 3, 4, 8);
    dc.Rectangle(5, 2, 10, 3);
    EXPECT_EQ(s.Pixels(), before.Pixels());

    dc.DrawFocusRect({1, 1, 8, 6});
    EXPECT_EQ(DiffMap(s, before),
              "............\n"
              ".#.#.#.#....\n"
              "............\n"
              ".#.....#....\n"
              "............\n"
              ".#.#.#.#....\n"
              "............\n............\n............\n");
    EXPECT_EQ(s.Get(1, 1), before.Get(1, 1) ^ 0xFFFFFF);
    dc.DrawFocusRect({1, 1, 8, 6});
    EXPECT_EQ(s.Pixels(), before.Pixels());

    dc.InvertRect({2, 2, 4, 3});
    EXPECT_EQ(s.Get(3, 2), before.Get(3, 2) ^ 0xFFFFFF);
    EXPECT_EQ(s.Get(4, 2), before.Get(4, 2));
}

TEST(Polygons, UpDownArrowsOfTheSpinButtons) {
    // The up arrow of a 15 x 8 button and the down arrow of a 15 x 9 one.
    Surface up(15, 8), down(15, 9);
    DeviceContext du(&up), dd(&down);
    for (DeviceContext* dc : {&du, &dd}) {
        dc->pen.color = clBlack;
        dc->brush = {clBlack, BS_SOLID};
        dc->MoveTo(1, 1);
    }
    const TPoint upPts[3] = {{7, 2}, {5, 6}, {10, 6}};
    const TPoint downPts[3] = {{7, 6}, {10, 2}, {5, 2}};
    du.Polygon(upPts, 3);
    dd.Polygon(downPts, 3);
    EXPECT_EQ(du.pos, (TPoint{1, 1})); // the current position is not moved
    EXPECT_EQ(InkMap(up, kK),
              "...............\n"
              "...............\n"
              ".......#.......\n"
              ".......##......\n"
              "......####.....\n"
              "......####.....\n"
              ".....######....\n"
              "...............\n");
    EXPECT_EQ(InkMap(down, kK),
              "...............\n"
              "...............\n"
              ".....######....\n"
              "......####.....\n"
              "......####.....\n"
              ".......##......\n"
              ".......#.......\n"
              "...............\n"
              "...............\n");
}

TEST(Polygons, FillFollowsEvenOddAndPixelCentres) {
    // With a null pen a square polygon fills exactly like FillRect: right and bottom left out.
    Surface s(6, 6);
    DeviceContext dc(&s);
    dc.pen.style = PS_NULL;
    dc.brush = {clBlack, BS_SOLID};
    const TPoint sq[4] = {{1, 1}, {5, 1}, {5, 4}, {1, 4}};
    dc.Polygon(sq, 4);
    EXPECT_EQ(InkMap(s, kK), "......\n.####.\n.####.\n.####.\n......\n......\n");

    // A self-crossing star: the middle is crossed twice and stays empty under even-odd.
    Surface t(11, 11);
    DeviceContext dt(&t);
    dt.pen.style = PS_NULL;
    dt.brush = {clBlack, BS_SOLID};
    const TPoint star[5] = {{5, 0}, {8, 10}, {0, 3}, {10, 3}, {2, 10}};
    dt.Polygon(star, 5);
    EXPECT_EQ(t.Get(5, 5), kW);
    EXPECT_EQ(t.Get(5, 2), kK);
    EXPECT_EQ(t.Get(1, 3), kK);
}

TEST(Clipping, NothingIsWrittenOutsideClipOrSurface) {
    const Pixel guard = 0x5A5A5A;
    Surface s(12, 12, guard), src(20, 20, 0x010101);
    // Logical 0,0 at (3, 4); clip (0,0)-(5,4) logical => surface (3..7, 4..7), minus a hole.
    Region clip(TRect{0, 0, 5, 4});
    clip.Subtract(TRect{2, 1, 3, 2});
    DeviceContext dc(&s, {3, 4}, clip);
    DeviceContext ds(&src);
    dc.brush = {clRed, BS_SOLID};
    dc.FillRect({-100, -100, 100, 100});
    dc.Rectangle(-1, -1, 50, 50);
    dc.MoveTo(-1000, -1000);
    dc.LineTo(1000, 1000);
    dc.MoveTo(-5, 2);
    dc.LineTo(2000000000, 2);
    const TPoint tri[3] = {{-50, -50}, {60, 0}, {0, 70}};
    dc.Polygon(tri, 3);
    for (int i = 0; i < 30; ++i) dc.SetPixel(i - 10, i / 2 - 5, clGreen);
    dc.DrawFocusRect({-1, -1, 6, 5});
    dc.InvertRect({-9, -9, 90, 90});
    BitBlt(dc, -5, -5, 30, 30, ds, 0, 0, SRCCOPY);
    StretchBlt(dc, -5, -5, 40, 40, ds, 0, 0, 20, 20, SRCINVERT);
    TransparentBlt(dc, -5, -5, 40, 40, ds, 0, 0, 10, 10, clWhite);
    BitBlt(dc, -5, -5, 30, 30, ds, 0, 0, WHITENESS);
    Surface icon(30, 30, 0x808080);
    DrawIconImage(dc, -4, -4, icon, nullptr, nullptr);

    Surface expected(12, 12, guard);
    for (int y = 4; y < 8; ++y)
        for (int x = 3; x < 8; ++x) expected.Set(x, y, 0);
    expected.Set(5, 5, guard);
    EXPECT_EQ(InkMap(s, guard), InkMap(expected, guard));

    // The surface edge clips too, whatever the clip region says.
    Surface edge(4, 4, guard);
    DeviceContext de(&edge, {2, 2}, Region(TRect{-10, -10, 10, 10}));
    de.FillRect({-10, -10, 10, 10}, clBlack);
    EXPECT_EQ(InkMap(edge, kK), "####\n####\n####\n####\n");
    EXPECT_EQ(de.GetPixel(5, 0), CLR_INVALID);
    EXPECT_EQ(de.GetPixel(-2, -2), clBlack);
    EXPECT_EQ(dc.GetPixel(2, 1), CLR_INVALID); // in the hole
}

TEST(Clipping, RoundRectClipOnAnXpButtonHidesOnlyTheCorners) {
    Surface s(75, 25, 0x00FF00);
    DeviceContext dc(&s, {0, 0}, Region::RoundRect(0, 0, 76, 26, 2, 2));
    dc.pen.color = 0x743C00;
    dc.brush.style = BS_NULL;
    dc.Rectangle(0, 0, 75, 25);
    int untouched = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 75; ++x)
            if (s.Get(x, y) == 0x00FF00 && (x == 0 || y == 0 || x == 74 || y == 24)) ++untouched;
    EXPECT_EQ(untouched, 4);
    EXPECT_EQ(s.Get(0, 0), 0x00FF00u);
    EXPECT_EQ(s.Get(74, 24), 0x00FF00u);
    EXPECT_EQ(s.Get(1, 0), 0x003C74u);
}

TEST(Monochrome, DrawingMapsColoursToBlackOrWhite) {
    Surface m(3, 1, 0);
    m.SetMonochrome(true);
    DeviceContext dc(&m);
    dc.SetPixel(0, 0, clWhite);
    dc.SetPixel(1, 0, RGB(254, 255, 255));
    dc.SetPixel(2, 0, clBtnHighlight); // resolves to white in the palette
    ASSERT_EQ(ColorToPixel(clBtnHighlight), 0xFFFFFFu);
    EXPECT_EQ(m.Get(0, 0), kW);
    EXPECT_EQ(m.Get(1, 0), kK);
    EXPECT_EQ(m.Get(2, 0), kW);
    dc.FillRect({0, 0, 3, 1}, clSilver);
    EXPECT_EQ(InkMap(m, kK), "###\n");
}

TEST(Clipping, FarCoordinatesNeitherOverflowNorDraw) {
    const int lo = INT32_MIN, hi = INT32_MAX;
    Surface s(5, 5, 0x5A5A5A), src(3, 3, 0);
    DeviceContext dc(&s, {2, 2}, Region(TRect{-2, -2, 3, 3}));
    DeviceContext ds(&src, {1, 1}, Region(TRect{-1, -1, 2, 2}));
    DrawAtFarCoordinates(dc);
    BitBlt(dc, lo, lo, hi, hi, ds, hi, lo, SRCCOPY);
    BitBlt(dc, -2, -2, 5, 5, ds, lo, hi, SRCCOPY);
    StretchBlt(dc, lo, lo, hi, hi, ds, lo, lo, hi, hi, SRCCOPY);
    TransparentBlt(dc, hi, hi, hi, hi, ds, 0, 0, 3, 3, clRed);
    DrawIconImage(dc, hi, lo, src, nullptr, nullptr);
    SUCCEED();
}

TEST(Clipping, MemoryContextFollowsItsSurfaceUntilGivenAClip) {
    Surface s(2, 2);
    DeviceContext dc(&s);
    s.Resize(4, 3);
    EXPECT_EQ(dc.Clip(), Region(TRect{0, 0, 4, 3}));
    dc.FillRect({0, 0, 10, 10}, clBlack);
    EXPECT_EQ(InkMap(s, kK), "####\n####\n####\n");
    dc.IntersectClip({1, 0, 10, 10});
    s.Resize(5, 3);
    dc.FillRect({0, 0, 10, 10}, clBlack);
    EXPECT_EQ(InkMap(s, kK), ".###.\n.###.\n.###.\n"); // the clip no longer grows
    s.Resize(2, 1);
    dc.FillRect({0, 0, 10, 10}, clBlack); // the clip is still cut to the smaller surface
    EXPECT_EQ(InkMap(s, kK), ".#\n");
}
