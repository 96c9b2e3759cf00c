// A context of scale n draws the 1x picture with every pixel made an n-by-n block.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "lumivane/gfx/raster/DeviceContext.h"
#include "tests/raster/RasterTestKit.h"

using namespace lumivane;

namespace {

using Scene = std::function<void(DeviceContext&)>;

// Every drawing operation but text and pictures, in several pen modes, with lines in all
// directions and slopes, crossing the clip's edges and holes.
void EveryOperation(DeviceContext& dc) {
    dc.pen = {clNavy, PS_SOLID, 1, R2_COPYPEN};
    for (const TPoint to : {TPoint{30, 3}, {30, 20}, {1, 21}, {-3, 8}, {17, -4}, {24, 23}, {11, 22}}) {
        dc.MoveTo(14, 11);
        dc.LineTo(to.x, to.y);
    }
    dc.MoveTo(2, 2);
    dc.LineTo(27, 2);  // straight spans, both ways
    dc.LineTo(27, 19);
    dc.LineTo(2, 19);
    dc.brush = {clYellow, BS_SOLID};
    dc.Rectangle(4, 4, 12, 9);
    dc.pen.mode = R2_XORPEN;
    dc.pen.color = clWhite;
    dc.brush.style = BS_NULL;
    dc.Rectangle(8, 6, 20, 16);
    dc.Rectangle(3, 12, 4, 18);  // one pixel wide
    dc.pen.style = PS_NULL;
    dc.brush = {clLime, BS_SOLID};
    dc.Rectangle(20, 4, 26, 8);  // brush only, a pixel short
    dc.pen = {clMaroon, PS_SOLID, 1, R2_NOTXORPEN};
    const TPoint arrow[3] = {{18, 18}, {25, 11}, {29, 18}};
    dc.Polygon(arrow, 3);
    dc.pen.mode = R2_COPYPEN;
    const TPoint star[5] = {{1, 9}, {9, 22}, {0, 14}, {11, 13}, {2, 21}};
    dc.brush.color = clFuchsia;
    dc.Polygon(star, 5);
    dc.FillRect({22, 12, 40, 14}, clTeal);
    dc.SetPixel(5, 15, clRed);
    dc.SetPixel(-1, -1, clRed);
    dc.DrawFocusRect({1, 1, 24, 17});
    dc.DrawFocusRect({6, 3, 7, 10});
    dc.InvertRect({10, 18, 26, 21});
}

// Blits from a 1x picture and within the target itself, in several operations.
void EveryBlit(DeviceContext& dc) {
    static Surface picture = [] {
        Surface p(7, 5);
        Texture(p, 3);
        p.Set(2, 2, 0xFF0000);
        return p;
    }();
    DeviceContext src(&picture);
    BitBlt(dc, 3, 4, 7, 5, src, 0, 0, SRCCOPY);
    BitBlt(dc, 20, -2, 6, 6, src, 1, 0, SRCINVERT);  // partly outside the source
    BitBlt(dc, 1, 15, 9, 3, src, 0, 0, DSTINVERT);   // no source
    StretchBlt(dc, 12, 2, 16, 9, src, 0, 0, 7, 5, SRCCOPY);
    StretchBlt(dc, 0, 10, 5, 3, src, 1, 1, 6, 4, NOTSRCCOPY);
    TransparentBlt(dc, 14, 12, 14, 10, src, 0, 0, 7, 5, TColor{0x0000FF});
    BitBlt(dc, 6, 6, 12, 10, dc, 2, 3, SRCCOPY);  // the target itself, overlapping
}

// Icons drawn at their size and scaled, with alpha, with a mask and plain, partly clipped.
void EveryPicture(DeviceContext& dc) {
    static const Surface image = [] {
        Surface p(5, 4);
        Texture(p, 7);
        return p;
    }();
    static const Surface mask = [] {
        Surface m(5, 4, 0);
        m.SetMonochrome(true);
        m.Set(1, 1, 0xFFFFFF);
        m.Set(4, 3, 0xFFFFFF);
        return m;
    }();
    static const uint8_t alpha[20] = {0, 255, 128, 7, 64, 255, 0, 200, 1, 254, 30, 90, 0, 255, 255,
                                      128, 128, 0, 77, 3};
    DrawIconImage(dc, 2, 3, image, nullptr, nullptr);
    DrawIconImage(dc, 9, 1, image, &mask, nullptr);
    DrawIconImage(dc, 25, 19, image, nullptr, alpha);  // past the right and bottom edges
    DrawIconImage(dc, -2, 12, image, &mask, alpha);      // the alpha wins over the mask
    DrawImageScaled(dc, {14, 6, 27, 15}, image, &mask, nullptr);
    DrawImageScaled(dc, {3, 14, 8, 22}, image, nullptr, alpha);
}

// The same scene on a 1x surface and on one n times its size (both textured alike, the second
// with blocks of the first's pixels), through contexts of the same origin and clip.
void ExpectBlocks(const Scene& scene, int n, TPoint origin, const Region& clip) {
    SCOPED_TRACE("scale " + std::to_string(n));
    constexpr int W = 31, H = 23;
    Surface one(W, H), big(W * n, H * n);
    Texture(one);
    for (int y = 0; y < big.Height(); ++y)
        for (int x = 0; x < big.Width(); ++x) big.Set(x, y, one.Get(x / n, y / n));
    DeviceContext d1(&one, origin, clip), dn(&big, origin, clip, n);
    EXPECT_EQ(dn.Scale(), n);
    scene(d1);
    scene(dn);
    Surface expected(W * n, H * n);
    for (int y = 0; y < big.Height(); ++y)
        for (int x = 0; x < big.Width(); ++x) expected.Set(x, y, one.Get(x / n, y / n));
    EXPECT_EQ(big.Pixels(), expected.Pixels()) << DiffMap(big, expected);
    for (const TPoint p : {TPoint{0, 0}, {5, 15}, {12, 7}, {-2, 3}, {40, 40}})
        EXPECT_EQ(dn.GetPixel(p.x, p.y), d1.GetPixel(p.x, p.y)) << p.x << "," << p.y;
}

TEST(ScaledDrawing, EveryPixelOfTheOneXPictureBecomesABlock) {
    // A clip with round corners and a hole, an origin that moves it: the parity of the focus
    // rectangle's dots and the clip's edges are where a scaled picture would go wrong.
    Region clip = Region::RoundRect(-1, 0, 29, 22, 9, 9);
    clip.Subtract(TRect{12, 9, 16, 12});
    for (int n : {2, 3, 4}) {
        ExpectBlocks(EveryOperation, n, {0, 0}, Region(TRect{0, 0, 31, 23}));
        ExpectBlocks(EveryOperation, n, {1, 0}, clip);
        ExpectBlocks(EveryOperation, n, {-3, 2}, clip);
        ExpectBlocks(EveryBlit, n, {0, 0}, Region(TRect{0, 0, 31, 23}));
        ExpectBlocks(EveryBlit, n, {1, -1}, clip);
        ExpectBlocks(EveryPicture, n, {0, 0}, Region(TRect{0, 0, 31, 23}));
        ExpectBlocks(EveryPicture, n, {-1, 1}, clip);
    }
}

TEST(ScaledDrawing, SurfaceNotAMultipleOfTheScaleGetsPartBlocksAndIsNeverOverrun) {
    // 3x of a picture 4 2/3 by 4 1/3 pixels: the last column and row of blocks are cut.
    Surface s(14, 13, 0x123456);
    DeviceContext dc(&s, {0, 0}, Region(TRect{-10, -10, 50, 50}), 3);
    dc.FillRect({0, 0, 4, 4}, clWhite);
    dc.FillRect({4, 4, 9, 9}, clBlack);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 14; ++x) {
            const Pixel want = x < 12 && y < 12 ? 0xFFFFFF : x >= 12 && y >= 12 ? 0 : 0x123456;
            EXPECT_EQ(s.Get(x, y), want) << x << "," << y;
        }
    EXPECT_EQ(dc.GetPixel(4, 4), clBlack);  // device (12, 12), the one pixel of its block
    // Lines and polygons reach the cut blocks too.
    dc.MoveTo(0, 0);
    dc.LineTo(6, 6);
    EXPECT_EQ(s.Get(13, 12), 0x000000u);
    dc.pen.color = clRed;
    dc.MoveTo(4, 0);
    dc.LineTo(4, 9);  // straight, down the cut column
    dc.pen.color = clBlue;
    dc.MoveTo(2, 1);
    dc.LineTo(6, 5);  // diagonal, through (4, 3)
    EXPECT_EQ(s.Get(13, 6), ColorToPixel(clRed));
    EXPECT_EQ(s.Get(13, 9), ColorToPixel(clBlue));
    dc.pen.style = PS_NULL;
    dc.brush = {clLime, BS_SOLID};
    const TPoint corner[3] = {{4, 0}, {9, 0}, {9, 5}};
    dc.Polygon(corner, 3);
    EXPECT_EQ(s.Get(13, 0), ColorToPixel(clLime));
    EXPECT_EQ(dc.GetPixel(5, 0), CLR_INVALID);
    EXPECT_EQ(dc.GetPixel(0, 5), CLR_INVALID);
}

TEST(ScaledDrawing, FarCoordinatesNeitherOverflowNorDraw) {
    Surface s(10, 10, 0x5A5A5A);
    const Surface before = s;
    DeviceContext dc(&s, {2, -3}, Region(TRect{-2, 3, 1, 5}), 4);
    dc.FillRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, clRed);
    DrawAtFarCoordinates(dc);
    // Only the clip (device rows 0..7) was drawn.
    for (int y = 8; y < 10; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(s.Get(x, y), before.Get(x, y)) << x << "," << y;
}

TEST(ScaledDrawing, BlitsBetweenContextsOfOneScaleKeepDetailFinerThanABlock) {
    // A scaled source may hold more than blocks (text drawn at its size): copied pixel for
    // pixel, and stretched by whole source blocks that keep their inside.
    for (int n : {2, 3}) {
        SCOPED_TRACE("scale " + std::to_string(n));
        Surface from(6 * n, 4 * n), to(10 * n, 10 * n, 0);
        Texture(from, 5);
        DeviceContext src(&from, {0, 0}, Region(from.Bounds()), n), dst(&to, {0, 0}, Region(to.Bounds()), n);
        BitBlt(dst, 1, 2, 6, 4, src, 0, 0, SRCCOPY);
        StretchBlt(dst, 0, 6, 6, 4, src, 0, 0, 3, 2, SRCCOPY);  // twice the size
        for (int y = 0; y < 4 * n; ++y)
            for (int x = 0; x < 6 * n; ++x)
                ASSERT_EQ(to.Get(n + x, 2 * n + y), from.Get(x, y)) << x << "," << y;
        // Device pixel (x, y) of the doubled picture: source block (x / 2n, y / 2n), at the same
        // place inside the block.
        for (int y = 0; y < 4 * n; ++y)
            for (int x = 0; x < 6 * n; ++x) {
                const int bx = x / n / 2, by = y / n / 2;
                ASSERT_EQ(to.Get(x, 6 * n + y), from.Get(bx * n + x % n, by * n + y % n)) << x << "," << y;
            }
    }
}

TEST(ScaledDrawing, ScaleIsOneByDefaultAndKeptWithinOneToFour) {
    Surface s(8, 8);
    EXPECT_EQ(DeviceContext(&s).Scale(), 1);
    EXPECT_EQ(DeviceContext(&s, {0, 0}, Region(s.Bounds())).Scale(), 1);
    EXPECT_EQ(DeviceContext(&s, {0, 0}, Region(s.Bounds()), 0).Scale(), 1);
    EXPECT_EQ(DeviceContext(&s, {0, 0}, Region(s.Bounds()), 9).Scale(), 4);
}

}  // namespace
