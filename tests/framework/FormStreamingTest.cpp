#include <gtest/gtest.h>

#include "StreamTestClasses.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/gfx/text/TextEncoding.h"

using namespace lumivane;

namespace {

class FormStreaming : public ::testing::Test {
protected:
    void SetUp() override { RegisterTestClasses(); }
};

std::string Header(const std::string& body) {
    return "object Main: TTestForm\n  object Panel1: TTestPanel\n" + body + "  end\nend\n";
}

}  // namespace

TEST_F(FormStreaming, WriterOmitsStoredDefaults) {
    TTestForm form(nullptr);
    form.SetName("Main");
    auto* b = new TTestButton(&form);
    b->SetName("Btn");
    b->FSpacing = 0;        // the stored default: left out, so it reads back as 2
    b->FAnimateSpeed = 0;
    b->FHotTextColor = clBlack;
    b->FColors.fSetColor(3, clNavy);
    EXPECT_EQ(WriteForm(&form), "object Main: TTestForm\n"
                                "  object Btn: TTestButton\n"
                                "    Colors.HotColor = clNavy\n"
                                "    Cursor = crHandPoint\n"
                                "  end\n"
                                "end\n");
    TTestForm back(nullptr);
    ReadForm(&back, WriteForm(&form));
    auto* rb = dynamic_cast<TTestButton*>(back.FindComponent("Btn"));
    ASSERT_NE(rb, nullptr);
    EXPECT_EQ(rb->FSpacing, 2);
    EXPECT_EQ(rb->FAnimateSpeed, 200);
    EXPECT_EQ(rb->FHotTextColor, clBlue);
}

TEST_F(FormStreaming, WriteThenReadRoundTrips) {
    TTestForm form(nullptr);
    form.SetName("Main");
    form.FCaption = "Form";
    auto* panel = new TTestPanel(&form);
    panel->SetName("Panel1");
    panel->SetParentComponent(&form);
    auto* b = new TTestButton(&form);
    b->SetName("Button1");
    b->SetParentComponent(panel);
    b->FSpacing = -5;
    b->FAnimateSpeed = 0x7FFFFFFF;
    b->FValue = -1234567890123456789;
    b->FHotTextColor = 0x00123456;
    b->FCursor = -99;
    b->fSetLooks(tlXP);
    b->FStyle = TTestStyle{tsItalic, tsUnderline};
    b->FColors.fSetColor(0, clBtnFace);
    b->FCaption = std::string("It's \"quoted\"\r\n€é\u009D ") + std::string(150, 'x') + "'";
    b->FFontName = "\xE5\xAE\x8B\xE4\xBD\x93";
    b->FPicture.GraphicClass = "TBitmap";
    for (int i = 0; i < 100; ++i) b->FPicture.File.push_back(static_cast<uint8_t>(i * 7));
    b->FOnClick = TNotifyEvent(&form, &TTestForm::ButtonClick, "ButtonClick");
    std::string text = WriteForm(&form);

    TTestForm back(nullptr);
    ReadForm(&back, text);
    EXPECT_EQ(WriteForm(&back), text);
    EXPECT_EQ(WriteForm(&back, true), WriteForm(&form, true));
    auto* rb = dynamic_cast<TTestButton*>(back.FindComponent("Button1"));
    ASSERT_NE(rb, nullptr);
    EXPECT_EQ(rb->FCaption, b->FCaption);
    EXPECT_EQ(rb->FFontName, b->FFontName);
    EXPECT_EQ(rb->FValue, b->FValue);
    EXPECT_EQ(rb->FHotTextColor, b->FHotTextColor);
    EXPECT_EQ(rb->FCursor, -99);
    EXPECT_EQ(rb->FLooks, tlXP);
    EXPECT_EQ(rb->FStyle, b->FStyle);
    EXPECT_EQ(rb->FPicture.File, b->FPicture.File);
    EXPECT_EQ(rb->FColors.fGetColor(0), clBtnFace);
    rb->FOnClick(rb);
    EXPECT_EQ(back.Clicks, 1);
    // Long strings continue with '+', control characters are #NNN codes (C1 ones in hex), quotes
    // are doubled.
    EXPECT_NE(text.find("'It''s \"quoted\"'#13#10'€é'#$9D' xxx"), std::string::npos) << text;
    EXPECT_NE(text.find(" +\n        'xxx"), std::string::npos);
    EXPECT_NE(text.find("HotTextColor = $00123456"), std::string::npos);
    EXPECT_NE(text.find("Picture.Data = {\n        07544269746D6170"), std::string::npos);
}

TEST_F(FormStreaming, StoredPredicateAndAccessorEvents) {
    TTestForm form(nullptr);
    form.SetName("Main");
    auto* p = new TTestPanel(&form);
    p->SetName("P");
    p->FColors.fSetColor(1, clRed);
    p->fSetOnPaint(TNotifyEvent(&form, &TTestForm::ButtonClick, "ButtonClick"));
    EXPECT_EQ(WriteForm(&form), "object Main: TTestForm\n  object P: TTestPanel\n    OnPaint = ButtonClick\n  end\nend\n");
    p->FParentColors = false;
    std::string text = WriteForm(&form);
    EXPECT_EQ(text, "object Main: TTestForm\n  object P: TTestPanel\n    Colors.DisabledColor = clRed\n"
                    "    ParentColors = False\n    OnPaint = ButtonClick\n  end\nend\n");
    TTestForm back(nullptr);
    ReadForm(&back, text);
    auto* rp = dynamic_cast<TTestPanel*>(back.FindComponent("P"));
    ASSERT_NE(rp, nullptr);
    EXPECT_EQ(rp->FColors.fGetColor(1), clRed);
    rp->FOnPaint(rp);
    EXPECT_EQ(back.Calls, std::vector<std::string>{"ButtonClick P"});
}

TEST_F(FormStreaming, DumpAllWritesDefaultsToo) {
    TTestForm form(nullptr);
    form.SetName("Main");
    auto* b = new TTestButton(&form);
    b->SetName("B");
    std::string all = WriteForm(&form, true);
    for (const char* line : {"    Tag = 0\n", "    Spacing = 2\n", "    FocusRect = True\n", "    Looks = tlNormal\n",
                             "    Colors.DefaultColor = clDefault\n", "    Style = []\n", "    Caption = ''\n",
                             "    Value = 0\n"})
        EXPECT_NE(all.find(line), std::string::npos) << line;
    EXPECT_EQ(all.find("OnClick"), std::string::npos);
    EXPECT_EQ(all.find("Picture.Data"), std::string::npos);
    TTestForm back(nullptr);
    ReadForm(&back, all);
    EXPECT_EQ(WriteForm(&back, true), all);
}

// Every malformed layout names its line and leaves no component behind.
TEST_F(FormStreaming, MalformedLayoutsRaiseAndLeaveNothing) {
    struct TCase {
        std::string Text;
        std::string Message;
    };
    const std::vector<TCase> cases = {
        {"", "line 1: expected 'object', found the end of the text"},
        {Header("    Caption = 'x'\n    Foo = 1\n"), "line 4: unknown property 'Foo' of TTestPanel"},
        {Header("    object B: TNoSuchClass\n    end\n"), "line 3: unknown class 'TNoSuchClass'"},
        {Header("    object B: TTestButton\n      Looks = tlRound\n    end\n"),
         "line 4: 'tlRound' is not a member of Looks"},
        {Header("    object B: TTestButton\n      Style = [tsBold tsItalic]\n    end\n"),
         "line 4: expected ',' or ']', found 'tsItalic'"},
        {Header("    object B: TTestButton\n      Spacing = 'two'\n    end\n"),
         "line 4: expected a whole number for Spacing of TTestButton, found a string"},
        {Header("    object B: TTestButton\n      Spacing = 99999999999\n    end\n"),
         "line 4: number out of range for Spacing of TTestButton"},
        {Header("    object B: TTestButton\n      Caption = 'open\n    end\n"), "line 4: string is not closed"},
        {Header("    object B: TTestButton\n      Picture.Data = {0754}\n    end\n"),
         "line 4: Picture data ends inside the graphic class name"},
        {Header("    object B: TTestButton\n      Picture.Data = {05544963 6F6E 1}\n    end\n"),
         "line 4: binary data has an odd number of hex digits"},
        {"object Main: TTestForm\n  object B: TTestButton\n    Picture.Data = {0102\n",
         "line 3: binary data is not closed with '}'"},
        {Header("    object B: TTestButton\n      Picture.Data = {0102\n"), "line 5: bad character in binary data"},
        {Header("    object B: TTestButton\n    end\n    object b: TTestButton\n    end\n"),
         "line 5: A component named b already exists"},
        {Header("    object B: TTestButton\n      Colors.Hot = clRed\n    end\n"),
         "line 4: unknown property 'Hot' of TTestColors"},
        {Header("    object B: TTestButton\n      Colors = clRed\n    end\n"),
         "line 4: property 'Colors' of TTestButton is an object: set its properties, e.g. Colors.Name"},
        {Header("    object B: TTestButton\n      Spacing.X = 1\n    end\n"),
         "line 4: property 'Spacing' of TTestButton has no properties of its own"},
        {Header("    object B: TTestButton\n      HotTextColor = clPink\n    end\n"),
         "line 4: unknown colour 'clPink' for HotTextColor of TTestButton"},
        {Header("    object B: TTestStrictButton\n      Spacing = 101\n    end\n"),
         "line 4: Spacing must be at most 100"},
        {Header("    object Button1: TTestPanel\n    end\n"),
         "line 3: Button1 is a TTestPanel, but TTestFieldForm declares it a TTestButton"},
        // Every field the form's class exposes is filled, or the layout does not load.
        {Header("    object Button2: TTestButton\n    end\n"),
         "line 1: the layout of Main does not fill the field Button1 of TTestFieldForm: it has no TTestButton named "
         "Button1"},
        {Header("    object B: TTestButton\n      Spacing = 1.5\n    end\n"),
         "line 4: bad number (only whole numbers are accepted)"},
        {Header("    object B: TTestButton\n      Caption = 'a' +\n    end\n"),
         "line 5: expected a string after '+', found 'end'"},
        {Header("    object B: TTestButton\n      Caption = #55296\n    end\n"),
         "line 4: character code 55296 is not a character"},
        {"object Main: TTestForm\n  object Panel1: TTestPanel\n    Caption = 'x'\n",
         "line 4: expected a property, 'object' or 'end', found the end of the text"},
        {Header("    Caption = 'x'\n") + "end\n", "line 6: text after the final 'end'"},
        {Header("    object B: TTestButton\n      Spacing 3\n    end\n"), "line 4: expected '=', found a number"},
        {Header("    @\n"), "line 3: unexpected character '@'"},
        {Header("    object B: TTestButton\n      FocusRect = Yes\n    end\n"),
         "line 4: expected True or False for FocusRect of TTestButton, found 'Yes'"},
    };
    int before = LiveTestComponents();
    for (const TCase& c : cases) {
        TTestFieldForm form(nullptr);
        auto* keep = new TTestButton(&form);
        keep->SetName("Kept");
        try {
            ReadForm(&form, c.Text);
            ADD_FAILURE() << "no error for:\n" << c.Text;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.Message) << c.Text;
        }
        ASSERT_EQ(form.ComponentCount(), 1) << c.Text;  // only what the root had before
        EXPECT_EQ(form.Components(0), keep);
        EXPECT_EQ(LiveTestComponents(), before + 2) << c.Text;
        EXPECT_FALSE(form.ComponentState().Contains(csLoading));
        EXPECT_EQ(form.Button1, nullptr);
    }
    EXPECT_EQ(LiveTestComponents(), before);
}

TEST_F(FormStreaming, NestingAndSizeAreBounded) {
    std::string deep = "object Main: TTestForm\n";
    for (int i = 0; i < 40; ++i) deep += "object P" + std::to_string(i) + ": TTestPanel\n";
    int before = LiveTestComponents();
    {
        TTestForm form(nullptr);
        try {
            ReadForm(&form, deep);
            FAIL();
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "line 33: objects nested too deeply");
        }
        EXPECT_EQ(form.ComponentCount(), 0);
    }
    EXPECT_EQ(LiveTestComponents(), before);
    std::string huge(MaxFormTextSize + 1, ' ');
    TTestForm form(nullptr);
    EXPECT_THROW(ReadForm(&form, huge), Exception);
}

namespace {

struct TextCase {
    const char* stored;  // the Caption as a layout holds it
    const char* value;   // what the program gets
    const char* written; // how the writer puts it back
};

// Older layouts wrote #128..#159 for Windows-1252 characters, and quoted text was always UTF-8.
const TextCase kTextCases[] = {
    {"'Lumivane 1.0'", "Lumivane 1.0", "'Lumivane 1.0'"},
    {"'Grüße, 20 °C'", "Grüße, 20 °C", "'Grüße, 20 °C'"},
    {"'price '#128' 5'#150'6'#133", "price € 5–6…", "'price € 5–6…'"},
    {"'curly '#147'q'#148' '#153", "curly “q” ™", "'curly “q” ™'"},
    {"#129'x'#157", "\u0081x\u009D", "#$81'x'#$9D"},   // the code page's holes are C1 controls
    {"#$80#$9F", "\u0080\u009F", "#$80#$9F"},           // C1 controls themselves, written in hex
    {"'Привет, мир'", "Привет, мир", "'Привет, мир'"},
    {"'漢字かな'#12354", "漢字かなあ", "'漢字かなあ'"},
    {"#128512' '#127467#127479", "😀 🇫🇷", "'😀 🇫🇷'"},
    {"'e'#769' \u0915\u094D\u0937'", "e\u0301 \u0915\u094D\u0937", "'e\u0301 \u0915\u094D\u0937'"},
    {"'tab'#9'and'#13#10'lines'#127", "tab\tand\r\nlines\x7F", "'tab'#9'and'#13#10'lines'#127"},
    {"'caf\xE9 \xE6\xBC'", "caf\uFFFD \uFFFD\uFFFD", "'caf\uFFFD \uFFFD\uFFFD'"}, // not UTF-8: U+FFFD each
};

} // namespace

TEST_F(FormStreaming, TextOfEveryScriptRoundTrips) {
    for (const TextCase& c : kTextCases) {
        SCOPED_TRACE(c.stored);
        TTestForm form(nullptr);
        ReadForm(&form, "object Main: TTestForm\n  object B: TTestButton\n    Caption = " + std::string(c.stored) +
                            "\n  end\nend\n");
        auto* b = dynamic_cast<TTestButton*>(form.FindComponent("B"));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->FCaption, c.value);
        const std::string text = WriteForm(&form);
        EXPECT_NE(text.find("Caption = " + std::string(c.written) + "\n"), std::string::npos) << text;
        TTestForm back(nullptr);
        ReadForm(&back, text);
        EXPECT_EQ(dynamic_cast<TTestButton*>(back.FindComponent("B"))->FCaption, c.value);
    }
    // Every character from code: what the writer writes reads back the same.
    std::string all;
    for (char32_t cp = 1; cp < 0x3100; ++cp)
        if (cp < 0xD800 || cp > 0xDFFF) AppendUtf8(all, cp);
    AppendUtf8(all, 0x10FFFF);
    TTestForm form(nullptr);
    auto* b = new TTestButton(&form);
    b->SetName("B");
    b->FCaption = all;
    TTestForm back(nullptr);
    ReadForm(&back, WriteForm(&form));
    EXPECT_EQ(dynamic_cast<TTestButton*>(back.FindComponent("B"))->FCaption, all);
}
