#include <gtest/gtest.h>

#include "lumivane/gfx/raster/DeviceContext.h"
#include "tests/raster/RasterTestKit.h"

using namespace lumivane;

namespace {
constexpr Pixel kW = 0xFFFFFF, kK = 0x000000;

Surface MonoFromMap(const char* rows, int w, int h) {
    Surface m(w, h);
    m.SetMonochrome(true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m.Set(x, y, rows[y * (w + 1) + x] == '#' ? kK : kW);
    return m;
}

// Paints colour c on the canvas under the mask's black pixels with three blits.
void Stamp(DeviceContext& canvas, int x, int y, DeviceContext& mask, TColor c) {
    const Surface& m = *mask.Target();
    canvas.textColor = c;
    canvas.bkColor = clBlack;
    BitBlt(canvas, x, y, m.Width(), m.Height(), mask, 0, 0, SRCINVERT);
    canvas.textColor = clBlack;
    canvas.bkColor = clWhite;
    BitBlt(canvas, x, y, m.Width(), m.Height(), mask, 0, 0, SRCAND);
    canvas.textColor = c;
    canvas.bkColor = clBlack;
    BitBlt(canvas, x, y, m.Width(), m.Height(), mask, 0, 0, SRCINVERT);
}
} // namespace

TEST(Blit, RasterOperationsCombineBitwise) {
    const Pixel S = 0x0F33CC, D = 0x5555F0;
    struct Case {
        uint32_t rop;
        Pixel want;
    } cases[] = {
        {SRCCOPY, S},
        {SRCPAINT, S | D},
        {SRCAND, S & D},
        {SRCINVERT, S ^ D},
        {SRCERASE, S & ~D & 0xFFFFFF},
        {NOTSRCCOPY, ~S & 0xFFFFFF},
        {NOTSRCERASE, ~(S | D) & 0xFFFFFF},
        {MERGEPAINT, (~S | D) & 0xFFFFFF},
        {DSTINVERT, ~D & 0xFFFFFF},
        {BLACKNESS, 0},
        {WHITENESS, 0xFFFFFF},
        {MERGECOPY, S & 0xFF0000}, // brush clRed, pixel 0xFF0000
        {PATCOPY, 0xFF0000},
        {PATINVERT, D ^ 0xFF0000},
    };
    for (const Case& c : cases) {
        Surface src(1, 1, S), dst(1, 1, D);
        DeviceContext ds(&src), dd(&dst);
        dd.brush.color = clRed;
        BitBlt(dd, 0, 0, 1, 1, ds, 0, 0, c.rop);
        EXPECT_EQ(dst.Get(0, 0), c.want) << std::hex << c.rop;
    }
}

TEST(Blit, CopiesWithOffsetsOriginsAndSourceEdges) {
    Surface src(5, 4), dst(6, 6, 0x111111);
    Texture(src);
    DeviceContext ds(&src, {1, 1}, Region(TRect{-1, -1, 4, 3}));
    DeviceContext dd(&dst, {2, 0}, Region(TRect{-2, 0, 4, 6}));
    // Logical source (0, 0) is surface (1, 1); target (-1, 1) is surface (1, 1).
    BitBlt(dd, -1, 1, 10, 10, ds, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Get(1, 1), src.Get(1, 1));
    EXPECT_EQ(dst.Get(4, 3), src.Get(4, 3));
    // Beyond the source surface nothing is copied.
    EXPECT_EQ(dst.Get(5, 1), 0x111111u);
    EXPECT_EQ(dst.Get(1, 4), 0x111111u);
    EXPECT_EQ(dst.Get(0, 0), 0x111111u);
}

TEST(Blit, OverlappingCopyOnOneSurface) {
    Surface s(6, 1);
    for (int x = 0; x < 6; ++x) s.Set(x, 0, x + 1);
    DeviceContext dc(&s);
    BitBlt(dc, 2, 0, 4, 1, dc, 0, 0, SRCCOPY);
    EXPECT_EQ(s.Pixels(), (std::vector<Pixel>{1, 2, 1, 2, 3, 4}));
    BitBlt(dc, 0, 0, 4, 1, dc, 2, 0, SRCCOPY);
    EXPECT_EQ(s.Pixels(), (std::vector<Pixel>{1, 2, 3, 4, 3, 4}));

    Surface v(1, 5);
    for (int y = 0; y < 5; ++y) v.Set(0, y, y + 10);
    DeviceContext dv(&v);
    StretchBlt(dv, 0, 1, 1, 4, dv, 0, 0, 1, 2, SRCCOPY);
    EXPECT_EQ(v.Pixels(), (std::vector<Pixel>{10, 10, 10, 11, 11}));
}

TEST(Blit, MonochromeConversionsBothWays) {
    // Mono onto colour: black takes the target's text colour, white its background colour.
    Surface mono = MonoFromMap("#.\n.#\n", 2, 2);
    Surface colour(2, 2, 0x123456);
    DeviceContext dm(&mono), dc(&colour);
    dc.textColor = clBtnShadow;
    dc.bkColor = RGB(0x10, 0x20, 0x30);
    BitBlt(dc, 0, 0, 2, 2, dm, 0, 0, SRCCOPY);
    EXPECT_EQ(colour.Get(0, 0), ColorToPixel(clBtnShadow));
    EXPECT_EQ(colour.Get(1, 1), ColorToPixel(clBtnShadow));
    EXPECT_EQ(colour.Get(1, 0), 0x102030u);
    EXPECT_EQ(colour.Get(0, 1), 0x102030u);

    // Colour onto mono: the source's background colour becomes white, everything else black.
    Surface pic(3, 1);
    pic.Set(0, 0, 0x0000FF);
    pic.Set(1, 0, 0xFFFFFF);
    pic.Set(2, 0, 0x00FF00);
    Surface m(3, 1, 0);
    m.SetMonochrome(true);
    DeviceContext dp(&pic), dmm(&m);
    BitBlt(dmm, 0, 0, 3, 1, dp, 0, 0, SRCCOPY);
    EXPECT_EQ(InkMap(m, kW), ".#.\n");
    dp.bkColor = RGB(0, 0xFF, 0); // pixel 0x00FF00
    BitBlt(dmm, 0, 0, 3, 1, dp, 0, 0, SRCCOPY);
    EXPECT_EQ(InkMap(m, kW), "..#\n");
    // Colour results of an operation on a mono target stay black or white.
    Surface grey(3, 1, 0x808080);
    DeviceContext dg(&grey);
    dg.bkColor = 0x808080;
    BitBlt(dmm, 0, 0, 3, 1, dg, 0, 0, SRCINVERT);
    EXPECT_EQ(InkMap(m, kW), "##.\n");
}

TEST(Blit, ThreeBlitStampPaintsOnlyUnderBlackMaskPixels) {
    Surface canvas(7, 6), before(7, 6);
    Texture(canvas, 3);
    before = canvas;
    Surface mask = MonoFromMap("#..#\n.##.\n#...\n", 4, 3);
    DeviceContext dc(&canvas), dm(&mask);
    Stamp(dc, 2, 1, dm, clBtnShadow);
    const Pixel c = ColorToPixel(clBtnShadow);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x) {
            bool ink = x >= 2 && x < 6 && y >= 1 && y < 4 && mask.Get(x - 2, y - 1) == kK;
            EXPECT_EQ(canvas.Get(x, y), ink ? c : before.Get(x, y)) << x << "," << y;
        }
}

TEST(Blit, EmbossedPictureFromATransparentStripFrame) {
    // Step one: a white mono bitmap receives the frame with transparency; every kept pixel that
    // is not white turns black.
    Surface strip(3, 2);
    const Pixel key = 0xFF00FF;
    strip.Set(0, 0, key);
    strip.Set(1, 0, 0x202020);
    strip.Set(2, 0, 0xFFFFFF);
    strip.Set(0, 1, key); // bottom-left pixel: the transparent colour
    strip.Set(1, 1, key);
    strip.Set(2, 1, 0x000080);
    Surface tmp(3, 2);
    tmp.SetMonochrome(true);
    DeviceContext ds(&strip), dt(&tmp);
    dt.FillRect({0, 0, 3, 2}, clWhite);
    TransparentBlt(dt, 0, 0, 3, 2, ds, 0, 0, 3, 2, PixelToColor(strip.Get(0, 1)));
    EXPECT_EQ(InkMap(tmp, kK), ".#.\n..#\n");

    // Step two: highlight one pixel down-right, then shadow on top.
    Surface canvas(5, 4, 0x0F0F0F);
    DeviceContext dc(&canvas);
    Stamp(dc, 1, 1, dt, clBtnHighlight);
    Stamp(dc, 0, 0, dt, clBtnShadow);
    const Pixel hi = ColorToPixel(clBtnHighlight), sh = ColorToPixel(clBtnShadow);
    EXPECT_EQ(InkMap(canvas, sh), ".#...\n..#..\n.....\n.....\n");
    EXPECT_EQ(InkMap(canvas, hi), ".....\n.....\n...#.\n.....\n");
}

TEST(Blit, TransparentBlitSkipsTheBottomLeftColour) {
    Surface pic(3, 3);
    Texture(pic, 5);
    const Pixel key = pic.Get(0, 2);
    pic.Set(2, 0, key);
    pic.Set(1, 1, key);
    Surface canvas(4, 4, 0x00AA00);
    DeviceContext dp(&pic), dc(&canvas);
    TransparentBlt(dc, 1, 1, 3, 3, dp, 0, 0, 3, 3, PixelToColor(key));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            Pixel p = pic.Get(x, y);
            EXPECT_EQ(canvas.Get(x + 1, y + 1), p == key ? 0x00AA00u : p) << x << "," << y;
        }
    EXPECT_EQ(canvas.Get(0, 0), 0x00AA00u);
}

TEST(Blit, StretchIsNearestNeighbour) {
    Surface src(2, 2);
    src.Set(0, 0, 1);
    src.Set(1, 0, 2);
    src.Set(0, 1, 3);
    src.Set(1, 1, 4);
    Surface dst(4, 4);
    DeviceContext ds(&src), dd(&dst);
    StretchBlt(dd, 0, 0, 4, 4, ds, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(dst.Pixels(), (std::vector<Pixel>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));

    // Shrinking samples under each target pixel's centre; sizes may differ per axis.
    Surface row(6, 1);
    for (int x = 0; x < 6; ++x) row.Set(x, 0, 10 + x);
    Surface out(3, 2, 0);
    DeviceContext dr(&row), dout(&out);
    StretchBlt(dout, 0, 0, 3, 2, dr, 0, 0, 6, 1, SRCCOPY);
    EXPECT_EQ(out.Pixels(), (std::vector<Pixel>{11, 13, 15, 11, 13, 15}));

    // Negative or empty sizes draw nothing.
    Surface keep(2, 2, 7);
    DeviceContext dk(&keep);
    StretchBlt(dk, 0, 0, -2, 2, ds, 0, 0, 2, 2, SRCCOPY);
    StretchBlt(dk, 0, 0, 2, 2, ds, 0, 0, 0, 2, SRCCOPY);
    EXPECT_EQ(keep.Pixels(), (std::vector<Pixel>(4, 7)));
}

TEST(Blit, IconImageWithMaskOrAlpha) {
    Surface img(2, 1);
    img.Set(0, 0, 0x0000FF);
    img.Set(1, 0, 0x00FF00);
    Surface mask(2, 1);
    mask.Set(0, 0, kW); // screen pixel xored with the image
    mask.Set(1, 0, kK); // image copied
    Surface canvas(2, 1, 0x101010);
    DeviceContext dc(&canvas);
    DrawIconImage(dc, 0, 0, img, &mask, nullptr);
    EXPECT_EQ(canvas.Get(0, 0), 0x1010EFu);
    EXPECT_EQ(canvas.Get(1, 0), 0x00FF00u);

    const uint8_t alpha[2] = {0, 128};
    Surface c2(2, 1, 0x000000);
    DeviceContext d2(&c2);
    DrawIconImage(d2, 0, 0, img, nullptr, alpha);
    EXPECT_EQ(c2.Get(0, 0), 0u);
    EXPECT_EQ(c2.Get(1, 0), 0x008000u);
}
