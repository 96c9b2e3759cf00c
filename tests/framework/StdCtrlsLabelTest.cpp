#include "lumivane/framework/Font.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/Label.h"
#include "lumivane/gfx/text/DrawText.h"
#include "tests/framework/ControlsTestKit.h"

using namespace lumivane;

namespace {

TSize TextSize(const std::string& text, TFont* font) {
    HDC dc = GetDC(nullptr);
    dc->font = font->Handle();
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_EXPANDTABS | DT_CALCRECT);
    ReleaseDC(nullptr, dc);
    return {r.Width(), r.Height()};
}

TLabel* AddLabel(TWinControl* parent, const std::string& caption) {
    auto* l = new TLabel(parent);
    l->SetParent(parent);
    l->SetBounds(10, 10, 65, 17);
    l->SetCaption(caption);
    return l;
}

bool AnyPixel(ControlsTest* t, HeadlessSession& s, HWND h, TRect r, TColor c) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (s.Pixel(h, x, y) == c) return true;
    (void)t;
    return false;
}

}  // namespace

TEST_F(ControlsTest, LabelAutoSizeFollowsTheCaptionAndWordWrapOnlyTheHeight) {
    TLabel* l = AddLabel(root, "Lumivane");
    const TSize one = TextSize("Lumivane", l->Font());
    EXPECT_EQ(l->Width(), one.cx);
    EXPECT_EQ(l->Height(), one.cy);

    l->Font()->SetHeight(-19);
    l->Font()->SetStyle({fsBold});
    const TSize big = TextSize("Lumivane", l->Font());
    EXPECT_GT(big.cx, one.cx);
    EXPECT_EQ(l->Width(), big.cx);

    // Right-justified labels keep their right edge.
    l->SetAlignment(taRightJustify);
    const int right = l->Left() + l->Width();
    l->SetCaption("Lumi");
    EXPECT_EQ(l->Left() + l->Width(), right);

    // Word wrap: the width stays, three words under a narrow width take three lines.
    l->SetAlignment(taLeftJustify);
    l->SetWordWrap(true);
    const int narrow = TextSize("aaa", l->Font()).cx + 1;
    l->SetWidth(narrow);
    l->SetCaption("aaa aaa aaa");
    EXPECT_EQ(l->Width(), narrow);
    EXPECT_EQ(l->Height(), 3 * big.cy);

    // Without AutoSize nothing moves.
    l->SetAutoSize(false);
    l->SetBounds(10, 10, 297, 230);
    l->SetCaption("a much longer caption than before");
    EXPECT_EQ(l->BoundsRect(), (TRect{10, 10, 307, 240}));
}

TEST_F(ControlsTest, LabelPaintsItsBackgroundUnlessTransparent) {
    root->SetColor(clSilver);
    TLabel* l = AddLabel(root, "HH");
    l->Font()->SetHeight(-24);
    l->SetColor(clYellow);
    l->Font()->SetColor(clRed);
    session.Pump();
    const TRect r = l->BoundsRect();
    EXPECT_EQ(Px(r.Right - 1, r.Bottom - 1), clYellow);
    EXPECT_TRUE(AnyPixel(this, session, Top(), r, clRed));
    EXPECT_EQ(Px(r.Right, r.Top), clSilver);

    l->SetTransparent(true);
    session.Pump();
    EXPECT_EQ(Px(r.Right - 1, r.Bottom - 1), clSilver);
    EXPECT_TRUE(AnyPixel(this, session, Top(), r, clRed));
    EXPECT_FALSE(AnyPixel(this, session, Top(), r, clYellow));

    // Disabled: the raised look in the two button shades, no font colour.
    l->SetEnabled(false);
    session.Pump();
    EXPECT_FALSE(AnyPixel(this, session, Top(), r, clRed));
    EXPECT_TRUE(AnyPixel(this, session, Top(), r, ColorToRGB(clBtnShadow)));
}

