// The design surface takes a click on a disabled control (which takes no pointer input of its
// own) so the designer can select it; an enabled control keeps its clicks.
#include <optional>
#include <vector>

#include "lumivane/framework/Control.h"
#include "lumivane/framework/Form.h"
#include "tests/formview/DesignKit.h"
#include "tools/formview/DesignSurface.h"

using namespace lumivane;

TEST_F(DesignTest, AClickOnADisabledControlReachesTheSurfaceAndFindsTheControl) {
    TDesignModel m;
    m.Load("object Form1: TForm\n"
           "  ClientHeight = 200\n"
           "  ClientWidth = 300\n"
           "  object Off: TButton\n"
           "    Left = 8\n    Top = 8\n    Width = 75\n    Height = 25\n    Enabled = False\n"
           "  end\n"
           "  object Panel1: TPanel\n"
           "    Left = 100\n    Top = 8\n    Width = 150\n    Height = 100\n    Enabled = False\n"
           "    object Inner: TEdit\n"
           "      Left = 10\n      Top = 10\n      Width = 80\n      Height = 21\n"
           "    end\n"
           "  end\n"
           "  object On: TButton\n"
           "    Left = 8\n    Top = 150\n    Width = 75\n    Height = 25\n"
           "  end\n"
           "end\n");
    TDesignSurface surface(m);
    TCustomForm* form = m.Root();
    form->Show();
    surface.TakeInput();
    std::optional<TPoint> down;
    form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { down = TPoint{x, y}; };
    const struct {
        int X, Y;
        const char* Found;  // what the surface finds where the form was clicked; null: not the form's
    } clicks[] = {
        {8, 8, "Off"},          // a disabled control's first pixel
        {82, 32, "Off"},        // and its last
        {120, 30, "Inner"},     // an enabled control in a disabled panel
        {240, 100, "Panel1"},   // the disabled panel itself
        {40, 160, nullptr},     // an enabled control takes its own click
        {280, 180, "Form1"},    // the form's background
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y));
        down.reset();
        session.ClickAt(form->Handle(), c.X, c.Y);
        if (!c.Found) {
            EXPECT_FALSE(down);
            continue;
        }
        ASSERT_TRUE(down);
        EXPECT_EQ(*down, (TPoint{c.X, c.Y}));
        TComponent* found = surface.ComponentAt(*down);
        EXPECT_EQ(found ? found->Name() : "Form1", c.Found);
    }
    form->OnMouseDown = nullptr;
    surface.Clear();
}
