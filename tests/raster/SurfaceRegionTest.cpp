#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "lumivane/base/Exception.h"
#include "lumivane/gfx/raster/Region.h"
#include "lumivane/gfx/raster/Surface.h"

using namespace lumivane;

TEST(Surface, ResizeRejectsAbsurdSizes) {
    Surface s(4, 3, 0x123456);
    EXPECT_THROW(s.Resize(-1, 10), Exception);
    EXPECT_THROW(s.Resize(10, -1), Exception);
    EXPECT_THROW(s.Resize(Surface::kMaxSide + 1, 1), Exception);
    EXPECT_THROW(s.Resize(Surface::kMaxSide, Surface::kMaxSide), Exception); // area over the cap
    EXPECT_THROW(Surface(1 << 30, 1 << 30), Exception);
    // A refused resize leaves the surface as it was.
    EXPECT_EQ(s.Width(), 4);
    EXPECT_EQ(s.Height(), 3);
    EXPECT_EQ(s.Get(3, 2), 0x123456u);
    try {
        s.Resize(100000, 2);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("100000"), std::string::npos);
    }
    s.Resize(0, 0);
    EXPECT_TRUE(s.Pixels().empty());
}

TEST(Surface, MonochromeKeepsOnlyWhiteAsWhite) {
    Surface s(3, 1);
    s.Set(0, 0, 0xFFFFFF);
    s.Set(1, 0, 0xFFFFFE);
    s.Set(2, 0, 0x000001);
    s.SetMonochrome(true);
    EXPECT_EQ(s.Get(0, 0), 0xFFFFFFu);
    EXPECT_EQ(s.Get(1, 0), 0u);
    EXPECT_EQ(s.Get(2, 0), 0u);
    s.Resize(2, 2, 0x808080);
    EXPECT_EQ(s.Get(1, 1), 0u);
}

TEST(Surface, SavePngWritesAFileAndReportsFailures) {
    Surface s(3, 2, 0x102030);
    std::string path = testing::TempDir() + "raster_save.png";
    SavePng(s, path.c_str());
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char sig[8] = {};
    EXPECT_EQ(std::fread(sig, 1, 8, f), 8u);
    std::fclose(f);
    EXPECT_EQ(sig[1], 'P');
    EXPECT_EQ(sig[2], 'N');
    std::remove(path.c_str());
    EXPECT_THROW(SavePng(s, "/nonexistent-dir/x.png"), Exception);
}

TEST(Region, SetAlgebraIsCanonical) {
    Region a(TRect{0, 0, 10, 10});
    Region b(TRect{5, 5, 15, 15});

    Region u = a;
    u.Union(b);
    EXPECT_TRUE(u.Contains(0, 0));
    EXPECT_TRUE(u.Contains(14, 14));
    EXPECT_FALSE(u.Contains(14, 0));
    EXPECT_FALSE(u.Contains(0, 14));
    EXPECT_FALSE(u.Contains(15, 14));
    EXPECT_EQ(u.Bounds(), (TRect{0, 0, 15, 15}));
    EXPECT_EQ(u.Rects().size(), 3u); // three bands

    Region i = a;
    i.Intersect(b);
    EXPECT_EQ(i, Region(TRect{5, 5, 10, 10}));

    Region s = a;
    s.Subtract(b);
    EXPECT_FALSE(s.Contains(5, 5));
    EXPECT_TRUE(s.Contains(4, 5));
    EXPECT_TRUE(s.Contains(9, 4));
    // (a - b) + (a & b) is a again, in the same canonical form whatever the order.
    Region back = s;
    back.Union(i);
    EXPECT_EQ(back, a);
    Region back2 = i;
    back2.Union(s);
    EXPECT_EQ(back2, a);

    // Two halves side by side merge into one rectangle; stacked halves too.
    Region h(TRect{0, 0, 5, 10});
    h.Union(TRect{5, 0, 10, 10});
    EXPECT_EQ(h, a);
    Region v(TRect{0, 5, 10, 10});
    v.Union(TRect{0, 0, 10, 5});
    EXPECT_EQ(v, a);

    Region hole = a;
    hole.Subtract(TRect{3, 3, 6, 6});
    EXPECT_FALSE(hole.Contains(3, 3));
    EXPECT_FALSE(hole.Contains(5, 5));
    EXPECT_TRUE(hole.Contains(6, 5));
    EXPECT_TRUE(hole.Contains(2, 4));
    hole.Union(TRect{3, 3, 6, 6});
    EXPECT_EQ(hole, a);

    Region empty = a;
    empty.Subtract(a);
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty, Region());
    EXPECT_EQ(empty.Bounds(), TRect{});
    EXPECT_TRUE(Region(TRect{5, 5, 5, 9}).IsEmpty());

    Region o = u;
    o.Offset(-5, 100);
    EXPECT_TRUE(o.Contains(-5, 100));
    EXPECT_TRUE(o.Contains(9, 114));
    EXPECT_FALSE(o.Contains(9, 100));
    EXPECT_EQ(o.Bounds(), (TRect{-5, 100, 10, 115}));
}

TEST(Region, RoundRectOfTheXpButtonClipsOnlyTheFourCorners) {
    Region r = Region::RoundRect(0, 0, 76, 26, 2, 2);
    Region expected(TRect{0, 0, 75, 25});
    for (auto [x, y] : {std::pair{0, 0}, {74, 0}, {0, 24}, {74, 24}}) expected.Subtract(TRect{x, y, x + 1, y + 1});
    EXPECT_EQ(r, expected);

    HRGN h = CreateRoundRectRgn(0, 0, 81, 31, 2, 2);
    EXPECT_EQ(h->Bounds(), (TRect{0, 0, 80, 30}));
    EXPECT_FALSE(h->Contains(79, 29));
    EXPECT_TRUE(h->Contains(78, 29));
    EXPECT_TRUE(DeleteObject(h));
}

TEST(Region, LargerRoundRectsAreSymmetricAndRounded) {
    for (int d : {3, 6, 9, 20}) {
        Region r = Region::RoundRect(10, 20, 41, 44, d, d); // 30 x 23 pixels
        EXPECT_EQ(r.Bounds(), (TRect{10, 20, 40, 43})) << d;
        for (int y = 20; y < 43; ++y)
            for (int x = 10; x < 40; ++x)
                ASSERT_EQ(r.Contains(x, y), r.Contains(49 - x, 62 - y)) << d << " at " << x << "," << y;
        EXPECT_FALSE(r.Contains(10, 20)) << d;
        EXPECT_TRUE(r.Contains(25, 20)) << d;
        EXPECT_TRUE(r.Contains(10, 31)) << d;
        // Rows never get wider towards the corner.
        int prev = 0;
        for (int y = 20; y < 31; ++y) {
            int left = 10;
            while (!r.Contains(left, y)) ++left;
            if (y > 20) {
                EXPECT_LE(left, prev) << d;
            }
            prev = left;
        }
    }
    // Ellipses narrower than two pixels give the plain rectangle; oversized ones are cut down.
    EXPECT_EQ(Region::RoundRect(0, 0, 11, 11, 1, 8), Region(TRect{0, 0, 10, 10}));
    EXPECT_FALSE(Region::RoundRect(0, 0, 11, 11, 500, 500).Contains(0, 0));
    EXPECT_TRUE(Region::RoundRect(0, 0, 11, 11, 500, 500).Contains(5, 5));
    EXPECT_TRUE(Region::RoundRect(0, 0, 1, 1, 2, 2).IsEmpty());
}
