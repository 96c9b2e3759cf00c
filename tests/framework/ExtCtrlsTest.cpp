#include "tests/framework/FormsTestKit.h"

#include "lumivane/framework/Image.h"
#include "lumivane/framework/Panel.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/framework/Font.h"
#include "lumivane/framework/Picture.h"

using namespace lumivane;

namespace {

// A bitmap of w x h in one colour, with optional single pixels of others.
void Fill(TBitmap* b, int w, int h, TColor c) {
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect({0, 0, w, h});
}

} // namespace

class ExtCtrlsTest : public FormsTest {
protected:
    void SetUp() override {
        FormsTest::SetUp();
        form = ShowForm(100, 80);
    }
    TColor Px(int x, int y) { return session.Pixel(form->Handle(), x, y); }
    TImage* NewImage(int x, int y, int w, int h) {
        auto* i = new TImage(form);
        i->SetParent(form);
        i->SetBounds(x, y, w, h);
        return i;
    }
    TForm* form = nullptr;
};

TEST_F(ExtCtrlsTest, AutoSizeTakesThePicturesSizeWhenThePictureChanges) {
    TImage* image = NewImage(5, 5, 50, 50);
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 50) << "no picture yet";
    TBitmap b;
    Fill(&b, 10, 6, clRed);
    image->Picture()->SetBitmap(&b);
    EXPECT_EQ(image->BoundsRect(), (TRect{5, 5, 15, 11}));
    session.Pump();
    EXPECT_EQ(Px(5, 5), clRed);
    EXPECT_EQ(Px(14, 10), clRed);
    EXPECT_EQ(Px(15, 10), clWhite);
    EXPECT_EQ(Px(14, 11), clWhite);
}

TEST_F(ExtCtrlsTest, CenterPlacesThePictureInTheMiddle) {
    TImage* image = NewImage(10, 10, 20, 20);
    TBitmap b;
    Fill(&b, 4, 4, clBlue);
    image->Picture()->SetBitmap(&b);
    session.Pump();
    EXPECT_EQ(Px(10, 10), clBlue) << "top-left without Center";
    EXPECT_EQ(Px(14, 14), clWhite);
    image->SetCenter(true);
    session.Pump();
    EXPECT_EQ(Px(10, 10), clWhite);
    EXPECT_EQ(Px(17, 17), clWhite);
    EXPECT_EQ(Px(18, 18), clBlue);
    EXPECT_EQ(Px(21, 21), clBlue);
    EXPECT_EQ(Px(22, 22), clWhite);
}

TEST_F(ExtCtrlsTest, StretchScalesToTheClientAreaAndProportionalKeepsTheAspect) {
    TImage* image = NewImage(0, 0, 20, 10);
    TBitmap b;
    Fill(&b, 2, 2, clRed);
    b.Canvas()->SetPixels(1, 0, clLime);
    b.Canvas()->SetPixels(0, 1, clBlue);
    image->Picture()->SetBitmap(&b);
    image->SetStretch(true);
    EXPECT_EQ(image->DestRect(), (TRect{0, 0, 20, 10}));
    session.Pump();
    EXPECT_EQ(Px(0, 0), clRed);
    EXPECT_EQ(Px(9, 4), clRed);
    EXPECT_EQ(Px(10, 4), clLime);
    EXPECT_EQ(Px(19, 0), clLime);
    EXPECT_EQ(Px(0, 5), clBlue);
    EXPECT_EQ(Px(19, 9), clRed);

    image->SetProportional(true);
    image->SetCenter(true);
    EXPECT_EQ(image->DestRect(), (TRect{5, 0, 15, 10}));
    session.Pump();
    EXPECT_EQ(Px(4, 0), clWhite);
    EXPECT_EQ(Px(5, 0), clRed);
    EXPECT_EQ(Px(14, 9), clRed);
    EXPECT_EQ(Px(15, 0), clWhite);

    // Proportional alone only shrinks.
    image->SetStretch(false);
    EXPECT_EQ(image->DestRect(), (TRect{9, 4, 11, 6}));
}

TEST_F(ExtCtrlsTest, TransparentLeavesOutTheBitmapsTransparentColour) {
    form->SetColor(clYellow);
    TImage* image = NewImage(0, 0, 4, 4);
    TBitmap b;
    Fill(&b, 4, 4, clOlive);  // the bottom-left colour is the transparent one
    b.Canvas()->SetPixels(1, 1, clRed);
    image->Picture()->SetBitmap(&b);
    session.Pump();
    EXPECT_EQ(Px(0, 0), clOlive);
    image->SetTransparent(true);
    session.Pump();
    EXPECT_EQ(Px(0, 0), clYellow);
    EXPECT_EQ(Px(1, 1), clRed);
    EXPECT_TRUE(image->Picture()->Graphic()->Transparent());
}

TEST_F(ExtCtrlsTest, PanelBevelsBorderAndFaceArePixelExact) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(10, 10, 20, 12);
    session.Pump();
    const TColor hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow), face = ColorToRGB(clBtnFace);
    // Raised outer bevel: top and left light, bottom and right dark, the two far corners dark.
    EXPECT_EQ(Px(10, 10), hi);
    EXPECT_EQ(Px(28, 10), hi);
    EXPECT_EQ(Px(29, 10), sh);
    EXPECT_EQ(Px(10, 20), hi);
    EXPECT_EQ(Px(10, 21), sh);
    EXPECT_EQ(Px(29, 21), sh);
    EXPECT_EQ(Px(11, 11), face);
    EXPECT_EQ(Px(9, 9), clWhite);

    panel->SetBevelInner(bvLowered);
    panel->SetBorderWidth(1);
    panel->SetColor(clRed);
    session.Pump();
    EXPECT_EQ(Px(11, 11), clRed) << "border of Color";
    EXPECT_EQ(Px(12, 12), sh) << "lowered inner bevel: dark on top";
    EXPECT_EQ(Px(27, 19), hi);
    EXPECT_EQ(Px(13, 13), clRed);
}

TEST_F(ExtCtrlsTest, PanelCaptionIsCentredAndAlignedChildrenStayInsideTheFrames) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 100, 40);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clWhite);
    panel->Font()->SetColor(clBlack);
    panel->SetCaption("I");
    session.Pump();
    // The ink of a centred caption lies around the middle and nowhere near the edges.
    int minX = 1000, maxX = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            if (Px(x, y) != clWhite) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    ASSERT_GE(maxX, 0) << "caption drawn";
    EXPECT_LE(std::abs((minX + maxX) / 2 - 50), 2);

    panel->SetBevelOuter(bvRaised);
    panel->SetBorderWidth(3);
    auto* child = new TLabel(form);
    child->SetParent(panel);
    child->SetAutoSize(false);
    child->SetAlign(alClient);
    EXPECT_EQ(child->BoundsRect(), (TRect{4, 4, 96, 36}));
}
