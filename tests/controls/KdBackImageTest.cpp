#include <gtest/gtest.h>

#include <algorithm>

#include "KdBackImageTestKit.h"
#include "lumivane/controls/KdBackImage.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/layout/FormReader.h"

using namespace lumivane;

namespace {

constexpr TColor kBack = RGB(0x12, 0x34, 0x56);

// A background image on a host window, both freed in the right order.
struct BackImageScene {
    HeadlessSession session;
    std::unique_ptr<TTestHost> host;
    TKdBackImage* image = nullptr;

    BackImageScene(int hostW, int hostH, TRect bounds) : host(std::make_unique<TTestHost>(kBack, hostW, hostH)) {
        image = new TKdBackImage(host.get());
        image->SetParent(host.get());
        image->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        host->Handle();
        session.Pump();
    }
    void SetPicture(TGraphic* g) {
        auto pic = PictureOf(g);
        image->fSetPicture(pic.get());
        session.Pump();
    }
    TColor At(int x, int y) { return session.Pixel(host->Handle(), x, y); }
};

}  // namespace

TEST(KdBackImage, TilesCoverTheControlRowByRowAndClipTheLastRowAndColumn) {
    BackImageScene s(500, 350, {0, 0, 478, 334});
    int draws = 0;
    s.image->Canvas()->OnChange = [&](TObject*) { ++draws; };
    auto bmp = PositionBitmap(115, 103);
    s.SetPicture(bmp.get());
    EXPECT_EQ(draws, 20);

    // Every pixel inside shows the tile pixel of its position, across every seam.
    for (int x : {0, 114, 115, 229, 230, 344, 345, 459, 460, 477})
        for (int y : {0, 102, 103, 205, 206, 308, 309, 333})
            EXPECT_EQ(s.At(x, y), RGB(x % 115, y % 103, 7)) << x << "," << y;
    // The last column is 18 pixels wide and the last row 25 high: nothing beyond the control.
    EXPECT_EQ(s.At(477, 333), RGB(17, 24, 7));
    EXPECT_EQ(s.At(478, 10), kBack);
    EXPECT_EQ(s.At(10, 334), kBack);
}

TEST(KdBackImage, CentringTruncatesTowardZeroBothWays) {
    {
        // (15 - 10) / 2 = 2: columns 2..11 show the picture, the rest the parent.
        BackImageScene s(60, 60, {20, 20, 35, 35});
        s.image->fSetStyle(kdbmsCenter);
        auto bmp = PositionBitmap(10, 10);
        s.SetPicture(bmp.get());
        EXPECT_EQ(s.At(21, 25), kBack);
        EXPECT_EQ(s.At(22, 25), RGB(0, 3, 7));
        EXPECT_EQ(s.At(31, 22), RGB(9, 0, 7));
        EXPECT_EQ(s.At(32, 25), kBack);
        EXPECT_EQ(s.At(25, 21), kBack);
        EXPECT_EQ(s.At(25, 32), kBack);
    }
    {
        // (15 - 20) / 2 = -2, not -3: two columns are cut on the left, three on the right.
        BackImageScene s(60, 60, {20, 20, 35, 35});
        s.image->fSetStyle(kdbmsCenter);
        auto bmp = PositionBitmap(20, 20);
        s.SetPicture(bmp.get());
        EXPECT_EQ(s.At(20, 20), RGB(2, 2, 7));
        EXPECT_EQ(s.At(34, 34), RGB(16, 16, 7));
        EXPECT_EQ(s.At(19, 25), kBack);
        EXPECT_EQ(s.At(35, 25), kBack);
    }
}

TEST(KdBackImage, NormalDrawsOnceAtTheCornerAndStretchFillsTheControl) {
    BackImageScene s(60, 60, {10, 10, 30, 30});
    s.image->fSetStyle(kdbmsNormal);
    auto bmp = PositionBitmap(4, 3);
    s.SetPicture(bmp.get());
    EXPECT_EQ(s.At(10, 10), RGB(0, 0, 7));
    EXPECT_EQ(s.At(13, 12), RGB(3, 2, 7));
    EXPECT_EQ(s.At(14, 10), kBack);
    EXPECT_EQ(s.At(10, 13), kBack);
    EXPECT_EQ(s.At(29, 29), kBack);

    // Two by two pixels over 20 by 20: each quadrant takes one pixel.
    auto quad = PositionBitmap(2, 2);
    s.image->fSetStyle(kdbmsStretch);
    s.SetPicture(quad.get());
    EXPECT_EQ(s.At(10, 10), RGB(0, 0, 7));
    EXPECT_EQ(s.At(29, 10), RGB(1, 0, 7));
    EXPECT_EQ(s.At(10, 29), RGB(0, 1, 7));
    EXPECT_EQ(s.At(29, 29), RGB(1, 1, 7));
    EXPECT_EQ(s.At(30, 30), kBack);
}

TEST(KdBackImage, EmptyPictureInvertsOnlyTheEdgesWhateverTheStyle) {
    for (TKdBackImageStyle style : {kdbmsNormal, kdbmsCenter, kdbmsTiled, kdbmsStretch}) {
        BackImageScene s(40, 40, {5, 6, 25, 16});
        s.image->fSetStyle(style);
        s.session.Pump();
        for (int x = 5; x < 25; ++x) {
            EXPECT_EQ(s.At(x, 6), Inverted(kBack)) << x;
            EXPECT_EQ(s.At(x, 15), Inverted(kBack)) << x;
        }
        for (int y = 6; y < 16; ++y) {
            EXPECT_EQ(s.At(5, y), Inverted(kBack)) << y;
            EXPECT_EQ(s.At(24, y), Inverted(kBack)) << y;
        }
        for (auto [x, y] : {std::pair{6, 7}, {23, 14}, {15, 10}, {4, 10}, {25, 10}, {15, 5}, {15, 16}})
            EXPECT_EQ(s.At(x, y), kBack) << x << "," << y;
    }
}

TEST(KdBackImage, EmptyingThePictureBringsBackTheFrame) {
    BackImageScene s(40, 40, {0, 0, 20, 20});
    auto bmp = PositionBitmap(20, 20);
    s.SetPicture(bmp.get());
    EXPECT_EQ(s.At(0, 0), RGB(0, 0, 7));
    TPicture none;
    s.image->fSetPicture(&none);
    s.session.Pump();
    EXPECT_FALSE(s.image->fGetPicture()->HasGraphic());
    EXPECT_EQ(s.At(0, 0), Inverted(kBack));
    EXPECT_EQ(s.At(10, 10), kBack);
}

TEST(KdBackImage, InPlaceChangesWaitForASetterEvenOneThatChangesNothing) {
    BackImageScene s(30, 30, {0, 0, 20, 20});
    auto bmp = PositionBitmap(10, 10);
    s.SetPicture(bmp.get());
    EXPECT_EQ(s.At(12, 3), RGB(2, 3, 7));
    auto paintIn = [&](TColor c) {
        TBitmap* own = s.image->fGetPicture()->Bitmap();
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) own->Pixels().Set(x, y, ColorToPixel(c));
        s.session.Pump();
    };
    // Drawing on the owned bitmap is not watched.
    paintIn(clMaroon);
    EXPECT_EQ(s.At(12, 3), RGB(2, 3, 7));
    // Setting the style or the transparency to the value it already has repaints.
    s.image->fSetStyle(kdbmsTiled);
    s.session.Pump();
    EXPECT_EQ(s.At(12, 3), clMaroon);
    paintIn(clNavy);
    s.image->fSetTransparent(false);
    s.session.Pump();
    EXPECT_EQ(s.At(12, 3), clNavy);
}

TEST(KdBackImage, TransparentLetsTheParentThroughEveryTile) {
    // Bottom-left pixel colour (the transparent one) fills the left column of each 3 x 3 tile.
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) bmp->Pixels().Set(x, y, ColorToPixel(x == 0 ? clLime : clMaroon));
    BackImageScene s(20, 20, {0, 0, 9, 9});
    s.SetPicture(bmp.get());
    EXPECT_EQ(s.At(3, 4), clLime);
    EXPECT_EQ(s.At(4, 4), clMaroon);

    s.image->fSetTransparent(true);
    s.session.Pump();
    for (int x : {0, 3, 6})
        for (int y : {0, 4, 8}) {
            EXPECT_EQ(s.At(x, y), kBack) << x << "," << y;
            EXPECT_EQ(s.At(x + 1, y), clMaroon) << x << "," << y;
        }
}

TEST(KdBackImage, AutoSizeTakesThePictureSizeOnlyForARealPicture) {
    BackImageScene s(200, 200, {7, 9, 50, 50});
    s.image->SetAutoSize(true);
    auto bmp = PositionBitmap(30, 20);
    s.SetPicture(bmp.get());
    EXPECT_EQ(s.image->BoundsRect(), (TRect{7, 9, 37, 29}));
    s.image->fSetPicture(nullptr);
    EXPECT_EQ(s.image->BoundsRect(), (TRect{7, 9, 37, 29}));
    EXPECT_FALSE(s.image->fGetPicture()->HasGraphic());

    s.image->SetAutoSize(false);
    s.SetPicture(bmp.get());
    s.image->SetBounds(7, 9, 50, 50);
    s.SetPicture(bmp.get());
    EXPECT_EQ(s.image->Width(), 50);
}

