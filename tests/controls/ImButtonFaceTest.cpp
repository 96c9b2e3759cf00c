// Face contents: picture strips, caption, focus rectangle, emboss, animation, full-picture look
// and the owner-draw event.
#include <cstdlib>

#include "ImButtonTestKit.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Graphic.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/framework/Icon.h"
#include "lumivane/framework/Published.h"
#include "lumivane/base/Exception.h"
#include "lumivane/gfx/image/Ico.h"

using namespace lumivane;

namespace {

constexpr TColor kF0 = 0x0000C0, kF1 = 0x00C000, kF2 = 0xC00000, kF3 = 0xC000C0;

// Whether some pixel of the rectangle passes the test.
template <class F>
bool Any(const TBitmap& b, TRect r, F test) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (test(PixelToColor(b.Pixels().Get(x, y)))) return true;
    return false;
}
bool Inked(const TBitmap& b, TRect r, TColor back) {
    return Any(b, r, [&](TColor c) { return c != back; });
}
// Text is smoothed: its strongest pixels come close to the text colour without reaching it.
bool HoldsNear(const TBitmap& b, TRect r, TColor want) {
    return Any(b, r, [&](TColor c) {
        for (int sh = 0; sh < 24; sh += 8)
            if (std::abs(int((c >> sh) & 0xFF) - int((want >> sh) & 0xFF)) > 40) return false;
        return true;
    });
}
bool HoldsLighter(const TBitmap& b, TRect r, TColor than) {
    return Any(b, r, [&](TColor c) {
        for (int sh = 0; sh < 24; sh += 8)
            if (((c >> sh) & 0xFF) <= ((than >> sh) & 0xFF)) return false;
        return true;
    });
}

// Smallest rectangle holding every pixel of r that differs from back; empty when none does.
TRect InkBox(const TBitmap& b, TRect r, TColor back) {
    TRect box{r.Right, r.Bottom, r.Left, r.Top};
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (PixelToColor(b.Pixels().Get(x, y)) != back) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

// A bitmap of a class of its own: not drawn by the button.
class TStampBitmap : public TBitmap {
    LUMI_CLASS(TStampBitmap, TBitmap)
public:
    std::unique_ptr<TGraphic> CreateNew() const override { return std::make_unique<TStampBitmap>(); }
};
LUMI_DEFINE_CLASS(TStampBitmap) {}

}  // namespace

TEST_F(ImButtonTest, StripFramesByStateAndPosition) {
    const TColor face = Rgb(clBtnFace);
    auto two = Strip(18, {kF0, kF1}), four = Strip(18, {kF0, kF1, kF2, kF3});
    const int x0 = PictureLeft(18, 2);
    struct Case {
        TBitmap* strip;
        UINT itemState;
        bool hot, enabled;
        TColor frame;
        int d;  // pushed moves the picture down-right
    } cases[] = {
        {two.get(), 0, false, true, kF0, 0},
        {two.get(), 0, true, true, kF0, 0},  // no frame 3: frame 0
        {two.get(), ODS_SELECTED, false, true, kF0, 1},
        {two.get(), 0, false, false, kF1, 0},  // frame 1 drawn plainly, not embossed
        {four.get(), 0, true, true, kF3, 0},
        {four.get(), ODS_SELECTED, true, true, kF2, 1},
    };
    for (const Case& c : cases) {
        SetPicture(c.strip);
        if (c.hot) btn->fMouseEnter();
        btn->SetEnabled(c.enabled);
        auto f = Face(c.itemState);
        const int x = x0 + c.d, y = 3 + c.d;
        EXPECT_EQ(At(*f, x + 4, y + 4), c.frame) << c.itemState << c.hot << c.enabled;
        EXPECT_EQ(At(*f, x + 13, y + 13), c.frame);
        EXPECT_NE(At(*f, x + 14, y + 14), c.frame);
        EXPECT_EQ(At(*f, x + 1, y + 9), face);  // olive is transparent
        if (c.hot && c.strip == two.get() && !c.itemState) {
            EXPECT_EQ(btn->Counter(), 1);  // frame 3 missing: frame 0, and the counter restarts at 1
        }
        if (c.hot) btn->fMouseLeave();
        btn->SetEnabled(true);
    }
    EXPECT_TRUE(btn->fGetNomPicture()->Graphic()->Transparent());
}

// Pushed: the caption moves one pixel right and down, alone or beside a picture (which moves too).
TEST_F(ImButtonTest, PushedCaptionMovesOneRightAndDown) {
    const TColor face = Rgb(clBtnFace);
    const TRect inside{3, 3, 72, 22};
    auto box = [&](UINT itemState, TRect r) { return InkBox(*Face(itemState), r, face); };
    const TRect plain = box(0, inside), pushed = box(ODS_SELECTED, inside);
    ASSERT_LT(plain.Left, plain.Right);
    EXPECT_EQ(pushed, (TRect{plain.Left + 1, plain.Top + 1, plain.Right + 1, plain.Bottom + 1}));

    auto strip = Strip(18, {kF0});
    SetPicture(strip.get());
    const int x = PictureLeft(18, 2);
    const TRect caption{x + 20, 3, 72, 22};
    const TRect withPic = box(0, caption), withPicPushed = box(ODS_SELECTED, {x + 21, 3, 72, 22});
    ASSERT_LT(withPic.Left, withPic.Right);
    EXPECT_EQ(withPicPushed, (TRect{withPic.Left + 1, withPic.Top + 1, withPic.Right + 1, withPic.Bottom + 1}));
    EXPECT_EQ(At(*Face(ODS_SELECTED), x + 5, 3 + 5), kF0);  // frame 0 (no frame 2) at (x + 1, 4)
    EXPECT_EQ(At(*Face(ODS_SELECTED), x + 4, 3 + 4), face);
}

// Only a TBitmap or a TIcon is drawn; a graphic of another class still takes its place.
TEST_F(ImButtonTest, OtherGraphicClassDrawsNothingButKeepsItsPlace) {
    const TColor face = Rgb(clBtnFace);
    auto strip = Strip(18, {kF0});
    TStampBitmap stamp;
    stamp.Assign(strip.get());
    SetPicture(&stamp);
    ASSERT_EQ(btn->fGetNomPicture()->Graphic()->ClassName(), "TStampBitmap");
    auto f = Face();
    const int x = PictureLeft(18, 2);
    EXPECT_FALSE(Inked(*f, {x, 3, x + 18, 21}, face));
    const TRect ink = InkBox(*f, {3, 3, 72, 22}, face);
    EXPECT_GE(ink.Left, x + 20);  // the caption still starts after the picture's place
    EXPECT_FALSE(btn->fGetNomPicture()->Graphic()->Transparent());
}

TEST_F(ImButtonTest, CaptionBesidePictureAndClippedWhenWide) {
    const TColor face = Rgb(clBtnFace);
    auto strip = Strip(18, {kF0});
    SetPicture(strip.get());
    btn->fSetSpacing(10);
    const int tw = std::min(std::min(TextWidthOf("Close"), 65), 75 - 18 - 10 - 10), x = PictureLeft(18, 10);
    auto f = Face();
    EXPECT_EQ(At(*f, x + 4, 7), kF0);
    EXPECT_FALSE(Inked(*f, {x + 18, 5, x + 28, 20}, face));  // the spacing
    EXPECT_TRUE(Inked(*f, {x + 28, 5, x + 28 + tw, 20}, face));
    EXPECT_FALSE(Inked(*f, {x + 28 + tw, 5, 72, 20}, face));

    // No picture, too wide: a 64-pixel box centred on column 37 (65 halved once, doubled).
    TPicture none;
    btn->fSetNomPicture(&none);
    btn->SetCaption("MMMMMMMMMMMMMMMMMMMMMMMM");
    auto w = Face();
    EXPECT_FALSE(Inked(*w, {2, 5, 5, 20}, face));
    EXPECT_TRUE(Inked(*w, {5, 5, 9, 20}, face));
    EXPECT_TRUE(Inked(*w, {65, 5, 69, 20}, face));
    EXPECT_FALSE(Inked(*w, {69, 5, 73, 20}, face));
}

TEST_F(ImButtonTest, PictureCountAndIcons) {
    auto bmp = Strip(18, {kF0});
    bmp->Canvas()->Brush()->SetColor(kF1);
    bmp->Canvas()->FillRect({11, 4, 14, 14});
    SetPicture(bmp.get());
    btn->fSetPicCount(2);  // two 9-pixel frames
    btn->SetEnabled(false);
    auto f = Face();
    EXPECT_EQ(At(*f, PictureLeft(9, 2) + 3, 10), kF1);
    btn->SetEnabled(true);

    TIcon icon;
    icon.SetImage(IconImage::FromSurfaces(Surface(16, 16, ColorToPixel(0x00FF00)), nullptr, 24));
    SetPicture(&icon);
    btn->fSetPicCount(0);
    auto g = Face();
    const int x = PictureLeft(16, 2);
    EXPECT_EQ(At(*g, x, 4), 0x00FF00u);
    EXPECT_EQ(At(*g, x + 15, 19), 0x00FF00u);
    EXPECT_NE(At(*g, x + 16, 12), 0x00FF00u);
}

// Without a disabled frame: white copy one pixel down-right, grey on top; white and transparent
// pixels of the frame leave no ink; the caption is etched the same way.
TEST_F(ImButtonTest, DisabledSingleFramePictureIsEmbossed) {
    auto bmp = Strip(18, {0x000080});
    bmp->Canvas()->Brush()->SetColor(clWhite);
    bmp->Canvas()->FillRect({9, 9, 14, 14});
    SetPicture(bmp.get());
    btn->SetEnabled(false);
    const int x = PictureLeft(18, 2), y = 3;
    uint32_t copyMode = 0;
    btn->fSetOnOwnerDraw([&](TObject*, TCanvas* c, TRect*, int, int&) { copyMode = c->CopyMode(); });
    auto f = Face();
    EXPECT_EQ(copyMode, uint32_t(SRCCOPY));  // restored after the three stamps
    const TColor face = Rgb(clBtnFace), shadow = Rgb(clBtnShadow), light = Rgb(clBtnHighlight);
    for (Expect e : {Expect{x + 4, y + 4, shadow}, {x + 13, y + 8, shadow}, {x + 14, y + 9, light},
                     {x + 9, y + 14, light}, {x + 11, y + 11, face}, {x + 2, y + 2, face}})
        EXPECT_EQ(At(*f, e.x, e.y), e.c) << e.x - x << "," << e.y - y;
    const TRect text{x + 20, 5, 73, 21};
    EXPECT_TRUE(HoldsNear(*f, text, shadow));
    EXPECT_TRUE(HoldsLighter(*f, text, face));
}

TEST_F(ImButtonTest, FocusRectangleFollowsFocusLookAndPush) {
    btn->SetCaption("");
    const TColor face = Rgb(clBtnFace), inv = face ^ 0xFFFFFF;
    EXPECT_EQ(At(*Face(ODS_FOCUS), 4, 4), inv);
    EXPECT_EQ(At(*Face(ODS_FOCUS), 70, 20), inv);
    EXPECT_EQ(At(*Face(ODS_FOCUS | ODS_SELECTED), 5, 5), inv);
    btn->SetDefault(true);  // the default bit alone draws none
    ASSERT_TRUE(btn->IsDefault());
    EXPECT_EQ(At(*Face(), 4, 4), face);
    btn->SetDefault(false);
    btn->fSetFocusRect(false);
    EXPECT_EQ(At(*Face(ODS_FOCUS), 4, 4), face);

    btn->fSetLooks(ibkWindowsXP);  // at 3 pixels, and a push does not move it
    auto xp = Face(ODS_FOCUS | ODS_SELECTED), xpPlain = Face(ODS_SELECTED);
    EXPECT_NE(At(*xp, 3, 3), At(*xpPlain, 3, 3));
    EXPECT_EQ(At(*xp, 4, 4), At(*xpPlain, 4, 4));
    btn->fSetLooks(ibkFullPicture);  // without a picture: the normal frame, no rectangle
    EXPECT_EQ(At(*Face(ODS_FOCUS), 4, 4), face);
    btn->fSetFocusRect(true);
    EXPECT_EQ(At(*Face(ODS_FOCUS), 4, 4), inv);
}

TEST_F(ImButtonTest, HotCaptionColourOnlyWhenEnabled) {
    btn->SetCaption("HHHH");
    btn->fSetHotTextColor(0x0000FF);
    const TRect text{5, 5, 70, 20};
    EXPECT_FALSE(HoldsNear(*Face(), text, 0x0000FF));
    btn->fMouseEnter();
    EXPECT_TRUE(HoldsNear(*Face(), text, 0x0000FF));
    EXPECT_EQ(btn->Font()->Color(), clWindowText);  // the canvas took a copy
    btn->SetEnabled(false);
    auto off = Face();
    EXPECT_FALSE(HoldsNear(*off, text, 0x0000FF));
    EXPECT_TRUE(HoldsNear(*off, text, Rgb(clBtnShadow)));
}

TEST_F(ImButtonTest, AnimationShowsFramesInTurnAndRestartsOnEnter) {
    auto anim = Strip(18, {kF0, kF1, kF2, kF3});
    SetAnimation(anim.get());
    btn->fSetAniCount(4);
    btn->fSetAnimate(true);
    btn->SetCaption("");
    btn->fMouseEnter();
    const int x = 37 - 10 + 8;
    std::vector<TColor> seen;
    for (int i = 0; i < 6; ++i) seen.push_back(At(*Face(), x, 10));
    EXPECT_EQ(seen, (std::vector<TColor>{kF0, kF1, kF2, kF3, kF0, kF1}));
    btn->fMouseEnter();
    EXPECT_EQ(btn->Counter(), 0);
    EXPECT_EQ(At(*Face(), x, 10), kF0);
    btn->fSetAnimate(false);  // Picture's frame 3 instead, or its frame 0 when it has fewer
    auto pic = Strip(18, {kF3, kF2});
    SetPicture(pic.get());
    EXPECT_EQ(At(*Face(), x, 10), kF3);
}

TEST_F(ImButtonTest, FullPictureStretchesTheStateRows) {
    btn->SetBounds(20, 30, 40, 25);
    btn->fSetLooks(ibkFullPicture);
    TBitmap strip;
    strip.SetSize(40, 75);
    for (int y = 0; y < 75; ++y)
        for (int x = 0; x < 40; ++x) strip.Pixels().Set(x, y, ColorToPixel(RGB(x, y, 7)));
    SetPicture(&strip);
    const TRect small{0, 0, 40, 25};
    EXPECT_EQ(At(*Face(0, small), 39, 24), RGB(39, 24, 7));
    auto pushed = Face(ODS_SELECTED | ODS_FOCUS, small);
    EXPECT_EQ(At(*pushed, 0, 0), RGB(0, 50, 7));
    EXPECT_EQ(At(*pushed, 39, 24), RGB(39, 74, 7));
    EXPECT_EQ(At(*pushed, 4, 4), RGB(4, 54, 7));  // no focus rectangle, no caption
    btn->SetEnabled(false);
    EXPECT_EQ(At(*Face(0, small), 3, 3), RGB(3, 28, 7));
    btn->SetEnabled(true);
    // Scaled to a larger button (nearest pixel): each pixel doubled.
    btn->SetBounds(20, 30, 80, 50);
    btn->fSetPicCount(3);
    auto big = Face(ODS_SELECTED, {0, 0, 80, 50});
    EXPECT_EQ(At(*big, 3, 3), RGB(1, 51, 7));
    EXPECT_EQ(At(*big, 79, 49), RGB(39, 74, 7));
}

// An icon on the full-picture look: drawn unscaled at the corner, and nothing else is drawn.
TEST_F(ImButtonTest, FullPictureIconUnscaledAndAlone) {
    btn->SetBounds(20, 30, 40, 25);
    btn->fSetLooks(ibkFullPicture);
    TIcon icon;
    icon.SetImage(IconImage::FromSurfaces(Surface(16, 16, ColorToPixel(0x00FF00)), nullptr, 24));
    SetPicture(&icon);
    auto f = Face(ODS_FOCUS | ODS_SELECTED, {0, 0, 40, 25});
    EXPECT_EQ(At(*f, 0, 0), 0x00FF00u);
    EXPECT_EQ(At(*f, 15, 15), 0x00FF00u);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 40; ++x)
            if (x >= 16 || y >= 16) {
                ASSERT_EQ(At(*f, x, y), kGuard) << x << "," << y;
            }
}

TEST_F(ImButtonTest, OwnerDrawAfterDefaultFaceAloneOrFailing) {
    btn->SetCaption("");
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
    Face(ODS_SELECTED | ODS_FOCUS);
    EXPECT_EQ(status, ibsPushed | ibsFocused | ibsHot | ibsAnimated | ibsDisabled);
    EXPECT_EQ(under, Rgb(clBtnFace));  // the default face was there first
    EXPECT_EQ(btn->Counter(), 41);

    btn->fSetDefaultDraw(false);  // the handler alone
    btn->fSetOnOwnerDraw([](TObject*, TCanvas* c, TRect*, int, int&) { c->SetPixels(1, 1, 0x0000FF); });
    auto alone = Face();
    EXPECT_EQ(At(*alone, 37, 12), kGuard);
    EXPECT_EQ(At(*alone, 1, 1), 0x0000FFu);
    btn->fSetOnOwnerDraw(nullptr);  // no handler: the default face anyway
    EXPECT_EQ(At(*Face(), 37, 12), Rgb(clBtnFace));

    btn->fSetDefaultDraw(true);
    btn->fSetOnOwnerDraw([](TObject*, TCanvas*, TRect*, int, int&) { throw Exception("boom"); });
    std::unique_ptr<TBitmap> f;
    EXPECT_NO_THROW(f = Face());
    EXPECT_EQ(At(*f, 37, 12), Rgb(clBtnFace));
}
