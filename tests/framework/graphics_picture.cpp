#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "platform/image/Bmp.h"
#include "platform/image/Ico.h"

// Bitmaps, icons and pictures: drawing rules, formats kept across save and load, copying.
namespace {

// Surface pixels are 0x00RRGGBB.
constexpr Pixel kOlivePx = 0x808000, kRedPx = 0xFF0000, kMaroonPx = 0x800000, kWhitePx = 0xFFFFFF;

std::unique_ptr<TBitmap> Filled(int w, int h, TColor c) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect({0, 0, w, h});
    return b;
}

std::vector<TColor> Row(TBitmap& b, int y) {
    std::vector<TColor> out;
    for (int x = 0; x < b.Width(); ++x) out.push_back(b.Canvas()->Pixels(x, y));
    return out;
}

// A 3 x 2 strip of 4 bits a pixel, olive at the bottom left:
//   red   olive white
//   olive maroon olive
std::vector<uint8_t> Strip4() {
    Dib d(3, 2, 4);
    const Pixel px[2][3] = {{kRedPx, kOlivePx, kWhitePx}, {kOlivePx, kMaroonPx, kOlivePx}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) d.SetColor(x, y, px[y][x]);
    d.SetResolution(3780, 3780);
    return WriteBmp(d);
}

// A 4 x 2 icon, 8 bits a pixel: the left column transparent, the rest red, green, blue.
std::vector<uint8_t> SmallIcon() {
    Surface colour(4, 2, 0), mask(4, 2, 0);
    for (int y = 0; y < 2; ++y) {
        colour.Set(0, y, 0x123456);
        mask.Set(0, y, 0xFFFFFF);
        colour.Set(1, y, 0xFF0000);
        colour.Set(2, y, 0x00FF00);
        colour.Set(3, y, 0x0000FF);
    }
    mask.SetMonochrome(true);
    return WriteIco({IconImage::FromSurfaces(colour, &mask, 8)});
}

}  // namespace

TEST(GraphicsBitmap, TransparentBitmapSkipsItsBottomLeftColour) {
    TBitmap strip;
    strip.LoadFromStream(Strip4());
    EXPECT_EQ(strip.PixelFormat(), pf4bit);
    EXPECT_EQ(strip.TransparentColor(), clOlive);

    auto canvas = Filled(4, 2, clGray);
    canvas->Canvas()->Draw(0, 0, &strip);  // opaque: every pixel lands
    EXPECT_EQ(Row(*canvas, 0), (std::vector<TColor>{clRed, clOlive, clWhite, clGray}));

    canvas = Filled(4, 2, clGray);
    strip.SetTransparent(true);
    canvas->Canvas()->Draw(0, 0, &strip);
    EXPECT_EQ(Row(*canvas, 0), (std::vector<TColor>{clRed, clGray, clWhite, clGray}));
    EXPECT_EQ(Row(*canvas, 1), (std::vector<TColor>{clGray, clMaroon, clGray, clGray}));

    // Drawn at a negative offset, as a frame is picked out of a strip.
    canvas = Filled(4, 2, clGray);
    canvas->Canvas()->Draw(-1, 0, &strip);
    EXPECT_EQ(Row(*canvas, 0), (std::vector<TColor>{clGray, clWhite, clGray, clGray}));

    // A fixed transparent colour replaces the bottom-left rule.
    strip.SetTransparentColor(clRed);
    EXPECT_EQ(strip.TransparentMode(), tmFixed);
    canvas = Filled(4, 2, clGray);
    canvas->Canvas()->Draw(0, 0, &strip);
    EXPECT_EQ(Row(*canvas, 0), (std::vector<TColor>{clGray, clOlive, clWhite, clGray}));
}

TEST(GraphicsBitmap, MonochromeTakesFontColourForBlackAndBrushColourForWhite) {
    TBitmap mono;
    mono.SetSize(2, 1);
    mono.SetMonochrome(true);
    EXPECT_EQ(mono.PixelFormat(), pf1bit);
    mono.Canvas()->SetPixels(0, 0, clNavy);  // anything but white is black on a monochrome bitmap
    EXPECT_EQ(mono.Canvas()->Pixels(0, 0), clBlack);
    EXPECT_EQ(mono.Canvas()->Pixels(1, 0), clWhite);

    auto dst = Filled(3, 1, clGray);
    dst->Canvas()->Font()->SetColor(clRed);
    dst->Canvas()->Brush()->SetColor(clBlue);
    dst->Canvas()->Draw(0, 0, &mono);
    EXPECT_EQ(Row(*dst, 0), (std::vector<TColor>{clRed, clBlue, clGray}));
}

TEST(GraphicsBitmap, ThreeDrawStampPaintsExactlyUnderTheMask) {
    // The mask is made as a disabled glyph is: a monochrome bitmap filled white, the strip drawn
    // on it with transparency; non-white ink turns black.
    TBitmap strip;
    strip.LoadFromStream(Strip4());
    strip.SetTransparent(true);
    TBitmap tmp;
    tmp.SetSize(3, 2);
    tmp.SetMonochrome(true);
    tmp.Canvas()->Brush()->SetColor(clWhite);
    tmp.Canvas()->FillRect({0, 0, 3, 2});
    tmp.Canvas()->Draw(0, 0, &strip);
    EXPECT_EQ(Row(tmp, 0), (std::vector<TColor>{clBlack, clWhite, clWhite}));
    EXPECT_EQ(Row(tmp, 1), (std::vector<TColor>{clWhite, clBlack, clWhite}));

    auto dst = Filled(4, 3, clGray);
    const TColor under[3] = {clLime, clYellow, clNavy};
    for (int x = 0; x < 3; ++x) dst->Canvas()->SetPixels(x, 1, under[x]);
    TCanvas* c = dst->Canvas();
    const TColor stamp = clBtnHighlight;
    auto drawMask = [&](TColor font, TColor brush, uint32_t rop) {
        c->Font()->SetColor(font);
        c->Brush()->SetColor(brush);
        c->SetCopyMode(rop);
        c->Draw(1, 0, &tmp);
    };
    drawMask(stamp, clBlack, SRCINVERT);
    drawMask(clBlack, clWhite, SRCAND);
    drawMask(stamp, clBlack, SRCINVERT);
    c->SetCopyMode(SRCCOPY);

    const TColor white = ColorToRGB(clBtnHighlight);
    EXPECT_EQ(Row(*dst, 0), (std::vector<TColor>{clGray, white, clGray, clGray}));
    EXPECT_EQ(Row(*dst, 1), (std::vector<TColor>{clLime, clYellow, white, clGray}));
    EXPECT_EQ(Row(*dst, 2), (std::vector<TColor>(4, clGray)));
}

TEST(GraphicsBitmap, ResizeKeepsTopLeftAndFormatSwitchesMapPixels) {
    auto b = Filled(2, 2, clRed);
    b->SetWidth(3);
    b->SetHeight(1);
    EXPECT_EQ(Row(*b, 0), (std::vector<TColor>{clRed, clRed, clWhite}));
    EXPECT_EQ(b->Height(), 1);
    EXPECT_THROW(b->SetSize(-1, 4), Exception);
    EXPECT_EQ(b->Width(), 3);

    b->SetMonochrome(true);
    EXPECT_EQ(Row(*b, 0), (std::vector<TColor>{clBlack, clBlack, clWhite}));
    b->SetPixelFormat(pfDevice);
    EXPECT_FALSE(b->Monochrome());
    b->Canvas()->SetPixels(0, 0, clTeal);
    EXPECT_EQ(b->Canvas()->Pixels(0, 0), clTeal);

    // Four bits hold only the sixteen standard colours: others move to the nearest.
    b->Canvas()->SetPixels(1, 0, 0x0000F0);
    b->SetPixelFormat(pf4bit);
    EXPECT_EQ(b->Palette().size(), 16u);
    EXPECT_EQ(b->Canvas()->Pixels(0, 0), clTeal);
    EXPECT_EQ(b->Canvas()->Pixels(1, 0), clRed);
}

TEST(GraphicsBitmap, SavingKeepsTheLoadedFormatAndBytes) {
    const std::vector<uint8_t> file = Strip4();
    TBitmap b;
    b.LoadFromStream(file);
    EXPECT_EQ(b.SaveToStream(), file);

    // Drawn on, it stays a 4-bit file with the same palette and resolution.
    b.Canvas()->SetPixels(2, 0, clBlue);
    Dib saved = ReadBmp(b.SaveToStream());
    EXPECT_EQ(saved.BitsPerPixel(), 4);
    EXPECT_EQ(saved.XPelsPerMeter(), 3780);
    EXPECT_EQ(saved.GetColor(2, 0), 0x0000FFu);
    EXPECT_EQ(saved.GetColor(0, 1), kOlivePx);

    // A 24-bit file comes back byte for byte too.
    Dib d24(3, 1, 24);
    d24.SetColor(0, 0, 0xABCDEF);
    d24.SetResolution(3780, 3780);
    const std::vector<uint8_t> f24 = WriteBmp(d24);
    TBitmap b24;
    b24.LoadFromStream(f24);
    EXPECT_EQ(b24.PixelFormat(), pf24bit);
    EXPECT_EQ(b24.SaveToStream(), f24);

    // Bad data changes nothing.
    std::vector<uint8_t> bad = file;
    bad.resize(20);
    EXPECT_THROW(b24.LoadFromStream(bad), Exception);
    EXPECT_EQ(b24.SaveToStream(), f24);
    EXPECT_TRUE(TBitmap().SaveToStream().empty());
}

TEST(GraphicsBitmap, AssignCopiesIndependentlyAndNullEmpties) {
    TBitmap a;
    a.LoadFromStream(Strip4());
    a.SetTransparent(true);
    TBitmap b;
    b.Assign(&a);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.PixelFormat(), pf4bit);
    EXPECT_TRUE(b.Transparent());
    b.Canvas()->SetPixels(0, 0, clBlue);
    EXPECT_EQ(a.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlue);

    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    TFont f;
    EXPECT_THROW(b.Assign(&f), Exception);
}

TEST(GraphicsIcon, DrawnWithItsMaskAtAnySize) {
    TIcon icon;
    const std::vector<uint8_t> file = SmallIcon();
    icon.LoadFromStream(file);
    EXPECT_EQ(icon.Width(), 4);
    EXPECT_EQ(icon.Height(), 2);
    EXPECT_TRUE(icon.Transparent());
    EXPECT_EQ(icon.SaveToStream(), file);

    auto dst = Filled(5, 2, clGray);
    dst->Canvas()->Draw(1, 0, &icon);
    // The colour under the transparent mask (not black in this file) must not show through.
    EXPECT_EQ(Row(*dst, 0), (std::vector<TColor>{clGray, clGray, clRed, clLime, clBlue}));

    auto big = Filled(8, 4, clGray);
    big->Canvas()->StretchDraw({0, 0, 8, 4}, &icon);
    EXPECT_EQ(Row(*big, 3), (std::vector<TColor>{clGray, clGray, clRed, clRed, clLime, clLime, clBlue, clBlue}));

    std::vector<uint32_t> argb = icon.ToArgb();
    ASSERT_EQ(argb.size(), 8u);
    EXPECT_EQ(argb[0] >> 24, 0u);
    EXPECT_EQ(argb[1], 0xFFFF0000u);
    EXPECT_EQ(argb[7], 0xFF0000FFu);

    TIcon copy;
    copy.Assign(&icon);
    EXPECT_EQ(copy.SaveToStream(), file);
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_FALSE(icon.Empty());
    EXPECT_THROW(copy.LoadFromStream(std::vector<uint8_t>{0, 0, 1, 0, 0, 0}), Exception);
}

TEST(GraphicsPicture, AssignCopiesAndAnEmptySourceEmpties) {
    TPicture a, b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(a.Graphic(), nullptr);
    EXPECT_EQ(a.Width(), 0);

    a.Bitmap()->LoadFromStream(Strip4());
    b.Assign(&a);
    ASSERT_NE(b.Graphic(), nullptr);
    EXPECT_NE(b.Graphic(), a.Graphic());
    EXPECT_EQ(b.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(changes, 1);

    // Drawing on the copy leaves the source alone and tells the copy's owner.
    b.Bitmap()->Canvas()->SetPixels(0, 0, clBlue);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(a.Bitmap()->Canvas()->Pixels(0, 0), clRed);

    TPicture empty;
    b.Assign(&empty);
    EXPECT_EQ(b.Graphic(), nullptr);
    EXPECT_EQ(changes, 3);

    // A graphic, a bitmap asked of an icon picture, and null.
    TIcon icon;
    icon.LoadFromStream(SmallIcon());
    b.Assign(&icon);
    EXPECT_EQ(b.Graphic()->ClassName(), "TIcon");
    EXPECT_EQ(b.Width(), 4);
    EXPECT_TRUE(b.Bitmap()->Empty());
    b.Assign(nullptr);
    EXPECT_EQ(b.Graphic(), nullptr);

    // A picture copies itself into a graphic.
    TBitmap target;
    target.Assign(&a);
    EXPECT_EQ(target.Width(), 3);
}

TEST(GraphicsPicture, LoadsFilesByExtension) {
    const std::string dir = ::testing::TempDir();
    const std::string bmp = dir + "graphics_picture_strip.BMP";
    const std::string ico = dir + "graphics_picture_icon.ico";
    TBitmap strip;
    strip.LoadFromStream(Strip4());
    strip.SaveToFile(bmp);
    TIcon icon;
    icon.LoadFromStream(SmallIcon());
    icon.SaveToFile(ico);

    TPicture p;
    p.LoadFromFile(bmp);
    EXPECT_EQ(p.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(p.Width(), 3);
    p.LoadFromFile(ico);
    EXPECT_EQ(p.Graphic()->ClassName(), "TIcon");

    try {
        p.LoadFromFile(dir + "picture.png");
        FAIL() << "a .png was accepted";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("unknown file extension '.png'"), std::string::npos) << e.what();
    }
    EXPECT_EQ(p.Graphic()->ClassName(), "TIcon");  // unchanged after the failure
    EXPECT_THROW(p.LoadFromFile(dir + "no_such_picture.bmp"), Exception);
    std::remove(bmp.c_str());
    std::remove(ico.c_str());
}

TEST(GraphicsPicture, DataNamesTheClassAndCountsABitmapsLength) {
    TPicture p;
    EXPECT_TRUE(p.Data().empty());
    const std::vector<uint8_t> file = Strip4();
    p.Bitmap()->LoadFromStream(file);
    TBytes data = p.Data();
    ASSERT_EQ(data.size(), 1 + 7 + 4 + file.size());
    EXPECT_EQ(std::string(data.begin() + 1, data.begin() + 8), "TBitmap");
    EXPECT_EQ(data[0], 7);
    EXPECT_EQ(data[8] | data[9] << 8 | data[10] << 16 | data[11] << 24, static_cast<int>(file.size()));

    TPicture icon;
    icon.Icon()->LoadFromStream(SmallIcon());
    TBytes idata = icon.Data();
    EXPECT_EQ(std::string(idata.begin() + 1, idata.begin() + 6), "TIcon");
    EXPECT_EQ(TBytes(idata.begin() + 6, idata.end()), SmallIcon());

    TPicture back;
    back.SetData(idata);
    EXPECT_EQ(back.Graphic()->ClassName(), "TIcon");
    back.SetData(data);
    EXPECT_EQ(back.Bitmap()->SaveToStream(), file);
    back.SetData({});
    EXPECT_EQ(back.Graphic(), nullptr);
}

TEST(GraphicsPicture, MalformedDataRaisesAClearMessage) {
    auto message = [](const TBytes& data) -> std::string {
        TPicture p;
        try {
            p.SetData(data);
        } catch (const Exception& e) {
            EXPECT_EQ(p.Graphic(), nullptr);
            return e.what();
        }
        return "no exception";
    };
    auto withName = [](const std::string& cls, const TBytes& rest) {
        TBytes d;
        d.push_back(static_cast<uint8_t>(cls.size()));
        for (char ch : cls) d.push_back(static_cast<uint8_t>(ch));
        for (uint8_t b : rest) d.push_back(b);
        return d;
    };
    EXPECT_NE(message(withName("TJpeg", {1, 2, 3})).find("unknown graphic class 'TJpeg'"), std::string::npos);
    EXPECT_NE(message({9, 'T', 'B'}).find("class name"), std::string::npos);
    // A bitmap whose count disagrees with what follows.
    EXPECT_NE(message(withName("TBitmap", {9, 0, 0, 0, 'B', 'M'})).find("length"), std::string::npos);
    // A damaged file inside: the codec's reason, marked as picture data.
    std::vector<uint8_t> broken = Strip4();
    broken[10] = 0xFF;  // pixel offset past the end
    TBytes len{static_cast<uint8_t>(broken.size()), 0, 0, 0};
    len.insert(len.end(), broken.begin(), broken.end());
    const std::string m = message(withName("TBitmap", len));
    EXPECT_NE(m.find("Picture data"), std::string::npos) << m;
    EXPECT_NE(m.find("BMP"), std::string::npos) << m;
    EXPECT_NE(message(withName("TIcon", {0, 0, 1, 0})).find("ICO"), std::string::npos);
}
