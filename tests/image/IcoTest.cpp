#include <gtest/gtest.h>

#include "lumivane/gfx/image/Bmp.h"
#include "lumivane/gfx/image/Ico.h"
#include "tests/image/ImageBytes.h"

using namespace lumivane;

namespace {

// A dark red disc with a green stripe on black; the mask is white (transparent) outside the disc.
void MakePicture(int size, Surface& colour, Surface& mask) {
    colour.Resize(size, size, 0);
    mask.Resize(size, size, 0xFFFFFF);
    const int c = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if ((x - c) * (x - c) + (y - c) * (y - c) < c * c) {
                colour.Set(x, y, y == c + x % 3 ? 0x38EE00 : 0x950000);
                mask.Set(x, y, 0);
            }
}

IconImage MakeImage(int size, int bpp, std::vector<Pixel> palette = {}) {
    Surface colour, mask;
    MakePicture(size, colour, mask);
    return IconImage::FromSurfaces(colour, &mask, bpp, std::move(palette));
}

uint32_t U32At(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// A one-entry icon around `dib` (an info header and what follows it).
Bytes WrapIcon(const Bytes& dib) {
    Bytes b;
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, 1);
    Append(b, {2, 2, 0, 0});
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, static_cast<uint32_t>(dib.size()));
    Put32(b, 22);
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

// 2 x 2, 24 bits, stored height 4: image rows then mask rows, both bottom-up.
Bytes SmallDib(int32_t storedHeight = 4) {
    Bytes d;
    InfoHeader h;
    h.height = storedHeight;
    h.AppendTo(d);
    Append(d, {0xFF, 0, 0, 0, 0xFF, 0, 0, 0});       // bottom: blue, green
    Append(d, {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}); // top: red, white
    Append(d, {0x40, 0, 0, 0});                      // bottom mask: right pixel transparent
    Append(d, {0x80, 0, 0, 0});                      // top mask: left pixel transparent
    return d;
}

} // namespace

TEST(Ico, EightBitIconWithMaskRoundTrips) {
    EXPECT_EQ(MakeImage(32, 8).image.Palette(), (std::vector<Pixel>{0x000000, 0x950000, 0x38EE00}));
    // The heart's form: a full 256-entry palette.
    std::vector<Pixel> palette(256, 0x000000);
    palette[1] = 0x950000;
    palette[2] = 0x38EE00;
    const IconImage img = MakeImage(32, 8, palette);
    EXPECT_EQ(img.image.Index(16, 16), 1u);
    const Bytes file = WriteIco({img});
    // Directory entry: 32 x 32, colour count 0, 1 plane, 8 bits; header, palette, image and mask
    // (40 + 1024 + 1024 + 128 bytes) at 22.
    ASSERT_EQ(file.size(), 22u + 2216);
    EXPECT_EQ(file[6], 32);
    EXPECT_EQ(file[7], 32);
    EXPECT_EQ(file[8], 0);
    EXPECT_EQ(file[12], 8);
    EXPECT_EQ(U32At(file, 14), 2216u);
    EXPECT_EQ(U32At(file, 18), 22u);
    EXPECT_EQ(U32At(file, 22 + 8), 64u); // stored height counts image and mask
    EXPECT_EQ(U32At(file, 22 + 32), 0u); // a full palette counts as 0

    const auto back = ReadIco(file);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_TRUE(back[0] == img);
    EXPECT_EQ(back[0].AlphaOrNull(), nullptr);
    const Surface m = back[0].MaskSurface();
    EXPECT_TRUE(m.Monochrome());
    EXPECT_EQ(m.Get(0, 0), 0xFFFFFFu);
    EXPECT_EQ(m.Get(16, 16), 0x000000u);
    EXPECT_EQ(back[0].ColorSurface().Get(16, 16), 0x950000u);
}

TEST(Ico, ThirtyTwoBitIconKeepsAlphaAndMask) {
    IconImage img = MakeImage(16, 32);
    EXPECT_EQ(img.image.Alpha(0, 0), 0);
    EXPECT_EQ(img.image.Alpha(8, 8), 255);
    img.image.SetAlpha(8, 8, 77);
    const auto back = ReadIco(WriteIco({img}));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_TRUE(back[0] == img);
    ASSERT_NE(back[0].AlphaOrNull(), nullptr);
    EXPECT_EQ(back[0].AlphaOrNull()[8 * 16 + 8], 77);
    EXPECT_EQ(back[0].mask.Index(0, 0), 1u);
    EXPECT_EQ(back[0].mask.Index(8, 8), 0u);
}

TEST(Ico, MultiImageIconAndBestChoice) {
    std::vector<IconImage> imgs = {MakeImage(16, 4), MakeImage(32, 8), MakeImage(32, 32), MakeImage(48, 24),
                                   MakeImage(3, 1)};
    imgs[1].image.SetResolution(3780, 3780);
    imgs[1].mask.SetResolution(3780, 3780);
    const Bytes file = WriteIco(imgs);
    EXPECT_EQ(file[6 + 16 * 0 + 2], 16); // 4-bit entry lists its colours
    EXPECT_EQ(file[6 + 16 * 4 + 2], 2);
    const auto back = ReadIco(file);
    ASSERT_EQ(back.size(), imgs.size());
    for (size_t i = 0; i < imgs.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(back[i] == imgs[i]);
    }
    EXPECT_EQ(back[1].image.XPelsPerMeter(), 3780);

    EXPECT_EQ(BestIconImage(back, 32), 2);  // exact size, deepest colour
    EXPECT_EQ(BestIconImage(back, 16), 0);
    EXPECT_EQ(BestIconImage(back, 20), 2);  // the smallest larger one
    EXPECT_EQ(BestIconImage(back, 100), 3); // nothing larger: the largest
    EXPECT_EQ(BestIconImage(back, 2), 4);
    EXPECT_EQ(BestIconImage({}, 32), -1);
}

TEST(Ico, LargestIconSizeIsStoredAsZero) {
    Dib image(256, 256, 1);
    IconImage img{image, Dib(256, 256, 1)};
    const Bytes file = WriteIco({img});
    EXPECT_EQ(file[6], 0);
    EXPECT_EQ(file[7], 0);
    EXPECT_TRUE(ReadIco(file)[0] == img);
}

TEST(Ico, DecodesKnownPixelsAndMask) {
    const auto imgs = ReadIco(WrapIcon(SmallDib()));
    ASSERT_EQ(imgs.size(), 1u);
    const IconImage& i = imgs[0];
    EXPECT_EQ(i.Width(), 2);
    EXPECT_EQ(i.Height(), 2);
    EXPECT_EQ(i.image.GetColor(0, 0), 0xFF0000u);
    EXPECT_EQ(i.image.GetColor(1, 1), 0x00FF00u);
    EXPECT_EQ(i.mask.Index(0, 0), 1u);
    EXPECT_EQ(i.mask.Index(1, 0), 0u);
    EXPECT_EQ(i.mask.Index(0, 1), 0u);
    EXPECT_EQ(i.mask.Index(1, 1), 1u);
}

TEST(Ico, RefusesMalformedFiles) {
    struct Case {
        const char* name;
        Bytes file;
        std::string fragment;
    };
    const Bytes good = WrapIcon(SmallDib());
    auto edit = [&](size_t at, uint32_t v, bool wide = true) {
        Bytes b = good;
        wide ? Set32(b, at, v) : Set16(b, at, v);
        return b;
    };
    Bytes png = good;
    const uint8_t sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::copy(sig, sig + 8, png.begin() + 22);
    Bytes noMask = good;
    noMask.resize(good.size() - 8);
    Set32(noMask, 14, static_cast<uint32_t>(noMask.size() - 22));
    Bytes halfMask = good;
    halfMask.resize(good.size() - 4);
    Set32(halfMask, 14, static_cast<uint32_t>(halfMask.size() - 22));
    Bytes tenEntries = good;
    Set16(tenEntries, 4, 10);
    Bytes secondBad = good;
    Set16(secondBad, 4, 2);
    secondBad.insert(secondBad.begin() + 22, good.begin() + 6, good.begin() + 22);
    Set32(secondBad, 18, 38);                                   // first entry moved by 16
    Set32(secondBad, 22 + 12, static_cast<uint32_t>(good.size())); // second: past the end
    // Many entries sharing one 256 x 256 image must not add up without bound.
    Bytes shared;
    {
        Dib big(256, 256, 1);
        Bytes one = WriteIco({IconImage{big, Dib(256, 256, 1)}});
        const uint32_t count = 300, bytes = U32At(one, 14), dataAt = 6 + 16 * count;
        Put16(shared, 0);
        Put16(shared, 1);
        Put16(shared, count);
        for (uint32_t k = 0; k < count; ++k) {
            shared.insert(shared.end(), one.begin() + 6, one.begin() + 14);
            Put32(shared, bytes);
            Put32(shared, dataAt);
        }
        shared.insert(shared.end(), one.begin() + 22, one.end());
    }
    Bytes tooBig = WrapIcon(SmallDib());
    Set32(tooBig, 22 + 4, 512);

    const std::vector<Case> cases = {
        {"empty", {}, "needs 6 bytes for the icon directory, has 0"},
        {"cut directory", {0, 0, 1}, "file is truncated"},
        {"cursor", edit(2, 2, false), "not an icon file (header reserved 0, type 2; expected 0 and 1)"},
        {"reserved set", edit(0, 7, false), "not an icon file (header reserved 7"},
        {"BMP given", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0}, "not an icon file"},
        {"count 0", edit(4, 0, false), "icon holds no images (count 0)"},
        {"entries cut", tenEntries, "icon directory is truncated (needs 166 bytes for 10 entries, has 86)"},
        {"offset in directory", edit(18, 10), "image 1: data offset 10 lies inside the icon directory"},
        {"offset past end", edit(18, 100000), "image 1: data (offset 100000"},
        {"size past end", edit(14, 0xFFFFFFF0), "runs past the end of the file"},
        {"second entry past end", secondBad, "image 2: data (offset"},
        {"PNG entry", png, "image 1: PNG-compressed icon images are not supported"},
        {"header size 0", edit(22, 0), "unsupported bitmap header size 0"},
        {"odd height", WrapIcon(SmallDib(3)), "icon image height 3 is odd"},
        {"negative height", WrapIcon(SmallDib(-4)), "icon image height -4 is negative"},
        {"zero height", WrapIcon(SmallDib(0)), "2x0 is empty"},
        {"bpp 3", edit(22 + 14, 3, false), "unsupported bit depth 3"},
        {"RLE4", edit(22 + 16, 2), "unsupported compression 2 (RLE4)"},
        {"too big for an icon", tooBig, "size 512x2 is too large for an icon"},
        {"mask missing", noMask, "AND mask is missing or truncated (needs 8 bytes, has 0)"},
        {"mask cut", halfMask, "AND mask is missing or truncated (needs 8 bytes, has 4)"},
        {"image cut", [&] { Bytes b = noMask; b.resize(b.size() - 4); Set32(b, 14, 40 + 12); return b; }(),
         "pixel data runs past the end of the image data (needs 16 bytes, has 12)"},
        {"shared giant images", shared, "more than 16777216 pixels in all"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectError([&] { ReadIco(c.file); }, c.fragment);
        ExpectError([&] { ReadIco(c.file); }, "ICO: ");
    }
}

TEST(Ico, WritingRefusesWhatAnIconCannotHold) {
    ExpectError([] { WriteIco({}); }, "cannot write an icon without images");
    ExpectError([] { WriteIco({IconImage{Dib(300, 4, 8), Dib(300, 4, 1)}}); }, "image 1: size 300x4");
    ExpectError([] { WriteIco({IconImage{Dib(4, 4, 8), Dib(4, 3, 1)}}); }, "mask must be a 1-bit bitmap");
    Surface c(4, 4), m(3, 4);
    ExpectError([&] { IconImage::FromSurfaces(c, &m, 8); }, "mask size 3x4 differs from image size 4x4");
}
