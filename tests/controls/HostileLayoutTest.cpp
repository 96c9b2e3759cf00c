#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "lumivane/controls/ImButton.h"
#include "lumivane/controls/ImImage.h"
#include "lumivane/controls/ImPanel.h"
#include "lumivane/controls/KdBackImage.h"
#include "lumivane/controls/KdUpDownEdit.h"
#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/MenuItem.h"
#include "lumivane/framework/Label.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

// Layouts with the most extreme values a layout can hold: each is refused with its line, or
// loads, shows and paints with bounded values (the sanitizer build checks that no arithmetic
// overflows on the way).
namespace {

// An 8x8 24-bit bitmap as picture data.
std::string SmallPicture() {
    std::string hex = "07544269746D6170";  // "TBitmap"
    auto le = [&](uint32_t v, int bytes) {
        static const char d[] = "0123456789ABCDEF";
        for (int i = 0; i < bytes; ++i, v >>= 8) hex += {d[(v >> 4) & 15], d[v & 15]};
    };
    le(54 + 192, 4);
    hex += "424D";
    le(54 + 192, 4), le(0, 4), le(54, 4), le(40, 4), le(8, 4), le(8, 4), le(1, 2), le(24, 2), le(0, 4);
    le(192, 4), le(0, 4), le(0, 4), le(0, 4), le(0, 4);
    for (int i = 0; i < 64; ++i) hex += "204080";
    return hex;
}

struct Case {
    const char* what;
    std::string body;   // lines inside the form, from line 2
    const char* error;  // expected in the message ("" = loads and paints)
    int line;           // the line the error names
    bool popup = false; // opens the popup menu M and goes to its end
};

// A popup menu M of n items with captions of the given length.
std::string Menu(int n, size_t caption) {
    std::string body = "  object M: TPopupMenu\n";
    for (int i = 0; i < n; ++i)
        body += "    object I" + std::to_string(i) + ": TMenuItem\n      Caption = '" + std::string(caption, 'W') +
                "'\n    end\n";
    return body + "  end\n";
}

std::string Form(const std::string& body) { return "object F: TForm\n" + body + "end\n"; }

class HostileLayout : public ::testing::Test {
protected:
    void SetUp() override {
        ImButton::Register();
        ImImage::Register();
        ImPanel::Register();
        KdBackImage::Register();
        KdUpDownEdit::Register();
        ValidateEdit::Register();
        RegisterClasses({TLabel::StaticClass(), TForm::StaticClass(), TPopupMenu::StaticClass(), TMenuItem::StaticClass()});
    }
    // The menu's window stays within the screen, and End reaches the last row.
    void OpenMenuToItsEnd(TPopupMenu* menu) {
        ASSERT_NE(menu, nullptr);
        menu->Popup(40, 40);
        session.Pump();
        ASSERT_EQ(MenuWindow::LevelCount(), 1);
        HWND h = MenuWindow::LevelWindow(0);
        RECT r;
        GetWindowRect(h, &r);
        const TRect screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        EXPECT_EQ(screen.Intersect(r), TRect(r));
        EXPECT_LE(r.Width(), 600);
        EXPECT_LE(session.Presented(h).Width() * session.Presented(h).Height(), screen.Width() * screen.Height());
        session.Key(VK_END);
        TMenuItem* last = menu->Items()->Items(menu->Items()->Count() - 1);
        EXPECT_EQ(MenuWindow::SelectedItem(0), last);
        EXPECT_FALSE(MenuWindow::ItemRect(0, last).IsEmpty());
        MenuWindow::CloseAll();
        session.Pump();
    }
    HeadlessSession session;
};

}  // namespace

TEST_F(HostileLayout, ExtremeValuesAreRefusedWithTheLineOrBounded) {
    const std::string big = "2147483647", small = "-2147483648";
    const std::string pic = "    Picture.Data = {" + SmallPicture() + "}\n";
    const Case cases[] = {
        {"label left", "  object L: TLabel\n    Left = " + big + "\n  end\n", "out of range for Left", 3},
        {"label top", "  object L: TLabel\n    Top = " + small + "\n  end\n", "out of range for Top", 3},
        {"button width", "  object B: TImButton\n    Width = " + big + "\n  end\n", "out of range for Width", 3},
        {"hex height", "  object B: TImButton\n    Height = $FFFFFFFF\n  end\n", "out of range for Height", 3},
        {"spacing", "  object B: TImButton\n    Spacing = " + big + "\n" + pic + "  end\n", "out of range for Spacing", 3},
        {"font height", "  Font.Height = " + small + "\n", "out of range for Height of TFont", 2},
        {"constraint", "  object K: TKdBackImage\n    Constraints.MaxWidth = -1\n  end\n", "out of range", 3},
        {"form too wide", "  ClientWidth = 100000\n", "at most 8192", 2},
        {"form negative", "  Width = -5\n", "negative size", 2},
        {"nul in caption", "  object L: TLabel\n    Caption = 'a'#0'b'\n  end\n", "character #0", 3},
        {"name with a digit", "  object 9abc: TLabel\n  end\n", "'9abc' is neither a whole number nor a name", 2},
        {"up-down value past 64 bits", "  object U: TKdUpDownEdit\n    Value = 9223372036854775808\n  end\n",
         "number out of range for Value", 3},
        {"up-down limit past 64 bits", "  object U: TKdUpDownEdit\n    MinValue = -9223372036854775809\n  end\n",
         "number out of range for MinValue", 3},
        {"shortcut past its 16 bits", "  object M: TPopupMenu\n    object I: TMenuItem\n      ShortCut = 65536\n"
         "    end\n  end\n", "number out of range for ShortCut", 4},
        {"panel bevel", "  object P: TImPanel\n    BevelWidth = " + big + "\n  end\n", "out of range for BevelWidth", 3},
        {"edit position", "  object E: TValidateEdit\n    Left = " + small + "\n  end\n", "out of range for Left", 3},
        // A control inside a component that holds no controls would be shown nowhere and written
        // back at the root: refused on its own line.
        {"label in a popup menu", "  object M: TPopupMenu\n    object L: TLabel\n      Caption = 'x'\n    end\n  end\n",
         "a control belongs in a form or another control that holds controls, not in TPopupMenu", 3},
        {"edit in a menu item", "  object M: TPopupMenu\n    object I: TMenuItem\n      object E: TValidateEdit\n"
         "      end\n    end\n  end\n", "not in TMenuItem", 4},
        {"button in a menu item's submenu",
         "  object M: TPopupMenu\n    object I: TMenuItem\n      object J: TMenuItem\n        object B: TImButton\n"
         "        end\n      end\n    end\n  end\n", "not in TMenuItem", 5},
        // Within the bounds: loads, shows and paints without overflow.
        {"far but allowed",
         "  object B: TImButton\n    Left = 1000000\n    Top = -1000000\n    Width = 1000000\n    Height = 1000000\n"
         "    Spacing = -1000000\n    AnimatedCount = 1000000\n    PictureCount = -1000000\n" + pic + "  end\n"
         "  object L: TLabel\n    Left = -1000000\n    Top = 1000000\n    Caption = 'far'\n  end\n",
         "", 0},
        {"wide spacing on a small button",
         "  object B: TImButton\n    Width = 40\n    Height = 20\n    Spacing = 1000000\n    Caption = 'x'\n" + pic +
             "  end\n",
         "", 0},
        {"largest form", "  ClientWidth = 8192\n  ClientHeight = 1\n  Font.Height = 1000\n", "", 0},
        // The newer controls at the ends of their types: 64-bit values and limits, lengths,
        // shortcuts, group indexes, tags, panel widths; all load, show and paint.
        {"up-down at the 64-bit ends",
         "  object U: TKdUpDownEdit\n    Value = 9223372036854775807\n    MinValue = -9223372036854775808\n"
         "    MaxValue = 9223372036854775807\n    MaxLength = " + big + "\n    Width = 1000000\n  end\n"
         "  object D: TKdUpDownEdit\n    Value = -9223372036854775808\n    MinValue = -9223372036854775808\n"
         "    MaxValue = -9223372036854775808\n    MaxLength = " + small + "\n    Height = 1000000\n  end\n",
         "", 0},
        {"validating edit lengths",
         "  object E: TValidateEdit\n    MaxLength = " + big + "\n    Tag = " + small + "\n    Width = 1000000\n"
         "    Text = 'abc'\n  end\n  object F: TValidateEdit\n    MaxLength = " + small + "\n    TabOrder = " + big +
             "\n  end\n",
         "", 0},
        {"menu items at their ends",
         "  object M: TPopupMenu\n    object I: TMenuItem\n      Caption = 'a'\n      ShortCut = 65535\n"
         "      GroupIndex = " + small + "\n      Tag = " + big + "\n      RadioItem = True\n    end\n"
         "    object J: TMenuItem\n      GroupIndex = " + small + "\n      RadioItem = True\n      Checked = True\n"
         "    end\n  end\n",
         "", 0},
        // Menus larger than any screen open within it, their rows reachable by scrolling.
        {"450 wide menu items", Menu(450, 2000), "", 0, true},
        {"10,000 menu items", Menu(10000, 12), "", 0, true},
        {"a 100,000-character caption", Menu(3, 100000), "", 0, true},
        {"label in a panel", "  object P: TImPanel\n    object L: TLabel\n      Caption = 'x'\n    end\n  end\n", "", 0},
        {"image panel far out",
         "  object P: TImPanel\n    Left = -1000000\n    Width = 1000000\n    Height = 1000000\n"
         "    BorderWidth = 1000000\n    BevelWidth = 1000000\n    Caption = 'p'\n"
         "    object I: TImImage\n      Left = 1000000\n      Top = -1000000\n      Width = 1000000\n" +
             pic + "    end\n  end\n",
         "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto form = std::make_unique<TForm>(nullptr);
        if (*c.error) {
            try {
                form->LoadFormText(Form(c.body));
                ADD_FAILURE() << "loaded";
            } catch (const Exception& e) {
                EXPECT_NE(e.Message().find(c.error), std::string::npos) << e.Message();
                EXPECT_EQ(e.Message().rfind("line " + std::to_string(c.line) + ": ", 0), 0u) << e.Message();
            }
            continue;
        }
        form->LoadFormText(Form(c.body));
        form->Show();
        session.Pump();
        EXPECT_TRUE(IsWindowVisible(form->Handle()));
        if (c.popup) OpenMenuToItsEnd(static_cast<TPopupMenu*>(form->FindComponent("M")));
    }
}

// Code gets the same bounds: positions and sizes beyond them are clamped, not overflowed.
TEST_F(HostileLayout, CodeCannotPushBoundsPastTheLimits) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(INT_MAX, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_EQ(label->Left(), MaxLayoutCoord);
    EXPECT_EQ(label->Top(), -MaxLayoutCoord);
    EXPECT_EQ(label->BoundsRect().Right, 2 * MaxLayoutCoord);
    EXPECT_THROW(form->SetClientSize(MaxWindowSide + 1, 10), Exception);
    EXPECT_THROW(form->SetBounds(0, 0, -1, 10), Exception);
}

// A control aligned to the client area takes it once the layout is loaded, whatever size the
// layout stored for it.
TEST_F(HostileLayout, ClientAlignmentRunsAfterLoading) {
    auto form = std::make_unique<TForm>(nullptr);
    form->LoadFormText(Form("  ClientWidth = 300\n  ClientHeight = 200\n  object B: TKdBackImage\n"
                            "    Left = 7\n    Top = 9\n    Width = 20\n    Height = 30\n    Align = alClient\n  end\n"));
    auto* back = dynamic_cast<TControl*>(form->FindComponent("B"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->BoundsRect(), (TRect{0, 0, 300, 200}));
}

// A paste of 100,000 characters into each edit, then typing and deleting at both of its ends
// and moving the caret across it: every key lands where it should and the text stays whole.
TEST_F(HostileLayout, AHundredThousandCharacterPasteThenTypingAtItsEnds) {
    auto form = std::make_unique<TForm>(nullptr);
    form->LoadFormText(Form("  ClientWidth = 300\n  ClientHeight = 100\n"
                            "  object P: TValidateEdit\n    Width = 120\n  end\n"
                            "  object N: TValidateEdit\n    Top = 30\n    Width = 120\n    ValidateType = vtFloat\n  end\n"
                            "  object U: TKdUpDownEdit\n    Top = 60\n    Width = 120\n  end\n"));
    form->Show();
    session.Pump();
    std::string digits(100000, '0');
    for (size_t i = 0; i < digits.size(); ++i) digits[i] = static_cast<char>('1' + i % 9);
    // The plain edit gets multi-byte characters, which must never be cut through.
    const std::string plain = [] {
        std::string s;
        while (s.size() < 100000 * 2) s += "\xC3\xA9";
        return s;
    }();
    const struct {
        const char* name;
        std::string paste;
    } edits[] = {{"P", plain}, {"N", digits}, {"U", digits}};
    for (const auto& c : edits) {
        SCOPED_TRACE(c.name);
        auto* host = dynamic_cast<TCustomValidateEdit*>(form->FindComponent(c.name));
        ASSERT_TRUE(host);
        TKdCustomInplaceEdit* e = host->InnerEdit();
        e->SetFocus();
        session.Paste(c.paste + "\n" + c.paste); // the line break ends what a single line takes
        ASSERT_EQ(host->GetText(), c.paste);
        EXPECT_EQ(e->SelStart(), 100000);
        session.Type("7");
        session.Key(VK_BACK);
        session.Key(VK_BACK);
        session.Type("8");
        session.Key(VK_HOME);
        session.Key(VK_DELETE);
        session.Type("9");
        for (int i = 0; i < 3; ++i) session.Key(VK_RIGHT);
        session.Key(VK_END);
        session.Type("5");
        // The first and the last characters went; the typed ones stand in their places.
        const size_t w = std::string(c.name) == "P" ? 2 : 1;
        EXPECT_EQ(host->GetText(), "9" + c.paste.substr(w, c.paste.size() - 2 * w) + "85");
        EXPECT_EQ(e->SelStart(), 100001);
    }
}
