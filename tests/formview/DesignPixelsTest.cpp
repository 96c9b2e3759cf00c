// The designed form looks as the program's form does: the designer's form of each layout of the
// repository, drawn headless, against the form formshot makes of the same layout (as the plain
// form of a class it does not have, so neither runs the program's code), pixel for pixel.
#include <algorithm>
#include <string>
#include <vector>

#include "lumivane/framework/Form.h"
#include "tests/SourceDir.h"
#include "tests/formview/DesignKit.h"
#include "tools/ToolClasses.h"
#include "tools/formview/LayoutText.h"

using namespace lumivane;

namespace {

struct TDiff {
    int Count = 0;
    TRect Box{1 << 30, 1 << 30, -1, -1};
    std::string Where() const {
        return std::to_string(Count) + " pixels in (" + std::to_string(Box.Left) + "," + std::to_string(Box.Top) +
               ")-(" + std::to_string(Box.Right) + "," + std::to_string(Box.Bottom) + ")";
    }
};

}  // namespace

TEST_F(DesignTest, TheDesignedFormDrawsAsFormshotDrawsTheSameLayout) {
    const char* const layouts[] = {
        "app/frmMain.txt",           "gallery/frmGallery.txt",        "docs/library/ImButton.txt",
        "docs/library/ImImage.txt",  "docs/library/ImPanel.txt",      "docs/library/KdBackImage.txt",
        "docs/library/KdUpDownEdit.txt", "docs/library/KdUrlLabel.txt", "docs/library/ValidateEdit.txt",
        "examples/first-window/FirstWindow.txt", "tests/data/forms/imbutton_looks.txt",
        "tests/data/forms/impanel.txt", "tests/data/forms/lib_a_controls.txt", "tests/data/forms/menus_drag.txt",
    };
    for (const char* file : layouts) {
        SCOPED_TRACE(file);
        const std::string text = WithHeaderClass(ReadFile(SourceDir() + "/" + file), "TNotAClassOfThisProgram");
        // One form at a time: the one shown last would be active and show its focus.
        auto pixels = [&](TCustomForm* form) {
            form->Show();
            session.Pump();
            const TRect r = form->GetClientRect();
            std::vector<std::vector<TColor>> out(size_t(r.Height()), std::vector<TColor>(size_t(r.Width())));
            for (int y = 0; y < r.Height(); ++y)
                for (int x = 0; x < r.Width(); ++x) out[size_t(y)][size_t(x)] = session.Pixel(form->Handle(), x, y);
            return out;
        };
        TCustomForm* shot = CreateLayoutForm(text);
        const auto a = pixels(shot);
        delete shot;
        TDesignModel m;
        m.Load(text);
        const auto b = pixels(m.Root());
        ASSERT_EQ(a.size(), b.size());
        ASSERT_FALSE(a.empty());
        ASSERT_EQ(a[0].size(), b[0].size());
        TDiff d;
        for (int y = 0; y < int(a.size()); ++y)
            for (int x = 0; x < int(a[0].size()); ++x)
                if (a[size_t(y)][size_t(x)] != b[size_t(y)][size_t(x)]) {
                    ++d.Count;
                    d.Box = {std::min(d.Box.Left, x), std::min(d.Box.Top, y), std::max(d.Box.Right, x + 1),
                             std::max(d.Box.Bottom, y + 1)};
                }
        EXPECT_EQ(d.Count, 0) << d.Where();
    }
}

TEST_F(DesignTest, AnImageWithoutAPictureShowsItsPlaceOnlyWhileDesigned) {
    const std::string text =
        "object Form1: TForm\n  ClientHeight = 60\n  ClientWidth = 60\n  Color = clWhite\n"
        "  object Image1: TImage\n    Left = 10\n    Top = 10\n    Width = 40\n    Height = 40\n  end\nend\n";
    TCustomForm* shot = CreateLayoutForm(text);
    shot->Show();
    session.Pump();
    // The frame's corners and its inside, as the program shows them and as the designer does.
    const TPoint corners[] = {{10, 10}, {49, 49}};
    for (TPoint p : corners) EXPECT_EQ(session.Pixel(shot->Handle(), p.x, p.y), clWhite);
    delete shot;
    TDesignModel m;
    m.Load(text);
    m.Root()->Show();
    session.Pump();
    for (TPoint p : corners) EXPECT_NE(session.Pixel(m.Root()->Handle(), p.x, p.y), clWhite) << p.x << "," << p.y;
    EXPECT_EQ(session.Pixel(m.Root()->Handle(), 30, 30), clWhite);
    EXPECT_EQ(session.Pixel(m.Root()->Handle(), 9, 9), clWhite);
}
