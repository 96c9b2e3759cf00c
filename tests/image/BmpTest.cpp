#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

#include "lumivane/gfx/image/Bmp.h"
#include "lumivane/gfx/image/FileBytes.h"
#include "tests/image/ImageBytes.h"

using namespace lumivane;

namespace {

// Fills every pixel with a value that depends on its position, so a swapped row or a lost bit shows.
void FillPattern(Dib& d) {
    for (int y = 0; y < d.Height(); ++y)
        for (int x = 0; x < d.Width(); ++x) {
            if (d.Indexed()) {
                d.SetIndex(x, y, static_cast<unsigned>(x * 7 + y * 13) % d.Palette().size());
            } else {
                d.SetColor(x, y, static_cast<Pixel>(x * 0x010203 ^ y * 0x0A0B0C ^ 0x5A0000));
                d.SetAlpha(x, y, static_cast<uint8_t>(x + y * 3));
            }
        }
}

Dib ReadBack(const Dib& d) { return ReadBmp(WriteBmp(d)); }

} // namespace

TEST(Bmp, RoundTripsEveryDepthAndOrientation) {
    for (int bpp : {1, 4, 8, 24, 32})
        for (bool topDown : {false, true})
            for (int width : {1, 5, 33}) {
                SCOPED_TRACE(std::to_string(bpp) + " bpp, width " + std::to_string(width) +
                             (topDown ? ", top-down" : ", bottom-up"));
                Dib d(width, 3, bpp);
                d.SetTopDown(topDown);
                d.SetResolution(3780, 2835);
                FillPattern(d);
                Dib back = ReadBack(d);
                EXPECT_EQ(back.TopDown(), topDown);
                EXPECT_EQ(back.XPelsPerMeter(), 3780);
                EXPECT_EQ(back.YPelsPerMeter(), 2835);
                EXPECT_TRUE(back == d);
                EXPECT_TRUE(ReadPackedDib(WritePackedDib(d)) == d);
            }
}

TEST(Bmp, RoundTripsShortPalettes) {
    for (int bpp : {1, 4, 8}) {
        SCOPED_TRACE(std::to_string(bpp) + " bpp");
        Dib d(6, 2, bpp, {0x102030});
        if (bpp > 1)
            d.SetPalette({0x102030, 0x405060, 0x708090});
        FillPattern(d);
        const Dib back = ReadBack(d);
        EXPECT_EQ(back.Palette(), d.Palette());
        EXPECT_TRUE(back == d);
    }
}

TEST(Bmp, WritesTheUsualLayout) {
    // The close button's strip: 36 x 18, 4 bits, the standard palette.
    Dib strip(36, 18, 4);
    strip.SetResolution(3780, 3780);
    const Bytes f = WriteBmp(strip);
    const int rowBytes = 20; // 36 pixels of 4 bits = 18 bytes, padded to 20
    ASSERT_EQ(f.size(), 14u + 40 + 16 * 4 + rowBytes * 18);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    auto u32 = [&](size_t at) { return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | uint32_t(f[at + 3]) << 24; };
    EXPECT_EQ(u32(2), f.size());
    EXPECT_EQ(u32(10), 14u + 40 + 64);     // pixel offset
    EXPECT_EQ(u32(14), 40u);               // header size
    EXPECT_EQ(u32(22), 18u);               // positive height: bottom-up
    EXPECT_EQ(u32(34), 360u);              // image size
    EXPECT_EQ(u32(38), 3780u);             // resolution
    EXPECT_EQ(u32(46), 0u);                // a full palette is stored as count 0
    EXPECT_EQ(u32(54 + 4 * 3), 0x808000u); // olive, stored blue, green, red, 0

    // The texture: 115 x 103, 24 bits, rows of 345 bytes padded to 348.
    Dib tex(115, 103, 24);
    EXPECT_EQ(WriteBmp(tex).size(), 14u + 40 + 348 * 103);
    Dib top(2, 2, 24);
    top.SetTopDown(true);
    const Bytes t = WriteBmp(top);
    EXPECT_EQ(static_cast<int32_t>(t[22] | t[23] << 8 | t[24] << 16 | uint32_t(t[25]) << 24), -2);
}

TEST(Bmp, DecodesKnownPixels) {
    // 2 x 2, 24 bits, bottom-up: the first stored row is the bottom row. Rows pad to 8 bytes.
    InfoHeader h;
    Bytes px = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0,         // bottom: blue, green
                0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}; // top: red, white
    Dib d = ReadBmp(MakeBmp(h, {}, px));
    EXPECT_EQ(d.Width(), 2);
    EXPECT_EQ(d.Height(), 2);
    EXPECT_FALSE(d.TopDown());
    EXPECT_EQ(d.XPelsPerMeter(), 3780);
    EXPECT_EQ(d.GetColor(0, 0), 0xFF0000u);
    EXPECT_EQ(d.GetColor(1, 0), 0xFFFFFFu);
    EXPECT_EQ(d.GetColor(0, 1), 0x0000FFu);
    EXPECT_EQ(d.GetColor(1, 1), 0x00FF00u);
    Surface s = d.ToSurface();
    EXPECT_EQ(s.Get(0, 1), 0x0000FFu);

    // The same with a negative height stores the top row first.
    h.height = -2;
    Dib td = ReadBmp(MakeBmp(h, {}, px));
    EXPECT_TRUE(td.TopDown());
    EXPECT_EQ(td.GetColor(0, 0), 0x0000FFu);
    EXPECT_EQ(td.GetColor(1, 1), 0xFFFFFFu);

    // 4 bits: the high nibble is the left pixel; a 3-entry palette (count 3).
    InfoHeader h4;
    h4.width = 3;
    h4.height = 1;
    h4.bpp = 4;
    h4.clrUsed = 3;
    Dib d4 = ReadBmp(MakeBmp(h4, {0x000000, 0x112233, 0x445566}, {0x21, 0x00, 0, 0}));
    EXPECT_EQ(d4.Palette(), (std::vector<Pixel>{0x000000, 0x112233, 0x445566}));
    EXPECT_EQ(d4.Index(0, 0), 2u);
    EXPECT_EQ(d4.Index(1, 0), 1u);
    EXPECT_EQ(d4.GetColor(0, 0), 0x445566u);

    // 1 bit: the most significant bit is the left pixel; count 0 means two entries.
    InfoHeader h1 = h4;
    h1.bpp = 1;
    h1.clrUsed = 0;
    Dib d1 = ReadBmp(MakeBmp(h1, {0x000000, 0xFFFFFF}, {0xA0, 0, 0, 0}));
    EXPECT_EQ(d1.Index(0, 0), 1u);
    EXPECT_EQ(d1.Index(1, 0), 0u);
    EXPECT_EQ(d1.Index(2, 0), 1u);
    EXPECT_TRUE(d1.ToSurface().Monochrome());
}

TEST(Bmp, ReadsOtherHeaders) {
    // V5 header with bit fields: 32 bits, standard masks inside the header, alpha kept.
    Bytes b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    InfoHeader h;
    h.width = 1;
    h.height = -1;
    h.bpp = 32;
    h.compression = 3;
    h.AppendTo(b, 124);
    Set32(b, 14 + 40, 0x00FF0000);
    Set32(b, 14 + 44, 0x0000FF00);
    Set32(b, 14 + 48, 0x000000FF);
    Set32(b, 14 + 52, 0xFF000000);
    Set32(b, 10, static_cast<uint32_t>(b.size()));
    Append(b, {0x30, 0x20, 0x10, 0x80});
    Dib d = ReadBmp(b);
    EXPECT_EQ(d.GetColor(0, 0), 0x102030u);
    EXPECT_EQ(d.Alpha(0, 0), 0x80);

    // Info header followed by the three masks.
    InfoHeader hb = h;
    Bytes masks;
    Put32(masks, 0x00FF0000);
    Put32(masks, 0x0000FF00);
    Put32(masks, 0x000000FF);
    Bytes fb = MakeBmp(hb, {}, {});
    fb.insert(fb.end(), masks.begin(), masks.end());
    Set32(fb, 10, static_cast<uint32_t>(fb.size()));
    Append(fb, {1, 2, 3, 4});
    EXPECT_EQ(ReadBmp(fb).GetColor(0, 0), 0x030201u);

    // OS/2 core header: 16-bit sizes, three-byte palette entries of 2^bpp colours.
    Bytes c = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put32(c, 12);
    Put16(c, 2);
    Put16(c, 1);
    Put16(c, 1);
    Put16(c, 1);
    Append(c, {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}); // red, blue
    Set32(c, 10, static_cast<uint32_t>(c.size()));
    Append(c, {0x40, 0, 0, 0});
    Dib core = ReadBmp(c);
    EXPECT_EQ(core.Palette(), (std::vector<Pixel>{0xFF0000, 0x0000FF}));
    EXPECT_EQ(core.GetColor(0, 0), 0xFF0000u);
    EXPECT_EQ(core.GetColor(1, 0), 0x0000FFu);

    // A 24-bit file may carry a palette for indexed screens; it is skipped.
    InfoHeader hp;
    hp.width = 1;
    hp.height = 1;
    hp.clrUsed = 2;
    EXPECT_EQ(ReadBmp(MakeBmp(hp, {0x111111, 0x222222}, {0xCC, 0xBB, 0xAA, 0})).GetColor(0, 0), 0xAABBCCu);
}

TEST(Bmp, RefusesMalformedFiles) {
    const InfoHeader ok; // 2 x 2, 24 bits: 16 bytes of pixels
    const Bytes px(16, 0);
    auto with = [&](auto change) {
        InfoHeader h = ok;
        change(h);
        return h;
    };
    struct Case {
        const char* name;
        Bytes file;
        std::string fragment;
    };
    Bytes badMagic = MakeBmp(ok, {}, px);
    badMagic[0] = 'X';
    Bytes shortHeader = MakeBmp(ok, {}, px);
    shortHeader.resize(14 + 30);
    Bytes bitfieldsShort = MakeBmp(with([](InfoHeader& h) { h.bpp = 32; h.compression = 3; }), {}, {});
    bitfieldsShort.resize(14 + 44);
    Bytes oddMasks = MakeBmp(with([](InfoHeader& h) { h.bpp = 32; h.compression = 3; }), {}, {});
    Put32(oddMasks, 0xFF);
    Put32(oddMasks, 0xFF00);
    Put32(oddMasks, 0xFF0000);
    Bytes headerSize20 = MakeBmp(ok, {}, px);
    Set32(headerSize20, 14, 20);
    Bytes core32 = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0};
    Put32(core32, 12);
    Put16(core32, 1);
    Put16(core32, 1);
    Put16(core32, 1);
    Put16(core32, 32);
    Append(core32, {0, 0, 0, 0});

    const std::vector<Case> cases = {
        {"empty", {}, "needs 14 bytes for the file header, has 0"},
        {"file header cut", {'B', 'M', 0, 0}, "file is truncated"},
        {"bad magic", badMagic, "not a BMP file (starts with 0x58 0x4D"},
        {"no info header", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "bitmap header is truncated"},
        {"info header cut", shortHeader, "bitmap header is truncated (needs 40 bytes, has 30)"},
        {"header size 20", headerSize20, "unsupported bitmap header size 20"},
        {"zero width", MakeBmp(with([](InfoHeader& h) { h.width = 0; }), {}, px), "0x2 is empty or negative"},
        {"negative width", MakeBmp(with([](InfoHeader& h) { h.width = -4; }), {}, px), "-4x2 is empty"},
        {"zero height", MakeBmp(with([](InfoHeader& h) { h.height = 0; }), {}, px), "2x0 is empty"},
        {"huge width", MakeBmp(with([](InfoHeader& h) { h.width = 100000; }), {}, px), "100000x2 is too large"},
        {"most negative height", MakeBmp(with([](InfoHeader& h) { h.height = INT32_MIN; }), {}, px),
         "2x2147483648 is too large"},
        {"huge area", MakeBmp(with([](InfoHeader& h) { h.width = h.height = 16384; h.bpp = 1; }), {0, 0}, px),
         "16384x16384 is too large"},
        {"bpp 3", MakeBmp(with([](InfoHeader& h) { h.bpp = 3; }), {}, px), "unsupported bit depth 3"},
        {"bpp 16", MakeBmp(with([](InfoHeader& h) { h.bpp = 16; }), {}, px), "unsupported bit depth 16"},
        {"bpp 0", MakeBmp(with([](InfoHeader& h) { h.bpp = 0; }), {}, px), "unsupported bit depth 0"},
        {"core 32 bits", core32, "unsupported bit depth 32 in an OS/2 core header"},
        {"two planes", MakeBmp(with([](InfoHeader& h) { h.planes = 2; }), {}, px), "must have 1 plane (has 2)"},
        {"RLE8", MakeBmp(with([](InfoHeader& h) { h.bpp = 8; h.compression = 1; }), {}, px),
         "unsupported compression 1 (RLE8)"},
        {"PNG inside", MakeBmp(with([](InfoHeader& h) { h.compression = 5; }), {}, px),
         "unsupported compression 5 (PNG)"},
        {"compression 77", MakeBmp(with([](InfoHeader& h) { h.compression = 77; }), {}, px),
         "unsupported compression 77"},
        {"bit fields on 24 bits", MakeBmp(with([](InfoHeader& h) { h.compression = 3; }), {}, px),
         "bit-field compression is supported only for 32 bits"},
        {"masks cut", bitfieldsShort, "colour masks are truncated"},
        {"odd masks", oddMasks, "unsupported 32-bit colour masks"},
        {"palette count too large", MakeBmp(with([](InfoHeader& h) { h.bpp = 8; h.clrUsed = 300; }), {}, px),
         "palette count 300 is too large for 8 bits per pixel (at most 256)"},
        {"palette count 2^32-1", MakeBmp(with([](InfoHeader& h) { h.bpp = 4; h.clrUsed = 0xFFFFFFFF; }), {}, px),
         "palette count 4294967295 is too large"},
        {"direct palette too large", MakeBmp(with([](InfoHeader& h) { h.clrUsed = 1000; }), {}, px),
         "palette count 1000 is too large"},
        {"palette cut", MakeBmp(with([](InfoHeader& h) { h.bpp = 8; }), {1, 2, 3}, {}),
         "palette is truncated (needs 1024 bytes, has 12)"},
        {"offset past end", MakeBmp(ok, {}, px, 5000), "offset 5000 lies past the end of the file (size 70)"},
        {"offset inside headers", MakeBmp(ok, {}, px, 20), "offset 20 lies inside the headers (which end at 54)"},
        {"pixels short", MakeBmp(ok, {}, Bytes(8, 0)),
         "pixel data runs past the end of the file (needs 16 bytes, has 8)"},
        {"pixels short, tall", MakeBmp(with([](InfoHeader& h) { h.height = 16000; }), {}, px),
         "(needs 128000 bytes, has 16)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectError([&] { ReadBmp(c.file); }, c.fragment);
        ExpectError([&] { ReadBmp(c.file); }, "BMP: ");
    }
    // A packed DIB is checked the same way.
    const Bytes shortFile = MakeBmp(ok, {}, Bytes(8, 0));
    const Bytes packed(shortFile.begin() + 14, shortFile.end());
    ExpectError([&] { ReadPackedDib(packed); }, "pixel data runs past the end of the data (needs 16 bytes, has 8)");
    ExpectError([&] { ReadPackedDib({}); }, "bitmap header is truncated");
}

TEST(Bmp, FilesOnDisk) {
    ExpectError([] { WriteBmp(Dib()); }, "cannot write an empty bitmap");
    ExpectError([] { LoadBmpFile("/nonexistent/picture.bmp"); }, "Cannot open /nonexistent/picture.bmp");

    Dib d(7, 3, 8);
    FillPattern(d);
    const std::string path = testing::TempDir() + "image_test_pattern.bmp";
    SaveBmpFile(d, path);
    EXPECT_TRUE(LoadBmpFile(path) == d);
    ExpectError([&] { ReadFileBytes(path, 100); }, "larger than 100 bytes");
    // A watched file: only a regular one is read, up to the limit; nothing else blocks or is read.
    const size_t size = ReadFileBytes(path, 1 << 20).size();
    EXPECT_EQ(ReadRegularFileBytes(path, size).size(), size);
    ExpectError([&] { ReadRegularFileBytes(path, size - 1); }, "larger than " + std::to_string(size - 1) + " bytes");
    const std::string fifo = testing::TempDir() + "image_test_fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& other : {fifo, testing::TempDir(), std::string("/dev/null")})
        ExpectError([&] { ReadRegularFileBytes(other, 100); }, other + ": not a regular file");
    std::remove(fifo.c_str());
    ExpectError([] { ReadRegularFileBytes("/nonexistent/layout.txt", 100); }, "Cannot open /nonexistent/layout.txt");

    // A broken file's message names the file.
    WriteFileBytes(path, Bytes{'B', 'M', 1});
    ExpectError([&] { LoadBmpFile(path); }, path + ": BMP: file is truncated");
    std::remove(path.c_str());
}
