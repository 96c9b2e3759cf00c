// The inspector's editors against the registry's types: each takes a value the reader takes, at
// the ends of what it takes, and refuses what the reader refuses with the reader's own message.
#include <vector>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Component.h"
#include "lumivane/framework/PropInfo.h"
#include "tests/SourceDir.h"
#include "tests/formview/DesignKit.h"
#include "tools/formview/PropertyEdit.h"

using namespace lumivane;

namespace {

const char* const kLayout =
    "object Form1: TForm\n"
    "  object Button1: TButton\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "    Width = 75\n"
    "    Height = 25\n"
    "    Caption = 'OK'\n"
    "  end\n"
    "  object Img1: TImButton\n"
    "    Left = 8\n"
    "    Top = 40\n"
    "    Width = 75\n"
    "    Height = 25\n"
    "  end\n"
    "  object UpDown1: TKdUpDownEdit\n"
    "    Left = 8\n"
    "    Top = 70\n"
    "    Width = 75\n"
    "    Height = 25\n"
    "  end\n"
    "  object Label1: TLabel\n"
    "    Left = 100\n"
    "    Top = 8\n"
    "  end\n"
    "  object PopupMenu1: TPopupMenu\n"
    "  end\n"
    "end\n";

struct Row {
    const char* Type;
    const char* Component;
    const char* Path;
    std::string Accepted;
    const char* Written;  // the line the writer then writes in the component's block
    std::string Refused;
    const char* Message;  // the reader's message for the refused value
};

std::string Picture(const char* file) { return SourceDir() + "/" + file; }

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = {
        {"integer, lowest", "Button1", "Left", "-1000000", "Left = -1000000", "-1000001",
         "number out of range for Left of TButton (-1000000 to 1000000)"},
        {"integer, highest", "Button1", "Top", "1000000", "Top = 1000000", "1000001",
         "number out of range for Top of TButton (-1000000 to 1000000)"},
        {"integer, not a number", "Button1", "Width", "$20", "Width = 32", "wide",
         "expected a whole number for Width of TButton, found 'wide'"},
        {"64-bit integer, lowest", "UpDown1", "MinValue", "-9223372036854775808", "MinValue = -9223372036854775808",
         "-9223372036854775809", "number out of range for MinValue of TKdUpDownEdit"},
        {"64-bit integer, highest", "UpDown1", "MaxValue", "9223372036854775807", "MaxValue = 9223372036854775807",
         "9223372036854775808", "number out of range for MaxValue of TKdUpDownEdit"},
        {"string, Unicode and quotes", "Button1", "Caption", "Grüße, 'Welt' 宋体", "Caption = 'Grüße, ''Welt'' 宋体'",
         std::string("a\0b", 3), "a string cannot hold character #0 for Caption of TButton"},
        {"boolean", "Button1", "Default", "True", "Default = True", "Yes",
         "expected True or False for Default of TButton, found 'Yes'"},
        {"enumeration", "Img1", "Looks", "ibkWindowsXP", "Looks = ibkWindowsXP", "ibkNone", "'ibkNone' is not a member of Looks"},
        {"set", "Label1", "Font.Style", "[fsBold, fsItalic]", "Font.Style = [fsBold, fsItalic]", "[fsBold, fsHeavy]",
         "'fsHeavy' is not a member of Style"},
        {"set, unclosed", "Label1", "Font.Style", "[fsUnderline]", "Font.Style = [fsUnderline]", "[fsBold", "expected ',' or ']'"},
        {"colour by name", "Label1", "Font.Color", "clRed", "Font.Color = clRed", "clReddish",
         "unknown colour 'clReddish' for Color of TFont"},
        {"colour by value", "Label1", "Color", "$00123456", "Color = $00123456", "$100000000",
         "number out of range for Color of TLabel"},
        {"font name", "Label1", "Font.Name", "DejaVu Sans", "Font.Name = 'DejaVu Sans'", "", ""},
        {"font height", "Label1", "Font.Height", "-1000", "Font.Height = -1000", "-1001",
         "number out of range for Height of TFont (-1000 to 1000)"},
        {"cursor", "Button1", "Cursor", "crHandPoint", "Cursor = crHandPoint", "crFinger",
         "unknown cursor 'crFinger' for Cursor of TButton"},
        {"component reference", "Button1", "PopupMenu", "PopupMenu1", "PopupMenu = PopupMenu1", "Label1",
         "Label1 is a TLabel, not a TPopupMenu for PopupMenu of TButton"},
        {"component reference, none such", "Button1", "PopupMenu", "popupmenu1", "PopupMenu = PopupMenu1", "Menu9",
         "unknown component 'Menu9' for PopupMenu of TButton"},
        {"picture, BMP", "Img1", "Picture.Data", Picture("app/pictures/cross.bmp"), "Picture.Data = {", "", ""},
        {"picture, ICO", "Img1", "Picture.Data", Picture("app/pictures/heart.ico"), "Picture.Data = {", "", ""},
        {"picture, PNG", "Img1", "Picture.Data", Picture("tests/data/pictures/alpha.png"), "Picture.Data = {",
         Picture("gallery/frmGallery.txt"), "unknown file extension '.txt'"},
        {"event", "Button1", "OnClick", "Button1Click", "OnClick = Button1Click", "1Click",
         "'1Click' is neither a whole number nor a name"},
        {"event, not a name", "Button1", "OnClick", "Button1Click", "OnClick = Button1Click", "'Click'",
         "expected a method name for OnClick of TButton, found a string"},
        {"one value only", "Button1", "Left", "12", "Left = 12", "5 Caption = 'x'",
         "one value expected for Left, found more after it"},
    };
    return rows;
}

// The component's own lines (not its children's) in the model's text.
std::string BlockOf(const TDesignModel& m, const std::string& name) {
    const std::string& t = m.Text();
    size_t at = t.find("object " + name + ":");
    return at == std::string::npos ? "" : t.substr(at, t.find("\n  end\n", at) - at);
}

}  // namespace

TEST_F(DesignTest, EachEditorTakesWhatTheReaderTakesAndRefusesWithItsMessage) {
    for (const Row& r : Rows()) {
        SCOPED_TRACE(r.Type);
        TDesignModel m;
        m.Load(kLayout);
        ASSERT_NO_THROW(SetPropertyText(m, r.Component, r.Path, r.Accepted));
        EXPECT_NE(BlockOf(m, r.Component).find(std::string("\n    ") + r.Written), std::string::npos)
            << BlockOf(m, r.Component);
        if (!*r.Message) continue;
        const std::string before = m.Text();
        try {
            SetPropertyText(m, r.Component, r.Path, r.Refused);
            ADD_FAILURE() << r.Refused << " was taken";
        } catch (const Exception& e) {
            EXPECT_NE(e.Message().find(r.Message), std::string::npos) << e.Message();
            EXPECT_EQ(e.Message().rfind("line ", 0), std::string::npos) << e.Message();
        }
        EXPECT_EQ(m.Text(), before);
    }
}

TEST_F(DesignTest, EmptyEventOrReferenceClearsItAndAValueThatChangesNothingIsNoStep) {
    TDesignModel m;
    m.Load(kLayout);
    SetPropertyText(m, "Button1", "OnClick", "Button1Click");
    SetPropertyText(m, "Button1", "PopupMenu", "PopupMenu1");
    SetPropertyText(m, "Button1", "OnClick", "");
    SetPropertyText(m, "Button1", "PopupMenu", "");
    EXPECT_EQ(m.Text().find("OnClick"), std::string::npos);
    EXPECT_EQ(m.Text().find("PopupMenu = "), std::string::npos);
    EXPECT_FALSE(m.Modified());
    TDesignModel n;
    n.Load(kLayout);
    SetPropertyText(n, "Button1", "Caption", "OK");
    EXPECT_FALSE(n.CanUndo());
    EXPECT_THROW(SetPropertyText(n, "Button9", "Caption", "x"), Exception);
    EXPECT_THROW(SetPropertyText(n, "Button1", "Font", "x"), Exception);
    EXPECT_THROW(SetPropertyText(n, "Button1", "Font.Nope", "x"), Exception);
}

TEST_F(DesignTest, RowsFollowThePublishedOrderWithBoundsAndChoices) {
    TDesignModel m;
    m.Load(kLayout);
    const std::vector<TPropertyRow> rows = PropertyRows(m, "Button1");
    std::vector<std::string> paths;
    for (const TPropertyRow& r : rows) paths.push_back(r.Path);
    auto index = [&](const char* p) { return std::find(paths.begin(), paths.end(), p) - paths.begin(); };
    const auto& published = m.Find("Button1")->ClassType()->Properties();
    EXPECT_EQ(paths.front(), published.front()->Name);
    EXPECT_LT(index("Left"), index("Top"));
    EXPECT_LT(index("Font.Charset"), index("Font.Style"));
    for (const TPropertyRow& r : rows) {
        SCOPED_TRACE(r.Path);
        if (r.Path == "Left") {
            EXPECT_EQ(r.Value, "8");
            EXPECT_EQ(r.Min, -MaxLayoutCoord);
            EXPECT_EQ(r.Max, MaxLayoutCoord);
        }
        if (r.Path == "Caption") {
            EXPECT_EQ(r.Value, "OK");
        }
        if (r.Path == "Default") {
            EXPECT_EQ(r.Choices, (std::vector<std::string>{"False", "True"}));
        }
        if (r.Path == "PopupMenu") {
            EXPECT_EQ(r.Choices, std::vector<std::string>{"PopupMenu1"});
        }
        if (r.Path == "Font.Style") {
            EXPECT_EQ(r.Value, "[]");
        }
        if (r.Path == "Cursor") {
            EXPECT_EQ(r.Value, "crDefault");
        }
    }
    EXPECT_TRUE(PropertyRows(m, "Nobody").empty());
}
