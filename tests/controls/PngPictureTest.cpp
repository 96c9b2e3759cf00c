// PNG pictures: the reader against files of every kind and against damaged ones, the stored form
// in a layout (counted as a bitmap's, or straight after the class name), and a picture with alpha
// blended over a background image where a control draws its picture transparent.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "lumivane/base/Exception.h"
#include "lumivane/controls/ImButton.h"
#include "lumivane/controls/ImImage.h"
#include "lumivane/controls/KdBackImage.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/framework/Brush.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/PngImage.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/framework/layout/PictureData.h"
#include "lumivane/gfx/image/FileBytes.h"
#include "lumivane/gfx/image/Png.h"

#include "tests/SourceDir.h"
using namespace lumivane;

namespace {

// Red opaque, red at alpha 128, blue at alpha 0: 3 x 1.
std::vector<uint8_t> AlphaPng() { return ReadFileBytes(SourceDir() + "/tests/data/pictures/alpha.png", 1 << 16); }

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    for (uint8_t b : bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

// What the blend of red at alpha 128 over green gives.
constexpr TColor kHalfRedOnGreen = 0x007F80;

}  // namespace

TEST(PngPicture, EveryKindOfFileReadsWithItsAlpha) {
    struct Case {
        const char* file;
        int width, height;
        Pixel first;
        uint8_t firstAlpha, lastAlpha;
    } cases[] = {
        {"alpha.png", 3, 1, 0xFF0000, 255, 0},
        {"palette.png", 5, 3, 0xFF0000, 255, 255},
        {"paletteTrns.png", 6, 2, 0xFFFFFF, 0, 0},
        {"gray16.png", 4, 4, 0x7F7F7F, 255, 255},
        {"interlaced.png", 9, 9, 0, 255, 255},
    };
    for (const Case& c : cases) {
        const std::string dir = c.file == std::string("alpha.png") ? "/tests/data/pictures/" : "/fuzz/corpus/fuzz_png/";
        PngImage png = ReadPng(ReadFileBytes(SourceDir() + dir + c.file, 1 << 16));
        EXPECT_EQ(png.colour.Width(), c.width) << c.file;
        EXPECT_EQ(png.colour.Height(), c.height) << c.file;
        ASSERT_EQ(png.alpha.size(), static_cast<size_t>(c.width) * c.height) << c.file;
        if (c.first) {
            EXPECT_EQ(png.colour.Get(0, 0) & 0xFFFFFF, c.first) << c.file;
        }
        EXPECT_EQ(png.alpha.front(), c.firstAlpha) << c.file;
        EXPECT_EQ(png.alpha.back(), c.lastAlpha) << c.file;
    }
    PngImage png = ReadPng(AlphaPng());
    EXPECT_EQ(png.alpha, (std::vector<uint8_t>{255, 128, 0}));
}

TEST(PngPicture, DamagedFilesAreRefusedWithAClearError) {
    const std::vector<uint8_t> good = AlphaPng();
    auto cut = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(n)); };
    auto flipped = [&](size_t at) {
        std::vector<uint8_t> b = good;
        b[at] ^= 0x40;
        return b;
    };
    // IHDR's width (bytes 16..19) beyond what a surface may be, its CRC then wrong as well.
    std::vector<uint8_t> huge = good;
    huge[16] = 0x7F;
    struct Case {
        std::vector<uint8_t> bytes;
        const char* message;
    } cases[] = {
        {{}, "PNG: not a PNG file"},
        {cut(7), "PNG: not a PNG file"},
        {cut(8), "PNG: the file ends early"},
        {cut(30), "PNG: the file ends early"},
        {cut(good.size() - 20), "PNG:"},
        {flipped(29), "PNG:"},           // IHDR's CRC
        {flipped(good.size() - 30), "PNG:"},  // compressed data
        {huge, "PNG:"},
    };
    for (const Case& c : cases) {
        try {
            ReadPng(c.bytes);
            ADD_FAILURE() << "read " << c.bytes.size() << " bytes";
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
}

TEST(PngPicture, StoredCountedLikeABitmapAndReadEitherWay) {
    const std::vector<uint8_t> file = AlphaPng();
    TPicture picture;
    picture.SetData(ComposePictureData("TPngImage", file));
    auto* png = dynamic_cast<TPngImage*>(picture.Graphic());
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(png->Width(), 3);
    // Written back with the count, the file unchanged.
    EXPECT_EQ(picture.Data(), ComposePictureData("TPngImage", file));
    TBytes counted = picture.Data();
    EXPECT_EQ((std::vector<uint8_t>(counted.begin() + 10, counted.begin() + 14)),
              (std::vector<uint8_t>{static_cast<uint8_t>(file.size()), 0, 0, 0}));
    // Other programs store the file straight after the name.
    std::vector<uint8_t> straight = {9, 'T', 'P', 'n', 'g', 'I', 'm', 'a', 'g', 'e'};
    const size_t head = straight.size();
    straight.resize(head + file.size());
    std::copy(file.begin(), file.end(), straight.begin() + static_cast<std::ptrdiff_t>(head));
    TPicture other;
    other.SetData(straight);
    ASSERT_NE(dynamic_cast<TPngImage*>(other.Graphic()), nullptr);
    EXPECT_EQ(other.Graphic()->SaveToStream(), file);
    // Loaded in code by its extension, like a bitmap or an icon.
    TPicture loaded;
    loaded.LoadFromFile(SourceDir() + "/tests/data/pictures/alpha.png");
    EXPECT_EQ(loaded.Data(), picture.Data());
}

// A background image of green tiles with a control over it holding the PNG, transparent or not:
// where transparent the red blends by its alpha, and the blue of alpha 0 shows the green.
TEST(PngPicture, AlphaBlendsOverABackgroundImageWhereThePictureIsDrawnTransparent) {
    HeadlessSession session;
    Application->Initialize();
    KdBackImage::Register();
    ImImage::Register();
    ImButton::Register();
    const std::string data = Hex(ComposePictureData("TPngImage", AlphaPng()));
    const std::string green = Hex(ComposePictureData("TBitmap", [] {
        TBitmap b;
        b.SetSize(2, 2);
        b.Canvas()->Brush()->SetColor(0x00FF00);
        b.Canvas()->FillRect({0, 0, 2, 2});
        return b.SaveToStream();
    }()));
    struct Case {
        const char* control;  // the class and what it takes to draw the picture transparent
        bool transparent;
        TColor expected[3];
    } cases[] = {
        {"TKdBackImage\n    Transparent = True\n    Style = kdbmsNormal", true, {clRed, kHalfRedOnGreen, 0x00FF00}},
        {"TKdBackImage\n    Style = kdbmsNormal", false, {clRed, clRed, clBlue}},
        {"TImImage\n    Transparent = True", true, {clRed, kHalfRedOnGreen, 0x00FF00}},
        {"TImImage", false, {clRed, clRed, clBlue}},
    };
    for (const Case& c : cases) {
        const std::string layout = "object F: TForm\n  ClientWidth = 40\n  ClientHeight = 20\n"
                                   "  object Back: TKdBackImage\n    Width = 40\n    Height = 20\n"
                                   "    Picture.Data = {" + green + "}\n  end\n"
                                   "  object Front: " + std::string(c.control) + "\n    Left = 10\n    Top = 5\n"
                                   "    Width = 3\n    Height = 1\n    Picture.Data = {" + data + "}\n  end\nend\n";
        auto* form = new TForm(Application);
        form->LoadFormText(layout);
        form->Show();
        session.Pump();
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(session.Pixel(form->Handle(), 10 + x, 5), c.expected[x]) << c.control << " at " << x;
        EXPECT_EQ(session.Pixel(form->Handle(), 13, 5), 0x00FF00) << c.control;
        delete form;
    }
}

// A button's picture strip of PNG frames: the frame of the state, blended over the face.
TEST(PngPicture, AButtonStripOfPngFramesBlendsOverTheFace) {
    HeadlessSession session;
    auto* root = new TWinControl(nullptr);
    root->SetBounds(100, 100, 100, 40);
    auto* btn = new TImButton(root);
    btn->SetParent(root);
    btn->SetBounds(0, 0, 60, 25);
    btn->SetColor(0x00FF00);
    btn->Picture()->SetData(ComposePictureData("TPngImage", AlphaPng()));
    btn->SetPictureCount(3);  // three frames of one pixel: normal red, disabled half red, hot clear
    root->HandleNeeded();
    session.Pump();
    // The one-pixel frame and the spacing of 2 centred on the empty caption, at the middle row.
    const int x = 60 / 2 - (1 + 2) / 2, y = (25 - 1) / 2;
    EXPECT_EQ(session.Pixel(root->Handle(), x, y), clRed);
    btn->SetEnabled(false);
    session.Pump();
    EXPECT_EQ(session.Pixel(root->Handle(), x, y), kHalfRedOnGreen);
    delete root;
}
