#include <gtest/gtest.h>

#include "lumivane/gfx/image/Dib.h"
#include "tests/image/ImageBytes.h"

using namespace lumivane;

TEST(Dib, RefusesBadShapes) {
    ExpectError([] { Dib(4, 4, 16); }, "unsupported bit depth 16");
    ExpectError([] { Dib(4, 4, 3); }, "unsupported bit depth 3");
    ExpectError([] { Dib(-1, 4, 8); }, "negative or too large");
    ExpectError([] { Dib(Surface::kMaxSide + 1, 1, 8); }, "too large");
    ExpectError([] { Dib(16384, 16384, 1); }, "too large");
    ExpectError([] { Dib(2, 2, 4, std::vector<Pixel>(17, 0)); }, "palette of 17 entries is too long");
    ExpectError([] { Dib(2, 2, 24, {0x123456}); }, "has no palette");
}

TEST(Dib, StandardPalettes) {
    EXPECT_EQ(Dib::StandardPalette(1), (std::vector<Pixel>{0x000000, 0xFFFFFF}));
    const auto p4 = Dib::StandardPalette(4);
    ASSERT_EQ(p4.size(), 16u);
    EXPECT_EQ(p4[1], 0x800000u); // maroon
    EXPECT_EQ(p4[3], 0x808000u); // olive
    EXPECT_EQ(p4[7], 0xC0C0C0u); // silver
    EXPECT_EQ(p4[8], 0x808080u); // grey
    EXPECT_EQ(p4[9], 0xFF0000u); // red
    EXPECT_EQ(p4[15], 0xFFFFFFu);
    const auto p8 = Dib::StandardPalette(8);
    ASSERT_EQ(p8.size(), 256u);
    EXPECT_EQ(p8[0], 0x000000u);
    EXPECT_EQ(p8[215], 0xFFFFFFu);
    // A new indexed bitmap starts with its depth's palette.
    EXPECT_EQ(Dib(1, 1, 4).Palette(), p4);
}

TEST(Dib, PixelAccessByIndexAndColour) {
    Dib d(3, 2, 4, {0x000000, 0xFF0000, 0x00FF00});
    d.SetIndex(2, 1, 2);
    EXPECT_EQ(d.Index(2, 1), 2u);
    EXPECT_EQ(d.GetColor(2, 1), 0x00FF00u);
    // Indices keep only the depth's bits; an index past the palette reads as black.
    d.SetIndex(0, 0, 0x1F);
    EXPECT_EQ(d.Index(0, 0), 0xFu);
    EXPECT_EQ(d.GetColor(0, 0), 0u);
    // Setting a colour stores the nearest entry.
    d.SetColor(1, 0, 0xF01010);
    EXPECT_EQ(d.Index(1, 0), 1u);

    Dib c(2, 1, 32);
    c.SetColor(1, 0, 0xAB123456);
    c.SetAlpha(1, 0, 200);
    EXPECT_EQ(c.GetColor(1, 0), 0x123456u);
    EXPECT_EQ(c.Alpha(1, 0), 200);
    EXPECT_TRUE(c.HasAlpha());
    EXPECT_EQ(c.AlphaChannel(), (std::vector<uint8_t>{0, 200}));
    EXPECT_FALSE(Dib(2, 1, 32).HasAlpha());
    EXPECT_EQ(Dib(2, 1, 24).Alpha(0, 0), 0);
}

TEST(Dib, NearestIndexPrefersExactThenClosestThenLowest) {
    const std::vector<Pixel> pal = {0x000000, 0x000002, 0x808000, 0x000001};
    EXPECT_EQ(Dib::NearestIndex(pal, 0x000001), 3u); // exact, though 0 and 1 are as near
    EXPECT_EQ(Dib::NearestIndex({0x000000, 0x000002}, 0x000001), 0u);
    EXPECT_EQ(Dib::NearestIndex(pal, 0x7F7F01), 2u);
    EXPECT_EQ(Dib::NearestIndex(pal, 0xFF808000), 2u); // the top byte is not part of the colour
}

TEST(Dib, FromSurfaceMapsColours) {
    Surface s(3, 1, 0);
    s.Set(0, 0, 0x808000); // olive
    s.Set(1, 0, 0x7E7E03); // near olive
    s.Set(2, 0, 0xFFFFFF);
    Dib d4 = Dib::FromSurface(s, 4);
    EXPECT_EQ(d4.Index(0, 0), 3u);
    EXPECT_EQ(d4.Index(1, 0), 3u);
    EXPECT_EQ(d4.Index(2, 0), 15u);

    // 8 bits without a palette: the surface's colours in order of first appearance.
    Dib d8 = Dib::FromSurface(s, 8);
    EXPECT_EQ(d8.Palette(), (std::vector<Pixel>{0x808000, 0x7E7E03, 0xFFFFFF}));
    EXPECT_EQ(d8.Index(1, 0), 1u);

    // More than 256 colours fall back to the standard palette.
    Surface many(300, 1, 0);
    for (int x = 0; x < 300; ++x)
        many.Set(x, 0, static_cast<Pixel>(x));
    EXPECT_EQ(Dib::FromSurface(many, 8).Palette(), Dib::StandardPalette(8));

    Dib d24 = Dib::FromSurface(s, 24);
    EXPECT_EQ(d24.GetColor(1, 0), 0x7E7E03u);
    EXPECT_EQ(d24.ToSurface().Pixels(), s.Pixels());
}

TEST(Dib, MonochromeBecomesMonochromeSurface) {
    Dib bw(2, 1, 1, {0xFFFFFF, 0x000000});
    bw.SetIndex(0, 0, 1);
    EXPECT_TRUE(bw.IsMonochrome());
    Surface s = bw.ToSurface();
    EXPECT_TRUE(s.Monochrome());
    EXPECT_EQ(s.Get(0, 0), 0x000000u);
    EXPECT_EQ(s.Get(1, 0), 0xFFFFFFu);
    EXPECT_FALSE(bw.ToSurface(false).Monochrome());

    Dib red(2, 1, 1, {0xFF0000, 0xFFFFFF});
    EXPECT_FALSE(red.IsMonochrome());
    EXPECT_FALSE(red.ToSurface().Monochrome());
    EXPECT_EQ(red.ToSurface().Get(0, 0), 0xFF0000u);
}
