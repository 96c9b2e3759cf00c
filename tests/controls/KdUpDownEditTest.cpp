// The up-down edit: value, limits, arrow keys, layout, hover bits, colour set and stored form.
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "KdUpDownTestKit.h"
#include "lumivane/controls/KdUpDownButtonColors.h"
#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/layout/FormWriter.h"
#include "lumivane/base/Exception.h"

using namespace lumivane;

namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

struct TBounds {
    int l, t, w, h;
    bool operator==(const TBounds&) const = default;
};
TBounds BoundsOf(TControl* c) { return {c->Left(), c->Top(), c->Width(), c->Height()}; }
void PrintTo(const TBounds& b, std::ostream* os) { *os << "(" << b.l << ", " << b.t << ", " << b.w << ", " << b.h << ")"; }

class TOtherPersistent : public TPersistent {
    LUMI_CLASS(TOtherPersistent, TPersistent)
};
LUMI_DEFINE_CLASS(TOtherPersistent) {}

}  // namespace

class UpDownEditTest : public ::testing::Test, public UpDownScene {};

TEST_F(UpDownEditTest, NewControlShowsZeroAndStepsByKeys) {
    EXPECT_EQ(Text(), "0");
    EXPECT_EQ(edit->fGetValue(), 0);
    EXPECT_EQ(edit->fGetMinVal(), 0);
    EXPECT_EQ(edit->fGetMaxVal(), 0);
    EXPECT_EQ(edit->fGetVType(), vtInteger);
    EXPECT_EQ(edit->Width() * 100 + edit->Height(), 12121);
    Focus();
    Key(VK_UP);
    EXPECT_EQ(Text(), "1");
    EXPECT_TRUE(AllSelected());
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(Text(), "-1");
    EXPECT_TRUE(AllSelected());
    session.Key(VK_UP, MK_SHIFT);  // Shift changes nothing
    EXPECT_EQ(Text(), "0");
    Key(VK_PRIOR);  // Page Up is the inner edit's
    EXPECT_EQ(Text(), "0");
}

TEST_F(UpDownEditTest, StepsWrapWithoutLimitsAndClampWithThem) {
    Focus();
    edit->fSetValue(kMax);
    Key(VK_UP);
    EXPECT_EQ(Text(), "-9223372036854775808");
    Key(VK_DOWN);
    EXPECT_EQ(Text(), "9223372036854775807");

    edit->fSetMaxVal(kMax);  // limits 0 .. max: the wrapped sum is clamped up to 0
    EXPECT_EQ(edit->fGetVType(), vtIntegerPs);
    Key(VK_UP);
    EXPECT_EQ(Text(), "0");

    edit->fSetMinVal(kMin);
    edit->fSetMaxVal(0);
    edit->fSetValue(kMin);
    Key(VK_DOWN);  // wraps to the maximum, clamped down to 0
    EXPECT_EQ(Text(), "0");
}

TEST_F(UpDownEditTest, AnUnchangedTextRaisesNoChangeAndIsSelected) {
    edit->fSetMaxVal(10);
    edit->fSetValue(10);
    Focus();
    Inner()->SetSelStart(1);
    Inner()->SetSelLength(0);
    changes = 0;
    Key(VK_UP);
    EXPECT_EQ(Text(), "10");
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(AllSelected());
    edit->fSetValue(99);  // clamped to the same text
    EXPECT_EQ(changes, 0);
    Key(VK_DOWN);
    EXPECT_EQ(changes, 1);
}

TEST_F(UpDownEditTest, TextParsesOrReadsTheLowerLimit) {
    edit->fSetMinVal(5);
    edit->fSetMaxVal(10);
    const struct {
        const char* text;
        int64_t value;
    } cases[] = {
        {"", 5},   {"-", 5},   {"abc", 5},      {" 7", 7},   {"7 ", 5},
        {"$1F", 31}, {"0x1f", 31}, {"-$10", -16}, {"3", 3},    {"25", 25},
        {"$11111111111111111", 5},              {"9223372036854775808", 5},
        {"-9223372036854775808", kMin},
    };
    for (const auto& c : cases) {
        edit->SetText(c.text);
        EXPECT_EQ(edit->fGetValue(), c.value) << '"' << c.text << '"';
    }
    edit->SetText("");
    Focus();
    Key(VK_UP);
    EXPECT_EQ(Text(), "6");
}

// A value copied from a terminal ends in a line break: the paste takes the line, so the value
// still parses and a step goes on from it, whichever way the text was pasted.
TEST_F(UpDownEditTest, PastedLineBreakEndsThePastedValue) {
    for (const char* clip : {"42\n", "42\r\n", "42\n99", "42\r"}) {
        SCOPED_TRACE(testing::PrintToString(clip));
        edit->fSetValue(0);
        Focus();
        session.Key('A', MK_CONTROL);
        session.Paste(clip);
        EXPECT_EQ(Text(), "42");
        Key(VK_UP);
        EXPECT_EQ(Text(), "43");
    }
}

TEST_F(UpDownEditTest, TypedValueOutsideTheLimitsStaysUntilAStep) {
    edit->fSetMaxVal(10);
    Focus();
    Inner()->SelectAll();
    session.Type("25");
    EXPECT_EQ(edit->fGetValue(), 25);
    Unfocus();  // nothing re-read or clamped
    EXPECT_FALSE(edit->Focused());
    EXPECT_EQ(Text(), "25");
    Focus();
    Key(VK_DOWN);
    EXPECT_EQ(Text(), "10");
}

TEST_F(UpDownEditTest, LimitWritesPullTheValueInOnTheirSideOnly) {
    edit->SetText("100");
    edit->fSetMinVal(5);
    EXPECT_EQ(edit->fGetMaxVal(), 5);
    EXPECT_EQ(edit->fGetVType(), vtIntegerPs);
    EXPECT_EQ(Text(), "100");  // only the lower limit was tested
    Focus();
    Key(VK_UP);
    EXPECT_EQ(Text(), "5");

    edit->fSetMinVal(0);
    edit->fSetMaxVal(10);
    edit->SetText("7");
    edit->fSetMaxVal(-3);
    EXPECT_EQ(edit->fGetMinVal(), -3);
    EXPECT_EQ(edit->fGetVType(), vtInteger);
    EXPECT_EQ(Text(), "-3");

    edit->SetText("-50");
    edit->fSetMinVal(-5);  // pulls up; the upper limit is -3 and stays
    EXPECT_EQ(Text(), "-5");
    EXPECT_EQ(edit->fGetMaxVal(), -3);

    edit->fSetMinVal(0);
    edit->fSetMaxVal(0);
    EXPECT_EQ(edit->fGetVType(), vtInteger);
    edit->fSetValue(kMin);  // no limits: nothing clamped
    EXPECT_EQ(Text(), "-9223372036854775808");
}

TEST_F(UpDownEditTest, ValidateTypeFollowsTheLimitRuleAndAWriteHoldsUntilTheNext) {
    const struct {
        int64_t lo, hi;
        TValidateType type;
    } rule[] = {{0, 0, vtInteger}, {0, 100, vtIntegerPs}, {-5, 5, vtInteger}, {1, 1, vtIntegerPs}};
    for (const auto& r : rule) {
        edit->fSetMinVal(0);
        edit->fSetMaxVal(0);
        edit->fSetMaxVal(r.hi);
        edit->fSetMinVal(r.lo);
        EXPECT_EQ(edit->fGetVType(), r.type) << r.lo << ".." << r.hi;
    }
    edit->fSetVString("0-9");
    EXPECT_EQ(edit->fGetVType(), vtCustom);
    edit->fSetVType(vtHex);
    Focus();
    Key(VK_UP);
    EXPECT_EQ(edit->fGetVType(), vtHex);
    edit->fSetMaxVal(5);
    EXPECT_EQ(edit->fGetVType(), vtIntegerPs);
    EXPECT_EQ(edit->fGetVString(), "");
}

TEST_F(UpDownEditTest, OwnKeyHandlerRunsFirstAndMayClearTheKey) {
    std::vector<WORD> seen;
    TObject* sender = nullptr;
    edit->fSetKeyDown(TKeyEvent([&](TObject* s, WORD& key, TShiftState) {
        sender = s;
        seen.push_back(key);
        if (key == VK_DOWN) key = 0;
    }));
    int ups = 0;
    edit->fSetKeyUp(TKeyEvent([&](TObject* s, WORD&, TShiftState) { ups += s == edit; }));
    Focus();
    Key(VK_UP);
    Key(VK_DOWN);
    EXPECT_EQ(sender, edit);
    EXPECT_EQ(seen, (std::vector<WORD>{VK_UP, VK_DOWN}));
    EXPECT_EQ(Text(), "1");  // the cleared Down did not step
    EXPECT_EQ(ups, 2);

    // A raising handler: the step still happens, then the exception goes on.
    edit->fSetKeyDown(TKeyEvent([](TObject*, WORD&, TShiftState) { throw Exception("down handler"); }));
    edit->fSetKeyUp(TKeyEvent([](TObject*, WORD&, TShiftState) { throw Exception("up handler"); }));
    WORD key = VK_UP;
    EXPECT_THROW(Inner()->OnKeyDown(Inner(), key, TShiftState{}), Exception);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(Text(), "2");
    EXPECT_TRUE(edit->UpKeyDown());
    key = VK_UP;
    EXPECT_THROW(Inner()->OnKeyUp(Inner(), key, TShiftState{}), Exception);
    EXPECT_EQ(key, VK_UP);
    EXPECT_FALSE(edit->UpKeyDown());
}

TEST_F(UpDownEditTest, HeldArrowKeyStepsOnEveryRepeatAndPaintsItsButtonPressed) {
    edit->fSetReadOnly(true);  // the keys step read-only edits too
    Focus();
    const TColor restCorner = At(Up(), 0, 0);
    session.KeyDown(VK_UP);
    EXPECT_TRUE(edit->UpKeyDown());
    session.KeyDown(VK_UP, 0, true);
    session.KeyDown(VK_UP, 0, true);
    EXPECT_EQ(Text(), "3");
    EXPECT_EQ(At(Up(), 0, 0), 0x404040u);  // sunken bevel
    EXPECT_EQ(At(Down(), 0, 0), restCorner);
    session.KeyDown(VK_DOWN);  // both may be held at once
    EXPECT_TRUE(edit->UpKeyDown() && edit->DownKeyDown());
    session.KeyUp(VK_UP);
    EXPECT_FALSE(edit->UpKeyDown());
    EXPECT_EQ(At(Up(), 0, 0), restCorner);
    EXPECT_EQ(At(Down(), 0, 0), 0x404040u);
    Unfocus();  // leaving releases the look
    EXPECT_FALSE(edit->DownKeyDown());
    EXPECT_EQ(At(Down(), 0, 0), restCorner);
    EXPECT_EQ(Text(), "2");
}

TEST_F(UpDownEditTest, LayoutOfTheFourBorderStyles) {
    const struct {
        TKdEditBorderStyle style;
        TBounds inner, up, down;
    } table[] = {
        {ebsNormal, {3, 3, 101, 15}, {104, 2, 15, 8}, {104, 10, 15, 9}},
        {ebsFlat, {2, 2, 103, 17}, {105, 1, 15, 9}, {105, 10, 15, 10}},
        {ebsUltraFlat, {3, 3, 102, 15}, {105, 1, 15, 9}, {105, 10, 15, 10}},
        {ebsNone, {0, 0, 106, 21}, {106, 0, 15, 10}, {106, 10, 15, 11}},
    };
    for (const auto& row : table) {
        edit->fSetBorderStyle(row.style);
        EXPECT_EQ(BoundsOf(Inner()), row.inner) << int(row.style);
        EXPECT_EQ(BoundsOf(Up()), row.up) << int(row.style);
        EXPECT_EQ(BoundsOf(Down()), row.down) << int(row.style);
        EXPECT_EQ(Up()->BorderStyle(), row.style);
        EXPECT_EQ(Down()->BorderStyle(), row.style);
    }
    edit->SetBounds(20, 30, 200, 30);  // a resize lays out again
    EXPECT_EQ(BoundsOf(Up()), (TBounds{185, 0, 15, 15}));
    EXPECT_EQ(BoundsOf(Down()), (TBounds{185, 15, 15, 15}));
    edit->SetBounds(20, 30, 10, 3);  // too small: empty, never negative
    EXPECT_EQ(Inner()->Width(), 0);
    EXPECT_GE(Down()->Height(), 0);
}

TEST_F(UpDownEditTest, ButtonsJoinTheHoverSet) {
    std::vector<std::string> events;
    edit->fSetOnMouseEnter(TNotifyEvent([&](TObject*) { events.push_back("enter"); }));
    edit->fSetOnMouseLeave(TNotifyEvent([&](TObject*) { events.push_back("leave"); }));
    PointAt(Up(), 7, 4);
    EXPECT_EQ(edit->MouseInState(), 0x8002u);
    EXPECT_TRUE(Up()->MouseIn());
    PointAt(Down(), 7, 4);
    EXPECT_EQ(edit->MouseInState(), 0x8004u);
    Away();
    EXPECT_EQ(edit->MouseInState(), 0u);
    // Up to down passes through "nowhere" (the up button's leave comes first), so the pair fires
    // for each button.
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave", "enter", "leave"}));
}

TEST_F(UpDownEditTest, ButtonColourSetOrderIndexesAndAssign) {
    TKdUpDownButtonColors* c = edit->fGetUpDnColors();
    for (int i = -1; i <= 4; ++i) EXPECT_EQ(c->fGetVEColor(i), clDefault);
    c->fSetVEColor(4, clRed);
    c->fSetVEColor(-1, clRed);
    EXPECT_EQ(c->fGetVEColor(4), clDefault);
    TKdUpDownButtonColors other(nullptr);
    for (int i = 0; i < 4; ++i) other.fSetVEColor(i, 0x10 + i);
    edit->fSetUpDnColors(&other);
    EXPECT_EQ(c->DefaultColor(), 0x10u);
    EXPECT_EQ(c->HotColor(), 0x11u);
    EXPECT_EQ(c->PressedColor(), 0x12u);
    EXPECT_EQ(c->DisabledColor(), 0x13u);
    TOtherPersistent stranger;
    TValidateEditColors frameColours(nullptr);
    EXPECT_NO_THROW(c->Assign(&stranger));
    EXPECT_NO_THROW(c->Assign(&frameColours));
    EXPECT_NO_THROW(c->Assign(nullptr));
    EXPECT_EQ(c->fGetVEColor(0), 0x10u);

    // Every write repaints the edit with its buttons, also an unchanged one.
    session.Pump();
    session.ClearPresents();
    c->fSetVEColor(1, 0x11);
    session.Pump();
    EXPECT_FALSE(session.Presents(Hwnd()).empty());
}

TEST(KdUpDownEditForm, StoredFormReadsBothEndsOfTheRangeWithTheLimitsThatHoldThem) {
    HeadlessSession session;
    KdUpDownEdit::Register();
    const std::string text =
        "object F: TForm\n"
        "  object A: TKdUpDownEdit\n"
        "    Value = 9223372036854775807\n"
        "  end\n"
        "  object B: TKdUpDownEdit\n"
        "    Value = -9223372036854775808\n"
        "    MinValue = -9223372036854775808\n"
        "    MaxValue = -9223372036854775807\n"
        "    UpDownColors.PressedColor = clRed\n"
        "    ValidateType = vtHex\n"
        "    BorderStyle = ebsUltraFlat\n"
        "  end\n"
        "  object C: TKdUpDownEdit\n"
        "    Value = 5\n"
        "    MinValue = 1\n"
        "    MaxValue = 9\n"
        "    ValidateType = vtNone\n"
        "  end\n"
        "end\n";
    TForm form(nullptr);
    ReadForm(&form, text);
    auto* a = dynamic_cast<TKdUpDownEdit*>(form.FindComponent("A"));
    auto* b = dynamic_cast<TKdUpDownEdit*>(form.FindComponent("B"));
    auto* c = dynamic_cast<TKdUpDownEdit*>(form.FindComponent("C"));
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->fGetValue(), kMax);
    EXPECT_EQ(a->GetText(), "9223372036854775807");
    EXPECT_EQ(b->fGetValue(), kMin);
    EXPECT_EQ(b->fGetMinVal(), kMin);
    EXPECT_EQ(b->fGetMaxVal(), kMin + 1);
    EXPECT_EQ(b->fGetVType(), vtHex);  // stored after the limits, so it holds
    EXPECT_EQ(b->fGetUpDnColors()->PressedColor(), clRed);
    EXPECT_EQ(b->UpButton()->BorderStyle(), ebsUltraFlat);
    EXPECT_EQ(c->fGetVType(), vtNone);
}

// After the framework's own, the value and its limits come first, then exactly the validating
// edit's list, in its order.
TEST(KdUpDownEditForm, PublishedOrder) {
    auto list = [](TClass c) {
        std::string names;
        for (const auto& prop : c->Properties()) names += prop->Name + " ";
        return names;
    };
    const std::string base = list(TCustomValidateEdit::StaticClass());
    const std::string validating = list(TValidateEdit::StaticClass()).substr(base.size());
    EXPECT_EQ(list(TKdUpDownEdit::StaticClass()), base + "Value MinValue MaxValue UpDownColors " + validating);
    EXPECT_EQ(validating.substr(0, 13), "ValidateType ");
}
