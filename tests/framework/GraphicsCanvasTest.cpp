#include <gtest/gtest.h>

#include <vector>

#include "GraphicsTestKit.h"
#include "lumivane/base/Exception.h"

using namespace lumivane;

// Canvas drawing on small bitmaps, checked pixel by pixel (colours as TColor 0x00BBGGRR).
using Colors = std::vector<TColor>;

TEST(GraphicsCanvas, LinesRectanglesAndBrushes) {
    auto b = Filled(7, 5, clWhite);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clRed);
    c->MoveTo(0, 0);
    c->LineTo(4, 0);  // the end pixel is left out and becomes the pen position
    EXPECT_EQ(Row(*b, 0), (Colors{clRed, clRed, clRed, clRed, clWhite, clWhite, clWhite}));
    EXPECT_EQ(c->PenPos(), Point(4, 0));

    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clBlue);
    c->Rectangle(1, 1, 5, 4);
    EXPECT_EQ(Row(*b, 1), (Colors{clWhite, clBlack, clBlack, clBlack, clBlack, clWhite, clWhite}));
    EXPECT_EQ(Row(*b, 2), (Colors{clWhite, clBlack, clBlue, clBlue, clBlack, clWhite, clWhite}));
    EXPECT_EQ(Row(*b, 3), (Colors{clWhite, clBlack, clBlack, clBlack, clBlack, clWhite, clWhite}));
    EXPECT_EQ(Row(*b, 4), Colors(7, clWhite));

    // A clear brush leaves the inside alone; any brush colour makes it solid again.
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(clRed);
    c->Rectangle(TRect{1, 1, 5, 4});
    EXPECT_EQ(c->Pixels(2, 2), clBlue);
    EXPECT_EQ(c->Pixels(1, 2), clRed);
    c->Brush()->SetColor(clWhite);
    EXPECT_EQ(c->Brush()->Style(), bsSolid);
    c->Brush()->SetColor(clLime);
    c->FillRect({5, 3, 7, 5});
    EXPECT_EQ(Row(*b, 4), (Colors{clWhite, clWhite, clWhite, clWhite, clWhite, clLime, clLime}));

    c->FrameRect({0, 0, 3, 3});
    EXPECT_EQ(c->Pixels(2, 2), clLime);
    EXPECT_EQ(c->Pixels(1, 1), clRed);
}

TEST(GraphicsCanvas, XorPenTwiceRestoresAndPixels) {
    auto b = Filled(4, 4, clGray);
    TCanvas* c = b->Canvas();
    c->SetPixels(1, 1, clNavy);
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(0, 0, 4, 4);
    EXPECT_EQ(c->Pixels(3, 3), 0x7F7F7Fu);
    EXPECT_EQ(c->Pixels(1, 1), clNavy);
    c->Rectangle(0, 0, 4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(c->Pixels(x, y), (x == 1 && y == 1) ? clNavy : clGray) << x << "," << y;
    EXPECT_EQ(c->Pixels(4, 0), CLR_INVALID);
    c->SetPixels(-1, 9, clRed);  // outside: ignored

    // The up arrow of a spin button: filled and outlined, vertices included.
    c->Pen()->SetMode(pmCopy);
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clBlack);
    c->Polygon({Point(1, 0), Point(0, 2), Point(3, 2)});
    EXPECT_EQ(Row(*b, 2), (Colors{clBlack, clBlack, clBlack, clBlack}));
    EXPECT_EQ(c->Pixels(1, 0), clBlack);
    EXPECT_EQ(c->Pixels(3, 0), clGray);
}

TEST(GraphicsCanvas, TextBackgroundFollowsBrushStyle) {
    auto b = Filled(40, 30, clWhite);
    TCanvas* c = b->Canvas();
    const int w = c->TextWidth(" "), h = c->TextHeight(" ");
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    c->Brush()->SetColor(clYellow);
    c->TextOut(0, 0, " ");  // a space has no ink: only the cell shows
    EXPECT_EQ(c->Pixels(w - 1, h - 1), clYellow);
    EXPECT_EQ(c->Pixels(w, 0), clWhite);
    EXPECT_EQ(c->Pixels(0, h), clWhite);
    EXPECT_EQ(c->PenPos(), Point(w, 0));
    c->Brush()->SetStyle(bsClear);
    c->TextOut(0, h + 1, " ");
    EXPECT_EQ(c->Pixels(0, h + 1), clWhite);
    // TextRect fills its rectangle and clips the text to it.
    c->Brush()->SetColor(clAqua);
    c->TextRect({30, 0, 35, 5}, 33, 0, "WWWW");
    EXPECT_EQ(c->Pixels(30, 4), clAqua);
    for (int y = 0; y < h; ++y) EXPECT_EQ(c->Pixels(35, y), clWhite) << y;
}

TEST(GraphicsCanvas, CopyRectAndStretchDrawScaleNearestNeighbour) {
    auto src = Filled(4, 1, clBlack);
    const TColor cols[4] = {clRed, clLime, clBlue, clYellow};
    for (int x = 0; x < 4; ++x) src->Canvas()->SetPixels(x, 0, cols[x]);

    auto dst = Filled(8, 2, clWhite);
    dst->Canvas()->StretchDraw({0, 0, 8, 1}, src.get());
    EXPECT_EQ(Row(*dst, 0), (Colors{clRed, clRed, clLime, clLime, clBlue, clBlue, clYellow, clYellow}));
    // Shrinking takes the pixel under each target pixel's centre.
    dst->Canvas()->StretchDraw({0, 0, 2, 1}, src.get());
    EXPECT_EQ(dst->Canvas()->Pixels(0, 0), clLime);
    EXPECT_EQ(dst->Canvas()->Pixels(1, 0), clYellow);

    dst->Canvas()->CopyRect({0, 1, 4, 2}, src->Canvas(), {2, 0, 4, 1});
    EXPECT_EQ(Row(*dst, 1), (Colors{clBlue, clBlue, clYellow, clYellow, clWhite, clWhite, clWhite, clWhite}));
    dst->Canvas()->SetCopyMode(SRCINVERT);
    dst->Canvas()->CopyRect({0, 1, 1, 2}, src->Canvas(), {0, 0, 1, 1});
    EXPECT_EQ(dst->Canvas()->Pixels(0, 1), clRed ^ clBlue);
}

TEST(GraphicsCanvas, BoundToAForeignContextUsesItsOriginClipAndSeesTheTools) {
    Surface s(6, 4, 0xFFFFFF);
    DeviceContext dc(&s, Point(2, 1), Region(TRect{0, 0, 3, 2}));
    {
        TCanvas c(&dc);
        c.Brush()->SetColor(clRed);
        c.FillRect({-5, -5, 50, 50});
        c.Font()->SetColor(clBlue);
        c.Brush()->SetStyle(bsClear);
        // Code that draws through the handle gets the canvas's font colour and background mode.
        EXPECT_EQ(c.Handle()->textColor, clBlue);
        EXPECT_EQ(c.Handle()->bkMode, TRANSPARENT);
    }
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(s.Get(x, y), (x >= 2 && x < 5 && y >= 1 && y < 3) ? 0xFF0000u : 0xFFFFFFu) << x << "," << y;

    TCanvas none;
    EXPECT_THROW(none.FillRect({0, 0, 1, 1}), Exception);
    EXPECT_GT(none.TextWidth("Close"), 0);  // measuring needs only the font
}

TEST(GraphicsCanvas, DrawingOnABitmapMarksItChangedEvenWithACanvasHandler) {
    TBitmap b;
    b.SetSize(2, 2);
    int bitmapChanges = 0, canvasChanges = 0;
    b.OnChange = [&](TObject*) { ++bitmapChanges; };
    b.Canvas()->OnChange = [&](TObject*) { ++canvasChanges; };
    b.SetModified(false);
    b.Canvas()->SetPixels(0, 0, clRed);
    b.Canvas()->FillRect({0, 0, 1, 1});
    EXPECT_EQ(canvasChanges, 2);
    EXPECT_EQ(bitmapChanges, 2);
    EXPECT_TRUE(b.Modified());
}
