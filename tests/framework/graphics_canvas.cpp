#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"

// Canvas drawing on small bitmaps, checked pixel by pixel (colours as TColor 0x00BBGGRR).
namespace {

constexpr TColor kGrey = 0x808080;

std::unique_ptr<TBitmap> Filled(int w, int h, TColor c) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect({0, 0, w, h});
    return b;
}

// One row of the bitmap's canvas, as TColors.
std::vector<TColor> Row(TBitmap& b, int y) {
    std::vector<TColor> out;
    for (int x = 0; x < b.Width(); ++x) out.push_back(b.Canvas()->Pixels(x, y));
    return out;
}

}  // namespace

TEST(GraphicsCanvas, LineToLeavesOutTheEndPixelAndMovesThePen) {
    auto b = Filled(6, 3, clWhite);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clRed);
    c->MoveTo(0, 1);
    c->LineTo(4, 1);
    EXPECT_EQ(Row(*b, 1), (std::vector<TColor>{clRed, clRed, clRed, clRed, clWhite, clWhite}));
    EXPECT_EQ(c->PenPos(), Point(4, 1));
    // Continuing from the end point draws it now; a vertical line keeps the same rule.
    c->LineTo(4, 3);
    EXPECT_EQ(c->Pixels(4, 1), clRed);
    EXPECT_EQ(c->Pixels(4, 2), clRed);
    EXPECT_EQ(Row(*b, 0), std::vector<TColor>(6, clWhite));
}

TEST(GraphicsCanvas, RectangleOutlinesWithPenAndFillsWithBrushUnlessClear) {
    auto b = Filled(7, 5, clWhite);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clBlue);
    c->Rectangle(1, 1, 5, 4);
    EXPECT_EQ(Row(*b, 0), std::vector<TColor>(7, clWhite));
    EXPECT_EQ(Row(*b, 1), (std::vector<TColor>{clWhite, clBlack, clBlack, clBlack, clBlack, clWhite, clWhite}));
    EXPECT_EQ(Row(*b, 2), (std::vector<TColor>{clWhite, clBlack, clBlue, clBlue, clBlack, clWhite, clWhite}));
    EXPECT_EQ(Row(*b, 3), (std::vector<TColor>{clWhite, clBlack, clBlack, clBlack, clBlack, clWhite, clWhite}));
    EXPECT_EQ(Row(*b, 4), std::vector<TColor>(7, clWhite));

    // A clear brush leaves the inside alone; a new brush colour makes it solid again.
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(clRed);
    c->Rectangle(TRect{1, 1, 5, 4});
    EXPECT_EQ(c->Pixels(2, 2), clBlue);
    EXPECT_EQ(c->Pixels(1, 2), clRed);
    c->Brush()->SetColor(clLime);
    EXPECT_EQ(c->Brush()->Style(), bsSolid);
    c->FillRect({0, 0, 2, 2});
    EXPECT_EQ(Row(*b, 0)[1], clLime);
    EXPECT_EQ(Row(*b, 0)[2], clWhite);
    EXPECT_EQ(Row(*b, 2)[1], clRed);
}

TEST(GraphicsCanvas, XorPenInvertsAndTwiceRestores) {
    auto b = Filled(4, 4, kGrey);
    TCanvas* c = b->Canvas();
    c->SetPixels(1, 1, clNavy);
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(0, 0, 4, 4);
    EXPECT_EQ(c->Pixels(0, 0), 0x7F7F7Fu);
    EXPECT_EQ(c->Pixels(3, 3), 0x7F7F7Fu);
    EXPECT_EQ(c->Pixels(1, 1), clNavy);  // inside untouched
    c->Rectangle(0, 0, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(c->Pixels(x, y), (x == 1 && y == 1) ? clNavy : kGrey) << x << "," << y;
}

TEST(GraphicsCanvas, PixelsFrameRectAndPolygon) {
    auto b = Filled(8, 8, clWhite);
    TCanvas* c = b->Canvas();
    c->SetPixels(7, 7, 0x123456);
    EXPECT_EQ(c->Pixels(7, 7), 0x123456u);
    EXPECT_EQ(c->Pixels(8, 0), CLR_INVALID);
    EXPECT_EQ(c->Pixels(-1, 0), CLR_INVALID);
    c->SetPixels(9, 9, clRed);  // outside: ignored

    c->Brush()->SetColor(clRed);
    c->FrameRect({0, 0, 3, 3});
    EXPECT_EQ(c->Pixels(0, 0), clRed);
    EXPECT_EQ(c->Pixels(2, 2), clRed);
    EXPECT_EQ(c->Pixels(1, 1), clWhite);
    EXPECT_EQ(c->Pixels(3, 0), clWhite);

    // The up arrow of a spin button: filled and outlined, vertices included.
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clBlack);
    c->Polygon({Point(3, 3), Point(1, 7), Point(6, 7)});
    EXPECT_EQ(c->Pixels(3, 3), clBlack);
    EXPECT_EQ(c->Pixels(1, 7), clBlack);
    EXPECT_EQ(c->Pixels(6, 7), clBlack);
    EXPECT_EQ(c->Pixels(3, 6), clBlack);
    EXPECT_EQ(c->Pixels(1, 4), clWhite);
    EXPECT_EQ(c->Pixels(6, 4), clWhite);
}

TEST(GraphicsCanvas, TextBackgroundFollowsBrushStyle) {
    auto b = Filled(40, 30, clWhite);
    TCanvas* c = b->Canvas();
    const int w = c->TextWidth(" ");
    const int h = c->TextHeight(" ");
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    EXPECT_EQ(c->TextExtent("  ").cx, c->TextWidth("  "));

    c->Brush()->SetColor(clYellow);
    c->TextOut(0, 0, " ");  // a space has no ink: only the cell shows
    EXPECT_EQ(c->Pixels(0, 0), clYellow);
    EXPECT_EQ(c->Pixels(w - 1, h - 1), clYellow);
    EXPECT_EQ(c->Pixels(w, 0), clWhite);
    EXPECT_EQ(c->Pixels(0, h), clWhite);
    EXPECT_EQ(c->PenPos(), Point(w, 0));

    c->Brush()->SetStyle(bsClear);
    c->TextOut(0, h + 1, " ");
    EXPECT_EQ(c->Pixels(0, h + 1), clWhite);

    // TextRect fills its rectangle and clips the text to it.
    c->Brush()->SetColor(clAqua);
    c->TextRect({30, 0, 35, 5}, 30, 0, "WWWW");
    EXPECT_EQ(c->Pixels(35, 0), clWhite);
    EXPECT_EQ(c->Pixels(39, 2), clWhite);
}

TEST(GraphicsCanvas, CopyRectScalesNearestWithCopyMode) {
    auto src = Filled(2, 1, clRed);
    src->Canvas()->SetPixels(1, 0, clBlue);
    auto dst = Filled(5, 2, clWhite);
    dst->Canvas()->CopyRect({0, 0, 4, 2}, src->Canvas(), {0, 0, 2, 1});
    EXPECT_EQ(Row(*dst, 0), (std::vector<TColor>{clRed, clRed, clBlue, clBlue, clWhite}));
    EXPECT_EQ(Row(*dst, 1), (std::vector<TColor>{clRed, clRed, clBlue, clBlue, clWhite}));

    dst->Canvas()->SetCopyMode(SRCINVERT);
    dst->Canvas()->CopyRect({0, 0, 1, 1}, src->Canvas(), {1, 0, 2, 1});
    EXPECT_EQ(dst->Canvas()->Pixels(0, 0), clRed ^ clBlue);
}

TEST(GraphicsCanvas, StretchDrawIsNearestNeighbour) {
    auto src = Filled(4, 1, clBlack);
    const TColor cols[4] = {clRed, clLime, clBlue, clYellow};
    for (int x = 0; x < 4; ++x) src->Canvas()->SetPixels(x, 0, cols[x]);

    auto dst = Filled(8, 1, clWhite);
    dst->Canvas()->StretchDraw({0, 0, 8, 1}, src.get());
    EXPECT_EQ(Row(*dst, 0), (std::vector<TColor>{clRed, clRed, clLime, clLime, clBlue, clBlue, clYellow, clYellow}));
    // Shrinking takes the pixel under each target pixel's centre.
    dst->Canvas()->StretchDraw({0, 0, 2, 1}, src.get());
    EXPECT_EQ(dst->Canvas()->Pixels(0, 0), clLime);
    EXPECT_EQ(dst->Canvas()->Pixels(1, 0), clYellow);
    // Draw places the graphic at its own size, clipped by the canvas.
    dst->Canvas()->Draw(6, 0, src.get());
    EXPECT_EQ(dst->Canvas()->Pixels(6, 0), clRed);
    EXPECT_EQ(dst->Canvas()->Pixels(7, 0), clLime);
}

TEST(GraphicsCanvas, BoundToAForeignContextDrawsThroughItsOriginAndClip) {
    Surface s(6, 4, 0xFFFFFF);
    DeviceContext dc(&s, Point(2, 1), Region(TRect{0, 0, 3, 2}));
    {
        TCanvas c(&dc);
        c.Brush()->SetColor(clRed);
        c.FillRect({-5, -5, 50, 50});
        EXPECT_EQ(c.Pixels(0, 0), clRed);
        // Code that draws through the handle sees the canvas's tools.
        EXPECT_EQ(c.Handle()->brush.color, clRed);
        c.Font()->SetColor(clBlue);
        EXPECT_EQ(c.Handle()->textColor, clBlue);
        c.Brush()->SetStyle(bsClear);
        EXPECT_EQ(c.Handle()->bkMode, TRANSPARENT);
    }
    // Surface pixels are 0x00RRGGBB: red is 0xFF0000.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(s.Get(x, y), (x >= 2 && x < 5 && y >= 1 && y < 3) ? 0xFF0000u : 0xFFFFFFu) << x << "," << y;
}

TEST(GraphicsCanvas, ACanvasWithoutContextRefusesToDrawButMeasures) {
    TCanvas c;
    EXPECT_FALSE(c.HandleAllocated());
    EXPECT_THROW(c.FillRect({0, 0, 1, 1}), Exception);
    EXPECT_THROW(c.LineTo(1, 1), Exception);
    EXPECT_GT(c.TextWidth("Close"), 0);
    c.SetPenPos(Point(3, 4));
    EXPECT_EQ(c.PenPos(), Point(3, 4));
}

TEST(GraphicsCanvas, DrawingOnABitmapCanvasReportsChanges) {
    TBitmap b;
    b.SetSize(2, 2);
    int bitmapChanges = 0, canvasChanges = 0;
    b.OnChange = [&](TObject*) { ++bitmapChanges; };
    b.Canvas()->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, b.Canvas());
        ++canvasChanges;
    };
    b.Canvas()->SetPixels(0, 0, clRed);
    b.Canvas()->FillRect({0, 0, 1, 1});
    EXPECT_EQ(canvasChanges, 2);
    EXPECT_EQ(bitmapChanges, 2);  // a handler on the canvas does not cut the bitmap off
    EXPECT_TRUE(b.Modified());
}
