#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "lumivane/framework/Component.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/framework/Font.h"
#include "lumivane/framework/Pen.h"
#include "lumivane/framework/Brush.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/framework/Icon.h"
#include "lumivane/framework/Published.h"
#include "GraphicsTestKit.h"

using namespace lumivane;

// Fonts, pens and brushes, and the graphics objects as a layout stores them.
namespace {

// A component that publishes a font, a pen, a brush and two pictures, as controls do.
class TGfxHolder : public TComponent {
    LUMI_CLASS(TGfxHolder, TComponent)
public:
    explicit TGfxHolder(TComponent* owner)
        : TComponent(owner),
          FFont(std::make_unique<TFont>()),
          FPen(std::make_unique<TPen>()),
          FBrush(std::make_unique<TBrush>()),
          FPicture(std::make_unique<TPicture>(this)),
          FIcon(std::make_unique<TPicture>(this)) {}
    TFont* Font() const { return FFont.get(); }
    TPen* Pen() const { return FPen.get(); }
    TBrush* Brush() const { return FBrush.get(); }
    TPicture* Picture() const { return FPicture.get(); }
    TPicture* Icon() const { return FIcon.get(); }

private:
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPicture> FPicture;
    std::unique_ptr<TPicture> FIcon;
};

}  // namespace

LUMI_DEFINE_CLASS(TGfxHolder) {
    p.Object("Font", &TGfxHolder::Font)
        .Object("Pen", &TGfxHolder::Pen)
        .Object("Brush", &TGfxHolder::Brush)
        .Object("Picture", &TGfxHolder::Picture)
        .Object("Icon", &TGfxHolder::Icon);
}

namespace {

std::string Layout(const std::string& body) { return "object H: TGfxHolder\n" + body + "end\n"; }

}  // namespace

TEST(GraphicsFont, SizeHandleAndAssign) {
    TFont f;
    EXPECT_EQ(f.Size(), 8);  // Tahoma -11
    f.SetSize(10);           // points at 96 pixels per inch, rounded half away from zero
    EXPECT_EQ(f.Height(), -13);
    f.SetHeight(-14);
    EXPECT_EQ(f.Size(), 11);
    HFONT plain = f.Handle();
    f.SetStyle({fsBold, fsUnderline});
    EXPECT_NE(f.Handle(), plain);
    EXPECT_TRUE(GetFontSpec(f.Handle()).bold && GetFontSpec(f.Handle()).underline);
    EXPECT_EQ(GetFontSpec(f.Handle()).height, -14);

    int changes = 0;
    f.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &f);
        ++changes;
    };
    f.SetColor(clRed);
    f.SetColor(clRed);  // the same value is no news
    EXPECT_EQ(changes, 1);
    TFont g;
    g.SetName("宋体");
    g.SetColor(clBlue);
    g.SetStyle({fsItalic});
    g.SetCharset(SYMBOL_CHARSET);
    f.Assign(&g);  // one notification for the whole copy
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Style(), TFontStyles{fsItalic});
    EXPECT_EQ(f.Charset(), SYMBOL_CHARSET);
    EXPECT_EQ(GetFontSpec(f.Handle()).name, "宋体");
    f.Assign(&g);
    EXPECT_EQ(changes, 2);
    TPen pen;
    EXPECT_THROW(f.Assign(&pen), Exception);
}

TEST(GraphicsFont, PenAndBrushMapToTheContext) {
    TPen a, b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    a.SetMode(pmXor);
    a.SetStyle(psDot);
    a.SetWidth(3);
    b.Assign(&a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.State().mode, R2_XORPEN);
    EXPECT_EQ(b.State().style, PS_DOT);
    EXPECT_EQ(b.State().width, 3);
    b.SetMode(pmNotXor);
    EXPECT_EQ(b.State().mode, R2_NOTXORPEN);
    b.SetStyle(psClear);
    EXPECT_EQ(b.State().style, PS_NULL);
    TBrush x;
    x.SetStyle(bsClear);
    EXPECT_EQ(x.State().style, BS_NULL);
    x.SetColor(clWhite);  // the same colour still makes the brush solid
    EXPECT_EQ(x.Style(), bsSolid);
}

TEST(GraphicsFont, LayoutWritesChangedFontValuesInOrderAndReadsThemBack) {
    TGfxHolder h(nullptr);
    h.SetName("H");
    EXPECT_EQ(WriteForm(&h), Layout(""));  // defaults are not stored

    ReadForm(&h, Layout("  Font.Charset = ANSI_CHARSET\n"
                        "  Font.Color = clBlue\n"
                        "  Font.Height = -14\n"
                        "  Font.Name = '宋体'\n"
                        "  Font.Style = [fsUnderline]\n"
                        "  Pen.Mode = pmXor\n"
                        "  Brush.Style = bsClear\n"));
    EXPECT_EQ(h.Font()->Charset(), ANSI_CHARSET);
    EXPECT_EQ(h.Font()->Color(), clBlue);
    EXPECT_EQ(h.Font()->Height(), -14);
    EXPECT_EQ(h.Font()->Name(), "宋体");
    EXPECT_EQ(h.Font()->Style(), TFontStyles{fsUnderline});
    EXPECT_EQ(h.Pen()->Mode(), pmXor);
    EXPECT_EQ(h.Brush()->Style(), bsClear);

    const std::string text = WriteForm(&h);
    const size_t charset = text.find("Font.Charset = ANSI_CHARSET"), color = text.find("Font.Color = clBlue"),
                 height = text.find("Font.Height = -14"), name = text.find("Font.Name = "),
                 style = text.find("Font.Style = [fsUnderline]");
    ASSERT_NE(charset, std::string::npos) << text;
    ASSERT_NE(style, std::string::npos) << text;
    EXPECT_TRUE(charset < color && color < height && height < name && name < style) << text;
    EXPECT_EQ(text.find("Font.Size"), std::string::npos) << text;

    TGfxHolder back(nullptr);
    ReadForm(&back, text);
    EXPECT_EQ(WriteForm(&back), text);
    EXPECT_EQ(back.Font()->Name(), "宋体");

    // Every charset number survives, named or not; unknown names are refused.
    h.Font()->SetCharset(5);
    TGfxHolder odd(nullptr);
    ReadForm(&odd, WriteForm(&h));
    EXPECT_EQ(odd.Font()->Charset(), 5);
    EXPECT_THROW(ReadForm(&odd, Layout("  Font.Charset = KLINGON_CHARSET\n")), Exception);
    EXPECT_EQ(CharsetToIdent(GB2312_CHARSET), "GB2312_CHARSET");
    EXPECT_EQ(IdentToCharset("oem_charset"), OEM_CHARSET);
}

TEST(GraphicsFont, PictureDataRoundTripsThroughTheLayout) {
    const std::vector<uint8_t> bmp = AppPicture("cross.bmp"), ico = AppPicture("heart.ico");
    TGfxHolder h(nullptr);
    h.SetName("H");
    h.Picture()->Bitmap()->LoadFromStream(bmp);
    h.Icon()->Icon()->LoadFromStream(ico);
    const std::string text = WriteForm(&h);
    EXPECT_NE(text.find("Picture.Data = {"), std::string::npos) << text.substr(0, 200);
    EXPECT_NE(text.find("07544269746D6170DE010000424D"), std::string::npos);  // "TBitmap", 478 bytes, "BM"
    EXPECT_NE(text.find("055449636F6E00000100"), std::string::npos);          // "TIcon", the icon header

    TGfxHolder back(nullptr);
    ReadForm(&back, text);
    ASSERT_NE(back.Picture()->Graphic(), nullptr);
    EXPECT_EQ(back.Picture()->Bitmap()->PixelFormat(), pf4bit);
    EXPECT_EQ(back.Picture()->Bitmap()->TransparentColor(), clOlive);
    EXPECT_EQ(back.Picture()->Bitmap()->SaveToStream(), bmp);
    EXPECT_EQ(back.Icon()->Icon()->SaveToStream(), ico);
    EXPECT_EQ(WriteForm(&back), text);
}

TEST(GraphicsFont, BadPictureDataInALayoutNamesTheLine) {
    TGfxHolder h(nullptr);
    try {
        ReadForm(&h, Layout("  Font.Height = -14\n  Picture.Data = {\n    05544A706567010203}\n"));
        FAIL() << "bad picture data was accepted";
    } catch (const Exception& e) {
        const std::string m = e.what();
        EXPECT_NE(m.find("line 3"), std::string::npos) << m;
        EXPECT_NE(m.find("unknown graphic class 'TJpeg'"), std::string::npos) << m;
    }
    EXPECT_EQ(h.Picture()->Graphic(), nullptr);
    EXPECT_THROW(ReadForm(&h, Layout("  Picture.Data = {07544269746D6170FFFFFF7F424D}\n")), Exception);
}
