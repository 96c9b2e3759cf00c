#include <gtest/gtest.h>
#include <cstring>

#include "StreamTestClasses.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/EventTrace.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/layout/PictureData.h"
#include "lumivane/framework/layout/Resources.h"
#include "lumivane/framework/Timer.h"

using namespace lumivane;

namespace {

const char* const Layout = R"(object Main: TTestForm
  Caption = 'Main window'
  object Panel1: TTestPanel
    Caption = 'Panel'
    object Button1: TTestButton
      Spacing = 7
      FocusRect = False
      Looks = tlBevel
      Colors.HotColor = clNavy
      Colors.PushedColor = $00B5B5B5
      HotTextColor = clRed
      Style = [tsBold, tsUnderline]
      OnClick = ButtonClick
      OnKeyPress = ButtonKeyPress
    end
  end
  object Button2: TTestButton
    Looks = tlFlat
    OnStatusChanged = StatusChanged
  end
end
)";

class FormReader : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestClasses();
        TestLog().clear();
    }
};

}  // namespace

TEST_F(FormReader, CreatesComponentsInOrderWithOwnerAndParent) {
    TTestFieldForm form(nullptr);
    ReadForm(&form, Layout);
    EXPECT_EQ(form.Name(), "Main");
    EXPECT_EQ(form.FCaption, "Main window");
    ASSERT_EQ(form.ComponentCount(), 3);
    auto* panel = dynamic_cast<TTestPanel*>(form.Components(0));
    auto* b1 = dynamic_cast<TTestButton*>(form.Components(1));
    auto* b2 = dynamic_cast<TTestButton*>(form.Components(2));
    ASSERT_TRUE(panel && b1 && b2);
    EXPECT_EQ(panel->Name(), "Panel1");
    EXPECT_EQ(panel->GetParentComponent(), &form);
    EXPECT_EQ(b1->GetParentComponent(), panel);
    EXPECT_EQ(b1->Owner(), &form);
    EXPECT_EQ(form.Button1, b1);  // the form's field
    // Applied in the order they stand: FocusRect is overridden by the Looks after it.
    EXPECT_EQ(b1->FLooks, tlBevel);
    EXPECT_TRUE(b1->FFocusRect);
    EXPECT_EQ(b2->FLooks, tlFlat);
    EXPECT_FALSE(b2->FFocusRect);
    EXPECT_EQ(b1->FSpacing, 7);
    EXPECT_EQ(b1->FColors.fGetColor(3), clNavy);
    EXPECT_EQ(b1->FColors.fGetColor(2), 0xB5B5B5u);
    EXPECT_EQ(b1->FColors.fGetColor(0), clDefault);
    EXPECT_EQ(b1->FHotTextColor, clRed);
    EXPECT_EQ(b1->FStyle, (TTestStyle{tsBold, tsUnderline}));
}

TEST_F(FormReader, OmittedPropertiesKeepTheirConstructorValues) {
    TTestForm form(nullptr);
    ReadForm(&form, Layout);
    auto* b2 = dynamic_cast<TTestButton*>(form.FindComponent("Button2"));
    ASSERT_NE(b2, nullptr);
    // Stored defaults 0, 0 and clBlack differ from the constructor's 2, 200 and clBlue.
    EXPECT_EQ(b2->FSpacing, 2);
    EXPECT_EQ(b2->FAnimateSpeed, 200);
    EXPECT_EQ(b2->FHotTextColor, clBlue);
    EXPECT_EQ(b2->FCursor, -21);
}

TEST_F(FormReader, LoadedRunsAfterTheWholeFormIsRead) {
    TTestFieldForm form(nullptr);
    ReadForm(&form, Layout);
    std::vector<std::string> expected = {"Button1.Spacing", "Button1.FocusRect", "Button1.Looks",
                                         "Button2.Looks",   "Panel1.Loaded",     "Button1.Loaded",
                                         "Button2.Loaded",  "Main.Loaded"};
    EXPECT_EQ(TestLog(), expected);
    auto* b1 = form.Button1;
    EXPECT_TRUE(b1->LoadedSawLoading);
    EXPECT_FALSE(b1->LoadedSawReading);
    EXPECT_EQ(b1->LoadedSpacing, 7);
    EXPECT_FALSE(b1->ComponentState().Contains(csLoading));
    EXPECT_FALSE(form.ComponentState().Contains(csLoading));
}

TEST_F(FormReader, EventsBindToTheFormsMethods) {
    TTestFieldForm form(nullptr);
    ReadForm(&form, Layout);
    TTestButton* b1 = form.Button1;
    b1->FOnClick(b1);
    char key = 'a';
    b1->FOnKeyPress(b1, key);
    EXPECT_EQ(key, 'X');  // the handler changed the by-reference argument
    auto* b2 = dynamic_cast<TTestButton*>(form.FindComponent("Button2"));
    b2->FOnStatusChanged(b2, 1, 0);
    b2->FOnClick(b2);  // unassigned: nothing happens
    EXPECT_EQ(form.Calls, (std::vector<std::string>{"ButtonClick Button1", "KeyPress a", "Status 1 0"}));
    EXPECT_EQ(b1->FOnClick.MethodName(), "ButtonClick");
    EXPECT_EQ(b1->FOnClick.Data(), &form);
}

TEST_F(FormReader, TraceReportsArgumentsAndKeepsHandlers) {
    TTestFieldForm form(nullptr);
    ReadForm(&form, Layout);
    std::vector<std::string> lines;
    TraceEvents(&form, [&](const std::string& l) { lines.push_back(l); });
    TTestButton* b1 = form.Button1;
    auto* b2 = dynamic_cast<TTestButton*>(form.FindComponent("Button2"));
    b1->FOnClick(b1);
    char key = 'A';
    b1->FOnKeyPress(b1, key);
    b2->FOnStatusChanged(b2, 1, 0);
    int counter = 3;
    b2->FOnOwnerDraw(b2, nullptr, nullptr, 5, counter);
    EXPECT_EQ(lines, (std::vector<std::string>{"event: Button1.OnClick()", "event: Button1.OnKeyPress(Key=65)",
                                               "event: Button2.OnStatusChanged(1, 0)",
                                               "event: Button2.OnOwnerDraw(5, iCounter=3)"}));
    EXPECT_EQ(form.Clicks, 1);  // the bound handler still runs
    EXPECT_EQ(key, 'X');
}

// The trace observes every raise, handled or not, and never makes an event count as handled:
// neither through a field nor through a property writer, and a timer without a handler stays off.
TEST_F(FormReader, TraceSeesUnhandledRaisesWithoutAssigningThem) {
    TTestForm form(nullptr);
    ReadForm(&form, Layout);
    auto* timer = new TTimer(&form);
    timer->SetName("Timer1");
    std::vector<std::string> lines;
    TraceEvents(&form, [&](const std::string& l) { lines.push_back(l); });
    auto* panel = dynamic_cast<TTestPanel*>(form.FindComponent("Panel1"));
    auto* b2 = dynamic_cast<TTestButton*>(form.FindComponent("Button2"));
    EXPECT_FALSE(b2->FOnClick.Assigned() || b2->FOnClick);
    EXPECT_FALSE(panel->fGetOnPaint().Assigned());
    EXPECT_FALSE(timer->OnTimer.Assigned() || timer->Running());
    EXPECT_TRUE(b2->FOnStatusChanged.Assigned());
    b2->FOnClick(b2);
    panel->fGetOnPaint()(panel);

    // A handler set afterwards runs after the report; clearing it leaves the report.
    std::vector<std::string> calls;
    b2->FOnClick = [&](TObject*) { calls.push_back("handler"); lines.push_back("(handler)"); };
    panel->fSetOnPaint(TNotifyEvent([&](TObject*) { calls.push_back("paint"); }));
    b2->FOnClick(b2);
    panel->fGetOnPaint()(panel);
    b2->FOnClick.Clear();
    b2->FOnClick(b2);
    EXPECT_EQ(lines, (std::vector<std::string>{"event: Button2.OnClick()", "event: Panel1.OnPaint()",
                                               "event: Button2.OnClick()", "(handler)", "event: Panel1.OnPaint()",
                                               "event: Button2.OnClick()"}));
    EXPECT_EQ(calls, (std::vector<std::string>{"handler", "paint"}));
    EXPECT_FALSE(b2->FOnClick.Assigned());
}

TEST_F(FormReader, EventErrorsNameTheMethod) {
    TTestForm form(nullptr);
    try {
        ReadForm(&form, "object Main: TTestForm\n  object B: TTestButton\n    OnClick = NoSuchMethod\n  end\nend\n");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "line 3: unknown method 'NoSuchMethod' of TTestForm for OnClick of TTestButton");
    }
    try {
        ReadForm(&form, "object Main: TTestForm\n  object B: TTestButton\n    OnClick = ButtonKeyPress\n  end\nend\n");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(),
                     "line 3: OnClick: method 'ButtonKeyPress' does not take the event's parameters (Sender)");
    }
    EXPECT_EQ(form.ComponentCount(), 0);
}

TEST_F(FormReader, ValuesOfEveryKind) {
    TTestForm form(nullptr);
    ReadForm(&form, "object F: TTestForm\n"
                    "  object B: TTestButton\n"
                    "    Spacing = -$10\n"
                    "    AnimateSpeed = $FFFFFFFF\n"
                    "    Value = -9223372036854775808\n"
                    "    Cursor = crIBeam\n"
                    "    Caption = 'It''s'#9'caf'#233' '#8364 +\n"
                    "      ' ok'\n"
                    "    FontName = '\xE5\xAE\x8B\xE4\xBD\x93'\n"
                    "    Style = []\n"
                    "    Picture.Data = {\n"
                    "      05544963 6F6E\n"
                    "      0102}\n"
                    "  end\n"
                    "end\n");
    auto* b = dynamic_cast<TTestButton*>(form.Components(0));
    EXPECT_EQ(b->FSpacing, -16);
    EXPECT_EQ(b->FAnimateSpeed, -1);
    EXPECT_EQ(b->FValue, INT64_MIN);
    EXPECT_EQ(b->FCursor, -4);
    EXPECT_EQ(b->FCaption, "It's\tcafé € ok");  // #NNN codes are code points
    EXPECT_EQ(b->FFontName, "\xE5\xAE\x8B\xE4\xBD\x93");  // UTF-8 kept as it is
    EXPECT_TRUE(b->FStyle.Empty());
    EXPECT_EQ(b->FPicture.GraphicClass, "TIcon");
    EXPECT_EQ(b->FPicture.File, (std::vector<uint8_t>{1, 2}));
}

TEST_F(FormReader, CreatesTheRootByClassName) {
    int before = LiveTestComponents();
    TComponent* root = ReadRootComponent(Layout, nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->ClassName(), "TTestForm");
    EXPECT_EQ(root->ComponentCount(), 3);
    delete root;
    EXPECT_EQ(LiveTestComponents(), before);
    EXPECT_THROW(ReadRootComponent("object X: TTestColors\nend\n", nullptr), Exception);
}

TEST_F(FormReader, RootClassMustFitTheHeader) {
    TTestPanel panel(nullptr);
    try {
        ReadForm(&panel, Layout);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "line 1: the layout is for TTestForm, not TTestPanel");
    }
    TTestForm form(nullptr);
    ReadForm(&form, "object F: TComponent\n  Tag = 5\nend\n");  // a base class's layout fits
    EXPECT_EQ(form.Tag(), 5);
}

TEST_F(FormReader, ReadsACompiledInResource) {
    static const char text[] = "object R: TTestForm\n  Caption = 'from a resource'\nend\n";
    RegisterResource("TESTFORM", reinterpret_cast<const unsigned char*>(text), sizeof text - 1);
    ASSERT_TRUE(FindResource("testform"));
    TTestForm form(nullptr);
    ReadFormResource(&form, "TESTFORM");
    EXPECT_EQ(form.FCaption, "from a resource");
    EXPECT_THROW(ReadFormResource(&form, "NOPE"), Exception);
}

TEST(PictureData, ParsesAndComposes) {
    std::vector<uint8_t> file = {'B', 'M', 1, 2, 3};
    auto data = ComposePictureData("TBitmap", file);
    std::vector<uint8_t> expected = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 5, 0, 0, 0, 'B', 'M', 1, 2, 3};
    EXPECT_EQ(data, expected);
    TPictureData back = ParsePictureData(data);
    EXPECT_EQ(back.ClassName, "TBitmap");
    EXPECT_EQ(back.File, file);
    auto icon = ComposePictureData("TIcon", {0, 0, 1, 0});
    EXPECT_EQ(icon.size(), 1u + 5 + 4);  // icons carry no count
    EXPECT_EQ(ParsePictureData(icon).File, (std::vector<uint8_t>{0, 0, 1, 0}));
}

TEST(PictureData, RejectsBadPayloads) {
    auto bad = [](std::vector<uint8_t> d, const char* msg) {
        try {
            ParsePictureData(d);
            ADD_FAILURE() << msg;
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), msg);
        }
    };
    bad({}, "Picture data is empty");
    bad({0}, "Picture data names no graphic class");
    bad({7, 'T', 'B', 'i'}, "Picture data ends inside the graphic class name");
    bad({2, '1', 'x'}, "Picture data has a bad graphic class name");
    bad({7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 5, 0}, "Picture data ends before the bitmap's length");
    bad({7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 0xFF, 0xFF, 0xFF, 0xFF, 1},
        "Picture data: the bitmap's length is 4294967295 bytes, but 1 follow");
}

// Components that are not controls keep a design position as Left and Top: read, written back
// only once given, refused beyond the bounds of any position.
TEST(FormReaderDesignPosition, NonVisualComponentsKeepLeftAndTopOnlyWhenGiven) {
    struct Case {
        const char* Class;
        const char* Lines;        // inside the component's block
        const char* Written;      // what the writer gives back for them
        const char* Error;        // or the reader's message
    };
    const Case cases[] = {
        {"TTimer", "", "", nullptr},
        {"TTimer", "    Left = 16\n    Top = -8\n", "    Left = 16\n    Top = -8\n", nullptr},
        {"TPopupMenu", "    Top = 0\n", "    Left = 0\n    Top = 0\n", nullptr},
        {"TPopupMenu", "    Left = 1000000\n", "    Left = 1000000\n    Top = 0\n", nullptr},
        {"TPopupMenu", "    Left = -1000001\n", nullptr, "line 3: number out of range for Left of TPopupMenu (-1000000 to 1000000)"},
        {"TTimer", "    Top = 1000001\n", nullptr, "line 3: number out of range for Top of TTimer (-1000000 to 1000000)"},
    };
    RegisterClasses({TTimer::StaticClass(), TPopupMenu::StaticClass(), TTestForm::StaticClass()});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Class) + ": " + c.Lines);
        const std::string text = std::string("object F: TTestForm\n  object C: ") + c.Class + "\n" + c.Lines + "  end\nend\n";
        TTestForm form(nullptr);
        if (c.Error) {
            try {
                ReadForm(&form, text);
                ADD_FAILURE() << "taken";
            } catch (const Exception& e) {
                EXPECT_EQ(e.Message(), c.Error);
            }
            continue;
        }
        ASSERT_NO_THROW(ReadForm(&form, text));
        const std::string written = WriteForm(&form);
        const size_t at = written.find("  object C: ");
        ASSERT_NE(at, std::string::npos);
        const size_t from = written.find('\n', at) + 1;
        EXPECT_EQ(written.substr(from, written.find("  end\n", from) - from).substr(0, std::strlen(c.Written)), c.Written);
        if (!*c.Written) {
            EXPECT_EQ(written.find("Left = ", at), std::string::npos);
        }
    }
}
