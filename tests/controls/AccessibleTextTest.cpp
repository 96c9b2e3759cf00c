// Where a screen reader finds the characters of an edit's and a label's text, at the ends of the
// text and around them, and how the text looks.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/drivers/headless/Session.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Edit.h"
#include "lumivane/framework/Font.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Label.h"
#include "lumivane/framework/Panel.h"
#include "lumivane/gfx/text/Font.h"
#include "lumivane/gfx/text/TextEncoding.h"

using namespace lumivane;

namespace {

struct Scene {
    HeadlessSession session;
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    Scene() { form->SetBounds(40, 40, 400, 300); }
    template <class T>
    T* Add(TWinControl* parent = nullptr) {
        auto* c = new T(form.get());
        c->SetParent(parent ? parent : form.get());
        return c;
    }
    void Show() {
        form->Show();
        session.Pump();
    }
};

// The checks every text makes at its ends: boxes side by side, the end an empty box where the
// last one ends, nothing outside; a point on each box's first and last column finds it, a point
// left of the first or right of the last, above or below the line, finds nothing.
void CheckEnds(TControl* c, int n) {
    for (int i = 0; i < n; ++i) {
        const TRect r = c->AccessibleCharRect(i);
        ASSERT_GT(r.Width(), 0) << i;
        ASSERT_GT(r.Height(), 0) << i;
        EXPECT_EQ(c->AccessibleCharRect(i + 1).Left, r.Right) << i;
        const int mid = (r.Top + r.Bottom) / 2;
        EXPECT_EQ(c->AccessibleOffsetAt({r.Left, mid}), i);
        EXPECT_EQ(c->AccessibleOffsetAt({r.Right - 1, mid}), i);
    }
    const TRect end = c->AccessibleCharRect(n);
    EXPECT_EQ(end.Width(), 0);
    EXPECT_GT(end.Height(), 0);
    EXPECT_EQ(c->AccessibleCharRect(n + 1), TRect{});
    EXPECT_EQ(c->AccessibleCharRect(-1), TRect{});
    const TRect first = c->AccessibleCharRect(0);
    const int mid = (first.Top + first.Bottom) / 2;
    EXPECT_EQ(c->AccessibleOffsetAt({first.Left - 1, mid}), -1) << "left of the first";
    EXPECT_EQ(c->AccessibleOffsetAt({end.Left, mid}), -1) << "right of the last";
    EXPECT_EQ(c->AccessibleOffsetAt({first.Left, -1}), -1) << "above the control";
    EXPECT_EQ(c->AccessibleOffsetAt({first.Left, c->ClientHeight()}), -1) << "below it";
}

}  // namespace

TEST(AccessibleText, CharacterBoxesAtTheEnds) {
    struct Case {
        const char* what;
        std::string text;
        int left;  // where the first character starts in the client area; -1: not checked
    };
    const Case cases[] = {
        {"letters of several widths", "iWm", 2},
        {"one character", "W", 2},
        {"wide characters", "\xC3\xA4\xE2\x82\xAC", 2},  // two characters of five bytes
        {"empty", "", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Scene s;
        auto* edit = s.Add<TEdit>();
        edit->SetBounds(10, 10, 200, 24);
        edit->SetText(c.text);
        s.Show();
        const int n = static_cast<int>(CountChars(c.text));
        EXPECT_EQ(edit->AccessibleCharRect(0).Left, c.left);
        CheckEnds(edit, n);
        if (n == 0) {
            EXPECT_EQ(edit->AccessibleOffsetAt({2, 10}), -1) << "an empty text has no character";
        } else {
            const HFONT font = GetDefaultFont();
            EXPECT_EQ(edit->AccessibleCharRect(n).Left - edit->AccessibleCharRect(0).Left, TextWidth(font, c.text));
        }
    }
}

TEST(AccessibleText, ValidatingEditsAndLabelsToo) {
    Scene s;
    auto* vd = s.Add<TValidateEdit>();
    vd->SetBounds(10, 50, 120, 24);
    vd->SetText("1234");
    auto* lbl = s.Add<TLabel>();
    lbl->SetBounds(10, 100, 100, 20);
    lbl->SetCaption("&Name");
    auto* right = s.Add<TLabel>();
    right->SetAutoSize(false);
    right->SetAlignment(taRightJustify);
    right->SetBounds(10, 130, 100, 20);
    right->SetCaption("Sum");
    auto* centre = s.Add<TLabel>();
    centre->SetAutoSize(false);
    centre->SetAlignment(taCenter);
    centre->SetBounds(10, 160, 101, 20);
    centre->SetCaption("Mid");
    s.Show();

    CheckEnds(vd, 4);
    auto* inner = vd->InnerEdit();
    EXPECT_EQ(vd->AccessibleCharRect(0).Left, inner->Left() + inner->AccessibleCharRect(0).Left)
        << "the host's boxes are the inner edit's, in its own client area";

    EXPECT_EQ(lbl->AccessibleText(), "Name") << "the marker does not show";
    EXPECT_EQ(AccessibleInfoOf(lbl).Name, "Name");
    CheckEnds(lbl, 4);
    EXPECT_EQ(lbl->AccessibleCharRect(0).Left, 0);
    CheckEnds(right, 3);
    EXPECT_EQ(right->AccessibleCharRect(3).Right, 100) << "right aligned: the text ends at the right edge";
    const int w = TextWidth(GetDefaultFont(), "Mid");
    EXPECT_EQ(centre->AccessibleCharRect(0).Left, (101 - w) / 2);

    // Several lines: every character is somewhere in the label, which is all it says.
    auto* lines = s.Add<TLabel>();
    lines->SetBounds(10, 200, 100, 40);
    lines->SetCaption("one\ntwo");
    EXPECT_EQ(lines->AccessibleCharRect(5), lines->GetClientRect());
    EXPECT_EQ(lines->AccessibleCharRect(8), TRect{});
}

TEST(AccessibleText, PasswordsReadAsTheirMask) {
    Scene s;
    auto* edit = s.Add<TEdit>();
    edit->SetText("s\xC3\xA9" "cret");
    edit->SetPasswordChar('*');
    s.Show();
    EXPECT_EQ(edit->AccessibleText(), "******") << "six characters, one of two bytes";
}

TEST(AccessibleText, AttributesNameTheFontAndColours) {
    Scene s;
    auto* edit = s.Add<TEdit>();
    edit->Font()->SetName("DejaVu Serif");
    edit->Font()->SetSize(12);
    edit->Font()->SetStyle(TFontStyles() << fsBold << fsItalic);
    edit->Font()->SetColor(clRed);
    edit->SetColor(clWhite);
    auto* panel = s.Add<TPanel>();
    panel->SetColor(RGB(255, 255, 0));
    auto* label = s.Add<TLabel>(panel);
    label->SetTransparent(true);
    label->Font()->SetSize(8);
    auto* opaque = s.Add<TLabel>(panel);
    opaque->SetColor(RGB(0, 0, 128));
    s.Show();
    auto get = [](TControl* c, const std::string& key) {
        for (auto& [k, v] : AccessibleTextAttributes(c))
            if (k == key) return v;
        return std::string("?");
    };
    const struct {
        TControl* control;
        const char *key, *value;
    } cases[] = {
        {edit, "family-name", "DejaVu Serif"}, {edit, "size", "12"},         {edit, "weight", "700"},
        {edit, "style", "italic"},             {edit, "fg-color", "255,0,0"}, {edit, "bg-color", "255,255,255"},
        {label, "size", "8"},                  {label, "weight", "400"},      {label, "style", "normal"},
        {label, "bg-color", "255,255,0"},  // transparent: the panel behind it
        {opaque, "bg-color", "0,0,128"},
    };
    for (const auto& c : cases) EXPECT_EQ(get(c.control, c.key), c.value) << c.key;
    EXPECT_TRUE(AccessibleTextAttributes(nullptr).empty());
}
