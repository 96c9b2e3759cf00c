// Face contents: picture strips, caption, focus rectangle, emboss, animation, full-picture look
// and the owner-draw event.
#include "ImButtonTestKit.h"

namespace {

constexpr TColor kF0 = 0x0000C0, kF1 = 0x00C000, kF2 = 0xC00000, kF3 = 0xC000C0;

// Whether any pixel of the rectangle differs from `back`.
bool Inked(const TBitmap& b, TRect r, TColor back) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (PixelToColor(b.Pixels().Get(x, y)) != back) return true;
    return false;
}

bool Holds(const TBitmap& b, TRect r, TColor c) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (PixelToColor(b.Pixels().Get(x, y)) == c) return true;
    return false;
}

// Text is smoothed: its strongest pixels come close to the text colour without reaching it.
bool HoldsNear(const TBitmap& b, TRect r, TColor c) {
    auto near = [](TColor p, TColor q) {
        for (int sh = 0; sh < 24; sh += 8) {
            const int d = static_cast<int>((p >> sh) & 0xFF) - static_cast<int>((q >> sh) & 0xFF);
            if (d > 40 || d < -40) return false;
        }
        return true;
    };
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (near(PixelToColor(b.Pixels().Get(x, y)), c)) return true;
    return false;
}

// Some pixel lighter than `than` in every channel (the highlight copy of disabled text).
bool HoldsLighter(const TBitmap& b, TRect r, TColor than) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            const TColor p = PixelToColor(b.Pixels().Get(x, y));
            if ((p & 0xFF) > (than & 0xFF) && ((p >> 8) & 0xFF) > ((than >> 8) & 0xFF) &&
                ((p >> 16) & 0xFF) > ((than >> 16) & 0xFF))
                return true;
        }
    return false;
}

}  // namespace

// ---- Picture strip and layout ----

class ImButtonStripTest : public ImButtonTest {
protected:
    void SetUp() override {
        ImButtonTest::SetUp();
        auto strip = Strip(18, {kF0, kF1});
        SetPicture(strip.get());
        const int tw = std::min(std::min(TextWidthOf("Close"), 75 - 10), 75 - 18 - 10 - 2);
        px = 37 - (18 + tw + 2) / 2;
    }
    int px = 0;
};

TEST_F(ImButtonStripTest, FramesByStateAndPicturePosition) {
    const TColor face = Rgb(clBtnFace);
    struct Case {
        UINT itemState;
        bool hot, enabled;
        TColor frame;
        int dx, dy;
    } cases[] = {
        {0, false, true, kF0, 0, 0},
        {0, true, true, kF0, 0, 0},               // no frame 3: falls back to 0
        {ODS_SELECTED, false, true, kF0, 1, 1},   // pushed moves down-right
        {0, false, false, kF1, 0, 0},             // disabled: frame 1, drawn plainly
    };
    for (const Case& c : cases) {
        if (c.hot) btn->fMouseEnter();
        btn->SetEnabled(c.enabled);
        auto f = Face(c.itemState);
        const int x = px + c.dx, y = 3 + c.dy;
        EXPECT_EQ(At(*f, x + 4, y + 4), c.frame) << c.itemState << c.hot << c.enabled;
        EXPECT_EQ(At(*f, x + 13, y + 13), c.frame);
        EXPECT_NE(At(*f, x + 14, y + 14), c.frame);
        EXPECT_NE(At(*f, x + 3, y + 3), c.frame);
        // Olive is transparent: the face shows through around the block.
        EXPECT_EQ(At(*f, x + 1, y + 9), face);
        EXPECT_EQ(At(*f, x + 16, y + 9), face);
        if (c.hot) btn->fMouseLeave();
        btn->SetEnabled(true);
    }
    // Drawing left the picture's bitmap transparent.
    EXPECT_TRUE(btn->fGetNomPicture()->Graphic()->Transparent());
}

TEST_F(ImButtonStripTest, CaptionStartsSpacingRightOfPicture) {
    btn->fSetSpacing(10);
    const int tw = std::min(std::min(TextWidthOf("Close"), 65), 75 - 18 - 10 - 10);
    const int x = 37 - (18 + tw + 10) / 2;
    auto f = Face();
    const TColor face = Rgb(clBtnFace);
    EXPECT_EQ(At(*f, x + 4, 7), kF0);
    EXPECT_FALSE(Inked(*f, {x + 18, 5, x + 28, 20}, face));  // the gap
    EXPECT_TRUE(Inked(*f, {x + 28, 5, x + 28 + tw, 20}, face));
    EXPECT_FALSE(Inked(*f, {x + 28 + tw, 5, 72, 20}, face));
}

TEST_F(ImButtonStripTest, HotFrameThreeOfFourFrameStrip) {
    auto strip = Strip(18, {kF0, kF1, kF2, kF3});
    SetPicture(strip.get());
    btn->fMouseEnter();
    const int tw = std::min(std::min(TextWidthOf("Close"), 65), 45);
    const int x = 37 - (18 + tw + 2) / 2;
    auto f = Face();
    EXPECT_EQ(At(*f, x + 8, 10), kF3);
    btn->SetEnabled(false);
    auto d = Face();
    EXPECT_EQ(At(*d, x + 8, 10), kF1);
    btn->SetEnabled(true);
    auto p = Face(ODS_SELECTED);
    EXPECT_EQ(At(*p, x + 9, 11), kF2);
}

TEST_F(ImButtonStripTest, PictureCountOverridesSquareFrames) {
    // Two 9-pixel-wide frames cut from an 18 x 18 picture.
    auto bmp = Paper(18, 18);
    bmp->Canvas()->Brush()->SetColor(kOlive);
    bmp->Canvas()->FillRect({0, 0, 18, 18});
    bmp->Canvas()->Brush()->SetColor(kF0);
    bmp->Canvas()->FillRect({2, 2, 7, 16});
    bmp->Canvas()->Brush()->SetColor(kF1);
    bmp->Canvas()->FillRect({11, 2, 16, 16});
    SetPicture(bmp.get());
    btn->fSetPicCount(2);
    btn->SetEnabled(false);
    const int tw = std::min(std::min(TextWidthOf("Close"), 65), 75 - 9 - 10 - 2);
    const int x = 37 - (9 + tw + 2) / 2;
    auto f = Face();
    EXPECT_EQ(At(*f, x + 3, 10), kF1);
    EXPECT_FALSE(Holds(*f, {0, 0, 75, 25}, kF0));
}

// A disabled button whose picture has no disabled frame shows frame 0 embossed: white one pixel
// down-right, grey on top; white and transparent pixels of the frame leave no ink.
TEST_F(ImButtonTest, DisabledSingleFramePictureIsEmbossed) {
    auto bmp = Strip(18, {0x000080});
    bmp->Canvas()->Brush()->SetColor(clWhite);
    bmp->Canvas()->FillRect({9, 9, 14, 14});  // white over the block's corner
    SetPicture(bmp.get());
    btn->SetEnabled(false);
    const int tw = std::min(std::min(TextWidthOf("Close"), 65), 45);
    const int x = 37 - (18 + tw + 2) / 2, y = 3;
    auto f = Face();
    const TColor face = Rgb(clBtnFace), shadow = Rgb(clBtnShadow), light = Rgb(clBtnHighlight);
    EXPECT_EQ(At(*f, x + 4, y + 4), shadow);
    EXPECT_EQ(At(*f, x + 8, y + 8), shadow);
    EXPECT_EQ(At(*f, x + 13, y + 8), shadow);
    EXPECT_EQ(At(*f, x + 14, y + 9), light);  // right of the block's last column, one row down
    EXPECT_EQ(At(*f, x + 9, y + 14), light);
    EXPECT_EQ(At(*f, x + 11, y + 11), face);  // white in the frame: no ink
    EXPECT_EQ(At(*f, x + 2, y + 2), face);    // transparent
    EXPECT_EQ(At(*f, x + 16, y + 16), face);
    // The caption: a highlight copy under a shadow copy.
    const TRect text{x + 20, 5, x + 20 + tw + 1, 21};
    EXPECT_TRUE(HoldsNear(*f, text, shadow));
    EXPECT_TRUE(HoldsLighter(*f, text, face));
}

TEST_F(ImButtonTest, IconPictureDrawnWhole) {
    const Surface colour(16, 16, ColorToPixel(0x00FF00));
    TIcon icon;
    icon.SetImage(IconImage::FromSurfaces(colour, nullptr, 24));
    SetPicture(&icon);
    const int tw = std::min(std::min(TextWidthOf("Close"), 65), 75 - 16 - 12);
    const int x = 37 - (16 + tw + 2) / 2;
    auto f = Face();
    EXPECT_EQ(At(*f, x, (25 - 16) / 2), 0x00FF00u);
    EXPECT_EQ(At(*f, x + 15, (25 - 16) / 2 + 15), 0x00FF00u);
    EXPECT_NE(At(*f, x + 16, 12), 0x00FF00u);
}

// ---- Caption and focus rectangle ----

TEST_F(ImButtonTest, WideCaptionClippedToEvenWidthCentredBox) {
    btn->SetCaption("MMMMMMMMMMMMMMMMMMMMMMMM");
    const TColor face = Rgb(clBtnFace);
    auto f = Face();
    // 65 pixels allowed, 32 either side of x = 37: columns 5..68.
    EXPECT_FALSE(Inked(*f, {2, 5, 5, 20}, face));
    EXPECT_TRUE(Inked(*f, {5, 5, 9, 20}, face));
    EXPECT_TRUE(Inked(*f, {65, 5, 69, 20}, face));
    EXPECT_FALSE(Inked(*f, {69, 5, 73, 20}, face));
}

TEST_F(ImButtonTest, FocusRectangleFollowsFocusLookAndPush) {
    btn->SetCaption("");
    const TColor face = Rgb(clBtnFace), inv = face ^ 0xFFFFFF;
    auto focused = Face(ODS_FOCUS);
    EXPECT_EQ(At(*focused, 4, 4), inv);
    EXPECT_EQ(At(*focused, 70, 20), inv);
    EXPECT_EQ(At(*focused, 5, 5), face);

    auto pushed = Face(ODS_FOCUS | ODS_SELECTED);
    EXPECT_EQ(At(*pushed, 5, 5), inv);
    EXPECT_EQ(At(*pushed, 71, 21), inv);

    btn->SetDefault(true);  // the default bit alone draws none
    ASSERT_TRUE(btn->IsDefault());
    auto def = Face();
    EXPECT_EQ(At(*def, 4, 4), face);
    EXPECT_EQ(At(*def, 5, 5), face);
    btn->SetDefault(false);

    btn->fSetFocusRect(false);
    auto off = Face(ODS_FOCUS);
    EXPECT_EQ(At(*off, 4, 4), face);

    btn->fSetLooks(ibkWindowsXP);  // rectangle at 3 px, not moved by a push
    auto xp = Face(ODS_FOCUS | ODS_SELECTED);
    auto xpPlain = Face(ODS_SELECTED);
    EXPECT_NE(At(*xp, 3, 3), At(*xpPlain, 3, 3));
    EXPECT_EQ(At(*xp, 4, 4), At(*xpPlain, 4, 4));

    btn->fSetLooks(ibkFlat);  // flat looks never show one
    auto flat = Face(ODS_FOCUS);
    EXPECT_EQ(At(*flat, 4, 4), face);
}

TEST_F(ImButtonTest, HotCaptionUsesHotTextColorOnlyWhenEnabled) {
    btn->SetCaption("HHHH");
    btn->fSetHotTextColor(0x0000FF);
    const TRect text{5, 5, 70, 20};
    auto cold = Face();
    EXPECT_FALSE(HoldsNear(*cold, text, 0x0000FF));
    btn->fMouseEnter();
    auto hot = Face();
    EXPECT_TRUE(HoldsNear(*hot, text, 0x0000FF));
    btn->SetEnabled(false);
    auto off = Face();
    EXPECT_FALSE(HoldsNear(*off, text, 0x0000FF));
    EXPECT_TRUE(HoldsNear(*off, text, Rgb(clBtnShadow)));
    EXPECT_TRUE(HoldsLighter(*off, text, Rgb(clBtnFace)));
}

// ---- Animation ----

TEST_F(ImButtonTest, AnimationShowsFramesInTurnAndRestartsOnEnter) {
    auto anim = Strip(18, {kF0, kF1, kF2, kF3});
    SetAnimation(anim.get());
    btn->fSetAniCount(4);
    btn->fSetAnimate(true);
    btn->SetCaption("");
    btn->fMouseEnter();
    const int x = 37 - (18 + 0 + 2) / 2;
    std::vector<TColor> seen;
    for (int i = 0; i < 6; ++i) seen.push_back(At(*Face(), x + 8, 10));
    EXPECT_EQ(seen, (std::vector<TColor>{kF0, kF1, kF2, kF3, kF0, kF1}));
    btn->fMouseEnter();
    EXPECT_EQ(btn->Counter(), 0);
    EXPECT_EQ(At(*Face(), x + 8, 10), kF0);

    // Not animated: the hot face takes Picture's frame 3, or frame 0 of a shorter strip.
    btn->fSetAnimate(false);
    auto pic = Strip(18, {kF3, kF2});
    SetPicture(pic.get());
    EXPECT_EQ(At(*Face(), x + 8, 10), kF3);
}

// ---- Full-picture look ----

TEST_F(ImButtonTest, FullPictureStretchesTheStateRows) {
    btn->SetBounds(20, 30, 40, 25);
    btn->fSetLooks(ibkFullPicture);
    TBitmap strip;
    strip.SetSize(40, 75);
    for (int y = 0; y < 75; ++y)
        for (int x = 0; x < 40; ++x) strip.Pixels().Set(x, y, ColorToPixel(RGB(x, y, 7)));
    SetPicture(&strip);
    auto normal = Face(0, {0, 0, 40, 25});
    EXPECT_EQ(At(*normal, 5, 0), RGB(5, 0, 7));
    EXPECT_EQ(At(*normal, 39, 24), RGB(39, 24, 7));
    auto pushed = Face(ODS_SELECTED | ODS_FOCUS, {0, 0, 40, 25});
    EXPECT_EQ(At(*pushed, 0, 0), RGB(0, 50, 7));
    EXPECT_EQ(At(*pushed, 39, 24), RGB(39, 74, 7));
    EXPECT_EQ(At(*pushed, 4, 4), RGB(4, 54, 7));  // no focus rectangle, no caption
    btn->SetEnabled(false);
    EXPECT_EQ(At(*Face(0, {0, 0, 40, 25}), 3, 3), RGB(3, 28, 7));
    btn->SetEnabled(true);

    // Scaled onto a larger button, nearest pixel: frame 2 of three, each pixel doubled.
    btn->SetBounds(20, 30, 80, 50);
    btn->fSetPicCount(3);
    auto big = Face(ODS_SELECTED, {0, 0, 80, 50});
    EXPECT_EQ(At(*big, 0, 0), RGB(0, 50, 7));
    EXPECT_EQ(At(*big, 3, 3), RGB(1, 51, 7));
    EXPECT_EQ(At(*big, 79, 49), RGB(39, 74, 7));
}

TEST_F(ImButtonTest, FullPictureWithoutPictureIsTheNormalFrame) {
    btn->fSetLooks(ibkFullPicture);
    auto f = Face(ODS_FOCUS);
    EXPECT_EQ(At(*f, 0, 0), Rgb(clWindowFrame));
    EXPECT_EQ(At(*f, 1, 12), 0xFFFFFFu);
    EXPECT_EQ(At(*f, 4, 4), Rgb(clBtnFace));  // FocusRect went off with the look
    btn->fSetFocusRect(true);
    EXPECT_EQ(At(*Face(ODS_FOCUS), 4, 4), Rgb(clBtnFace) ^ 0xFFFFFF);
}

// ---- Owner draw ----

TEST_F(ImButtonTest, OwnerDrawGetsStateAndCounterAfterDefaultFace) {
    int status = -1;
    TColor under = 0;
    btn->fSetOnOwnerDraw([&](TObject* sender, TCanvas* c, TRect* r, int s, int& counter) {
        EXPECT_EQ(sender, btn);
        EXPECT_EQ(r->Right, 75);
        status = s;
        under = c->Pixels(4, 20);
        counter = 41;
    });
    btn->fSetAnimate(true);
    btn->fMouseEnter();
    btn->SetEnabled(false);
    auto f = Face(ODS_SELECTED | ODS_FOCUS);
    EXPECT_EQ(status, ibsPushed | ibsFocused | ibsHot | ibsAnimated | ibsDisabled);
    EXPECT_EQ(under, Rgb(clBtnFace));  // the default face was there first
    EXPECT_EQ(btn->Counter(), 41);
}

TEST_F(ImButtonTest, DefaultDrawOffLeavesTheHandlerAloneButNeverAnEmptyFace) {
    btn->SetCaption("");
    btn->fSetDefaultDraw(false);
    auto f = Face();
    EXPECT_EQ(At(*f, 37, 12), Rgb(clBtnFace));  // no handler: the default face anyway
    btn->fSetOnOwnerDraw([](TObject*, TCanvas* c, TRect*, int, int&) { c->SetPixels(1, 1, 0x0000FF); });
    auto g = Face();
    EXPECT_EQ(At(*g, 37, 12), kGuard);
    EXPECT_EQ(At(*g, 1, 1), 0x0000FFu);
}

TEST_F(ImButtonTest, RaisingOwnerDrawKeepsDefaultFace) {
    btn->SetCaption("");
    btn->fSetOnOwnerDraw([](TObject*, TCanvas*, TRect*, int, int&) { throw Exception("boom"); });
    std::unique_ptr<TBitmap> f;
    EXPECT_NO_THROW(f = Face());
    EXPECT_EQ(At(*f, 37, 12), Rgb(clBtnFace));
    EXPECT_EQ(At(*f, 0, 12), 0xFFFFFFu);
}
