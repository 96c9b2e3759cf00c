#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "lumivane/controls/ImImage.h"
#include "lumivane/controls/KdBackImage.h"
#include "lumivane/controls/KdUrlLabel.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Form.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/gfx/image/FileBytes.h"

#include "tests/SourceDir.h"
using namespace lumivane;

// The committed layout with one control of each kind, as the form tool renders it.
namespace {

struct LibraryForm {
    HeadlessSession session;
    std::unique_ptr<TForm> form;

    LibraryForm() {
        KdBackImage::Register();
        KdUrlLabel::Register();
        ImImage::Register();
        form = std::make_unique<TForm>(nullptr);
        auto bytes = ReadFileBytes(SourceDir() + "/tests/data/forms/lib_a_controls.txt", 1u << 20);
        form->LoadFormText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        form->Show();
        session.Pump();
    }
    template <class T>
    T* Find(const char* name) {
        return dynamic_cast<T*>(form->FindComponent(name));
    }
    TColor At(int x, int y) { return session.Pixel(form->Handle(), x, y); }
    int CountIn(TControl* c, TColor colour) {
        int n = 0;
        for (int y = c->Top(); y < c->Top() + c->Height(); ++y)
            for (int x = c->Left(); x < c->Left() + c->Width(); ++x) n += At(x, y) == colour;
        return n;
    }
};

}  // namespace

TEST(LibraryControlsForm, LoadsTilesAndTracksThePointer) {
    LibraryForm f;
    auto* back = f.Find<TKdBackImage>("KdBackImage1");
    auto* image = f.Find<TImImage>("ImImage1");
    auto* link = f.Find<TKdUrlLabel>("KdUrlLabel1");
    ASSERT_TRUE(back && image && link);
    // Each unit put its class on the library's one palette page.
    const auto& palette = GetPalette();
    auto page = std::find_if(palette.begin(), palette.end(), [](const TPalettePage& p) { return p.Name == "Lumivane"; });
    ASSERT_NE(page, palette.end());
    for (TClass c : {TKdBackImage::StaticClass(), TKdUrlLabel::StaticClass(), TImImage::StaticClass()})
        EXPECT_NE(std::find(page->Classes.begin(), page->Classes.end(), c), page->Classes.end()) << c->Name();
    EXPECT_EQ(back->BoundsRect(), f.form->ClientRect());
    // The 16-pixel texture repeats: the same pixel one tile further on, under no other control.
    EXPECT_EQ(f.At(200, 100), f.At(216, 100));
    EXPECT_EQ(f.At(200, 100), f.At(200, 84));
    EXPECT_NE(f.At(200, 100), f.At(201, 100));
    EXPECT_EQ(link->fGetURLString(), "http://draventa.example/download/LumivaneSetup.exe");
    EXPECT_GT(f.CountIn(link, clBlue), 0);
    EXPECT_EQ(f.CountIn(link, clRed), 0);

    f.session.MoveTo(f.form->Handle(), link->Left() + 4, link->Top() + 4);
    EXPECT_GT(f.CountIn(link, clRed), 0);
    EXPECT_EQ(f.CountIn(link, clBlue), 0);

    f.session.MoveTo(f.form->Handle(), image->Left() + 16, image->Top() + 16);
    EXPECT_EQ(image->fGetImStatus(), 1);
    EXPECT_GT(f.CountIn(link, clBlue), 0);
    // The hot picture's ring shows; its olive corners are left out as its transparent colour.
    EXPECT_GT(f.CountIn(image, clGreen), 0);
    EXPECT_EQ(f.CountIn(image, clOlive), 0);
    EXPECT_EQ(f.At(image->Left(), image->Top()), f.At(image->Left() - 16, image->Top() - 16));
}
