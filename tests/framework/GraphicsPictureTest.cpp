#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lumivane/base/Exception.h"
#include "GraphicsTestKit.h"
#include "lumivane/gfx/image/Bmp.h"
#include "lumivane/gfx/image/Ico.h"
#include "lumivane/framework/Icon.h"
#include "lumivane/framework/Picture.h"

using namespace lumivane;

// Bitmaps, icons and pictures: drawing rules, formats kept across save and load, copying.
namespace {

using Colors = std::vector<TColor>;

// A 3 x 2 strip of 4 bits a pixel (surface pixels are 0x00RRGGBB), olive at the bottom left:
//   red   olive  white
//   olive maroon olive
std::vector<uint8_t> Strip4() {
    Dib d(3, 2, 4);
    const Pixel px[2][3] = {{0xFF0000, 0x808000, 0xFFFFFF}, {0x808000, 0x800000, 0x808000}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) d.SetColor(x, y, px[y][x]);
    d.SetResolution(3780, 3780);
    return WriteBmp(d);
}

std::unique_ptr<TBitmap> LoadedStrip() {
    auto b = std::make_unique<TBitmap>();
    b->LoadFromStream(Strip4());
    return b;
}

}  // namespace

TEST(GraphicsBitmap, TransparentBitmapSkipsItsTransparentColour) {
    auto strip = LoadedStrip();
    EXPECT_EQ(strip->PixelFormat(), pf4bit);
    EXPECT_EQ(strip->TransparentColor(), clOlive);  // the bottom-left pixel

    auto canvas = Filled(4, 2, clGray);
    canvas->Canvas()->Draw(0, 0, strip.get());
    EXPECT_EQ(Row(*canvas, 0), (Colors{clRed, clOlive, clWhite, clGray}));

    strip->SetTransparent(true);
    canvas = Filled(4, 2, clGray);
    canvas->Canvas()->Draw(-1, 0, strip.get());  // a frame picked out of a strip
    EXPECT_EQ(Row(*canvas, 0), (Colors{clGray, clWhite, clGray, clGray}));
    EXPECT_EQ(Row(*canvas, 1), (Colors{clMaroon, clGray, clGray, clGray}));

    strip->SetTransparentColor(clRed);
    EXPECT_EQ(strip->TransparentMode(), tmFixed);
    canvas = Filled(4, 2, clGray);
    canvas->Canvas()->Draw(0, 0, strip.get());
    EXPECT_EQ(Row(*canvas, 0), (Colors{clGray, clOlive, clWhite, clGray}));
}

TEST(GraphicsBitmap, MonochromeDrawAndTheThreeDrawStamp) {
    // The mask is made as a disabled glyph's is: a monochrome bitmap filled white, the strip drawn
    // on it with transparency; ink that is not white turns black.
    auto strip = LoadedStrip();
    strip->SetTransparent(true);
    TBitmap mask;
    mask.SetSize(3, 2);
    mask.SetMonochrome(true);
    EXPECT_EQ(mask.PixelFormat(), pf1bit);
    mask.Canvas()->Brush()->SetColor(clWhite);
    mask.Canvas()->FillRect({0, 0, 3, 2});
    mask.Canvas()->Draw(0, 0, strip.get());
    EXPECT_EQ(Row(mask, 0), (Colors{clBlack, clWhite, clWhite}));
    EXPECT_EQ(Row(mask, 1), (Colors{clWhite, clBlack, clWhite}));

    // Drawn on colour: black takes the font colour, white the brush colour.
    auto dst = Filled(4, 3, clGray);
    TCanvas* c = dst->Canvas();
    c->Font()->SetColor(clRed);
    c->Brush()->SetColor(clBlue);
    c->Draw(1, 2, &mask);
    EXPECT_EQ(Row(*dst, 2), (Colors{clGray, clRed, clBlue, clBlue}));

    // The stamp paints its colour under black mask pixels and nothing anywhere else.
    const TColor under[3] = {clLime, clYellow, clNavy};
    for (int x = 0; x < 3; ++x) c->SetPixels(x, 1, under[x]);
    auto draw = [&](TColor font, TColor brush, uint32_t rop) {
        c->Font()->SetColor(font);
        c->Brush()->SetColor(brush);
        c->SetCopyMode(rop);
        c->Draw(1, 0, &mask);
    };
    draw(clBtnHighlight, clBlack, SRCINVERT);
    draw(clBlack, clWhite, SRCAND);
    draw(clBtnHighlight, clBlack, SRCINVERT);
    const TColor hi = ColorToRGB(clBtnHighlight);
    EXPECT_EQ(Row(*dst, 0), (Colors{clGray, hi, clGray, clGray}));
    EXPECT_EQ(Row(*dst, 1), (Colors{clLime, clYellow, hi, clGray}));
}

TEST(GraphicsBitmap, ResizeAndFormatChanges) {
    auto b = Filled(2, 2, clRed);
    b->SetSize(3, 1);
    EXPECT_EQ(Row(*b, 0), (Colors{clRed, clRed, clWhite}));  // top-left kept, new area white
    EXPECT_THROW(b->SetSize(-1, 4), Exception);
    EXPECT_EQ(b->Width(), 3);

    b->SetMonochrome(true);
    EXPECT_EQ(Row(*b, 0), (Colors{clBlack, clBlack, clWhite}));
    b->SetPixelFormat(pfDevice);
    EXPECT_FALSE(b->Monochrome());
    b->Canvas()->SetPixels(0, 0, clTeal);
    b->Canvas()->SetPixels(1, 0, 0x0000F0);
    b->SetPixelFormat(pf4bit);  // sixteen standard colours: others move to the nearest
    EXPECT_EQ(Row(*b, 0), (Colors{clTeal, clRed, clWhite}));
}

TEST(GraphicsBitmap, SavingKeepsTheLoadedFormatAndBytes) {
    const std::vector<uint8_t> file = Strip4();
    auto b = LoadedStrip();
    EXPECT_EQ(b->SaveToStream(), file);
    b->Canvas()->SetPixels(2, 0, clBlue);
    Dib saved = ReadBmp(b->SaveToStream());
    EXPECT_EQ(saved.BitsPerPixel(), 4);
    EXPECT_EQ(saved.XPelsPerMeter(), 3780);
    EXPECT_EQ(saved.GetColor(2, 0), 0x0000FFu);

    // The program's own pictures: a 24-bit texture and a 4-bit strip come back byte for byte.
    for (const char* name : {"stucco.bmp", "cross.bmp"}) {
        const std::vector<uint8_t> bytes = AppPicture(name);
        TBitmap p;
        p.LoadFromStream(bytes);
        EXPECT_EQ(p.SaveToStream(), bytes) << name;
    }

    // Bad data changes nothing.
    std::vector<uint8_t> bad = file;
    bad.resize(20);
    EXPECT_THROW(b->LoadFromStream(bad), Exception);
    EXPECT_EQ(b->Width(), 3);
}

TEST(GraphicsBitmap, AssignCopiesIndependentlyAndNullEmpties) {
    auto a = LoadedStrip();
    a->SetTransparent(true);
    TBitmap b;
    b.Assign(a.get());
    EXPECT_EQ(b.PixelFormat(), pf4bit);
    EXPECT_TRUE(b.Transparent());
    b.Canvas()->SetPixels(0, 0, clBlue);
    EXPECT_EQ(a->Canvas()->Pixels(0, 0), clRed);
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
    TFont f;
    EXPECT_THROW(b.Assign(&f), Exception);
}

TEST(GraphicsIcon, DrawnWithItsMask) {
    // The left column is transparent but keeps colour in the file: it must not tint the canvas.
    Surface colour(4, 2, 0), maskBits(4, 2, 0);
    for (int y = 0; y < 2; ++y) {
        colour.Set(0, y, 0x123456);
        maskBits.Set(0, y, 0xFFFFFF);
        colour.Set(1, y, 0xFF0000);
        colour.Set(2, y, 0x00FF00);
        colour.Set(3, y, 0x0000FF);
    }
    maskBits.SetMonochrome(true);
    const std::vector<uint8_t> file = WriteIco({IconImage::FromSurfaces(colour, &maskBits, 8)});
    TIcon icon;
    icon.LoadFromStream(file);
    EXPECT_EQ(icon.SaveToStream(), file);

    auto dst = Filled(5, 1, clGray);
    dst->Canvas()->Draw(1, 0, &icon);
    EXPECT_EQ(Row(*dst, 0), (Colors{clGray, clGray, clRed, clLime, clBlue}));
    auto big = Filled(8, 4, clGray);
    big->Canvas()->StretchDraw({0, 0, 8, 4}, &icon);
    EXPECT_EQ(Row(*big, 3), (Colors{clGray, clGray, clRed, clRed, clLime, clLime, clBlue, clBlue}));
    const std::vector<uint32_t> argb = icon.ToArgb();
    EXPECT_EQ(argb[0] >> 24, 0u);
    EXPECT_EQ(argb[7], 0xFF0000FFu);

    // The heart: 32 x 32, transparent in its corners, dark red inside.
    TIcon heart;
    heart.LoadFromStream(AppPicture("heart.ico"));
    EXPECT_EQ(heart.Width(), 32);
    auto bg = Filled(32, 32, clGray);
    bg->Canvas()->Draw(0, 0, &heart);
    EXPECT_EQ(bg->Canvas()->Pixels(0, 0), clGray);
    EXPECT_EQ(bg->Canvas()->Pixels(31, 31), clGray);
    int red = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) red += bg->Canvas()->Pixels(x, y) == RGB(149, 0, 0);
    EXPECT_GT(red, 300);
}

TEST(GraphicsPicture, AssignCopiesAndAnEmptySourceEmpties) {
    TPicture a, b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(a.Width(), 0);
    a.Bitmap()->LoadFromStream(Strip4());
    b.Assign(&a);
    ASSERT_NE(b.Graphic(), nullptr);
    EXPECT_NE(b.Graphic(), a.Graphic());
    EXPECT_EQ(b.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(changes, 1);
    // Drawing on the copy leaves the source alone and tells the copy's owner.
    b.Bitmap()->Canvas()->SetPixels(0, 0, clBlue);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(a.Bitmap()->Canvas()->Pixels(0, 0), clRed);

    TPicture empty;
    b.Assign(&empty);
    EXPECT_EQ(b.Graphic(), nullptr);
    TIcon icon;
    icon.LoadFromStream(AppPicture("heart.ico"));
    b.Assign(&icon);
    EXPECT_EQ(b.Graphic()->ClassName(), "TIcon");
    EXPECT_TRUE(b.Bitmap()->Empty());  // asking for a bitmap replaces the icon
    b.Assign(nullptr);
    EXPECT_EQ(b.Graphic(), nullptr);
    TBitmap target;
    target.Assign(&a);  // a picture copies itself into a graphic
    EXPECT_EQ(target.Width(), 3);
}

TEST(GraphicsPicture, FilesByExtensionAndMalformedData) {
    const std::string bmp = ::testing::TempDir() + "graphics_picture_strip.BMP";
    LoadedStrip()->SaveToFile(bmp);
    TPicture p;
    p.LoadFromFile(bmp);
    EXPECT_EQ(p.Graphic()->ClassName(), "TBitmap");
    std::remove(bmp.c_str());
    try {
        p.LoadFromFile("picture.gif");
        FAIL() << "a .gif was accepted";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("unknown file extension '.gif'"), std::string::npos) << e.what();
    }
    EXPECT_EQ(p.Width(), 3);  // unchanged after the failure

    auto message = [](const TBytes& data) -> std::string {
        TPicture q;
        try {
            q.SetData(data);
        } catch (const Exception& e) {
            return e.what();
        }
        return "no exception";
    };
    auto named = [](const std::string& cls, const TBytes& rest) {
        TBytes d;
        d.push_back(static_cast<uint8_t>(cls.size()));
        for (char ch : cls) d.push_back(static_cast<uint8_t>(ch));
        for (uint8_t x : rest) d.push_back(x);
        return d;
    };
    EXPECT_NE(message(named("TJpeg", {1, 2})).find("unknown graphic class 'TJpeg'"), std::string::npos);
    EXPECT_NE(message({9, 'T', 'B'}).find("class name"), std::string::npos);
    EXPECT_NE(message(named("TBitmap", {9, 0, 0, 0, 'B', 'M'})).find("length"), std::string::npos);
    std::vector<uint8_t> broken = Strip4();
    broken[10] = 0xFF;  // pixels said to start past the end
    TBytes counted{static_cast<uint8_t>(broken.size()), 0, 0, 0};
    counted.insert(counted.end(), broken.begin(), broken.end());
    const std::string m = message(named("TBitmap", counted));
    EXPECT_TRUE(m.find("Picture data") != std::string::npos && m.find("BMP") != std::string::npos) << m;
    EXPECT_NE(message(named("TIcon", {0, 0, 1, 0})).find("ICO"), std::string::npos);
}
