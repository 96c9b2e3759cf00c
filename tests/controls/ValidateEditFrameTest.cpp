#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Font.h"
#include "tests/controls/ValidateEditTestKit.h"

using namespace lumivane;

namespace {

TColor Rgb(TColor c) { return ColorToRGB(c); }

TRect InnerBounds(TValidateEdit* e) { return e->InnerEdit()->BoundsRect(); }

// The colours found on the ring at an inset of the edit.
std::set<TColor> Ring(ValidateEditScene& s, int inset) {
    std::set<TColor> seen;
    const int r = s.edit->Width() - 1 - inset, b = s.edit->Height() - 1 - inset;
    for (int x = inset; x <= r; ++x) {
        seen.insert(s.At(x, inset));
        seen.insert(s.At(x, b));
    }
    for (int y = inset; y <= b; ++y) {
        seen.insert(s.At(inset, y));
        seen.insert(s.At(r, y));
    }
    return seen;
}

using Colors = std::set<TColor>;

}  // namespace

TEST(ValidateEditFrame, LayoutFollowsTheBorderStyleAndTheSize) {
    ValidateEditScene s;
    TValidateEdit* e = s.edit;
    EXPECT_EQ(e->Width(), 121);
    EXPECT_EQ(e->Height(), 21);
    EXPECT_EQ(e->fGetBorderStyle(), ebsNormal);
    EXPECT_EQ(e->Color(), clWindow);
    EXPECT_FALSE(e->ParentColor());
    EXPECT_TRUE(e->InnerEdit()->ParentColor());
    EXPECT_EQ(InnerBounds(e), (TRect{3, 3, 118, 18}));

    struct {
        TKdEditBorderStyle style;
        int width, inset;
    } cases[] = {{ebsNone, 0, 0}, {ebsFlat, 1, 2}, {ebsUltraFlat, 2, 3}, {ebsNormal, 2, 3}};
    for (auto c : cases) {
        e->fSetBorderStyle(c.style);
        EXPECT_EQ(e->GetBorderWidth(), c.width) << c.style;
        EXPECT_EQ(InnerBounds(e), (TRect{c.inset, c.inset, 121 - c.inset, 21 - c.inset})) << c.style;
    }

    // Writing the same style lays out again.
    e->InnerEdit()->SetBounds(0, 0, 10, 10);
    e->fSetBorderStyle(ebsNormal);
    EXPECT_EQ(InnerBounds(e), (TRect{3, 3, 118, 18}));

    e->fSetBorderStyle(ebsUltraFlat);
    int resized = 0;
    e->OnResize = [&](TObject*) { ++resized; };
    e->SetBounds(e->Left(), e->Top(), 200, 30);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(InnerBounds(e), (TRect{3, 3, 197, 27}));
    // Too small for the frame: the inner edit is empty, never negative.
    e->SetBounds(e->Left(), e->Top(), 4, 5);
    EXPECT_EQ(InnerBounds(e), (TRect{3, 3, 3, 3}));
}

TEST(ValidateEditFrame, InnerEditEventsReachTheControlsHandlers) {
    ValidateEditScene s;
    TMouseButton button = mbRight;
    int downX = -1, downY = -1;
    s.edit->OnMouseDown = [&](TObject* Sender, TMouseButton b, TShiftState, int x, int y) {
        s.log.push_back("OnMouseDown " + s.Who(Sender));
        button = b;
        downX = x;
        downY = y;
    };
    s.edit->OnClick = [&](TObject* Sender) { s.log.push_back("OnClick " + s.Who(Sender)); };
    s.edit->fSetOnMouseEnter([&](TObject* Sender) { s.log.push_back("OnMouseEnter " + s.Who(Sender)); });
    s.edit->fSetOnChange([&](TObject* Sender) { s.log.push_back("OnChange " + s.Who(Sender)); });
    s.edit->fSetKeyPress([&](TObject* Sender, char32_t&) { s.log.push_back("OnKeyPress " + s.Who(Sender)); });

    // (5, 4) in the inner edit of a normal frame is (8, 7) in the control.
    s.session.ClickAt(s.Hwnd(), s.edit->Left() + 3 + 5, s.edit->Top() + 3 + 4);
    EXPECT_EQ(button, mbLeft);
    EXPECT_EQ(downX, 8);
    EXPECT_EQ(downY, 7);
    s.session.Type("a");
    EXPECT_EQ(s.log, (std::vector<std::string>{"OnMouseEnter Edit1", "OnMouseDown Edit1", "OnClick Edit1",
                                               "OnKeyPress inner", "OnChange inner"}));
}

TEST(ValidateEditFrame, OneEnterAndLeavePairPerPassageOfThePointer) {
    ValidateEditScene s;
    s.edit->fSetOnMouseEnter([&](TObject* Sender) { s.log.push_back("enter " + s.Who(Sender)); });
    s.edit->fSetOnMouseLeave([&](TObject* Sender) { s.log.push_back("leave " + s.Who(Sender)); });
    std::vector<uint32_t> states;
    s.PointAt(1, 1);  // the frame edge
    states.push_back(s.edit->MouseInState());
    s.PointAt(1, 5);  // still the frame: nothing new
    s.PointAt(10, 10);  // the inner edit: the frame's leave comes before the edit's enter
    states.push_back(s.edit->MouseInState());
    s.Away();
    states.push_back(s.edit->MouseInState());
    EXPECT_EQ(s.log, (std::vector<std::string>{"enter Edit1", "leave Edit1", "enter Edit1", "leave Edit1"}));
    EXPECT_EQ(states, (std::vector<uint32_t>{0x8000, 0x0001, 0}));
    EXPECT_EQ(s.edit->MouseInReported(), 0u);

    // A source that reports its enter before the other's leave keeps the passage whole.
    s.log.clear();
    s.edit->Perform(CM_MOUSEENTER, 0, 0);
    s.edit->InnerEdit()->Perform(CM_MOUSEENTER, 0, 0);
    s.edit->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(s.edit->MouseInReported(), 0x8000u);  // changes only when an event fires
    s.edit->InnerEdit()->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(s.log, (std::vector<std::string>{"enter Edit1", "leave Edit1"}));
}

TEST(ValidateEditFrame, AHandlerThatRaisesStillLeavesTheStateReported) {
    ValidateEditScene s;
    s.edit->fSetOnMouseEnter([](TObject*) { throw Exception("enter handler failed"); });
    EXPECT_THROW(s.edit->Perform(CM_MOUSEENTER, 0, 0), Exception);
    EXPECT_EQ(s.edit->MouseInReported(), 0x8000u);
}

TEST(ValidateEditFrame, DisabledNormalFrameAndInnerEditTakeTheDisabledColour) {
    ValidateEditScene s;
    TValidateEdit* e = s.edit;
    EXPECT_EQ(s.At(2, 2), Rgb(clWindow));
    e->SetEnabled(false);
    s.session.Pump();
    // Edges, then clBtnFace from inset 2 inwards; the inner edit shows the same colour.
    EXPECT_EQ(s.At(0, 0), Rgb(clGray));
    EXPECT_EQ(s.At(1, 1), Rgb(0x404040));
    EXPECT_EQ(Ring(s, 2), Colors{Rgb(clBtnFace)});
    EXPECT_EQ(e->InnerEdit()->Color(), clBtnFace);
    EXPECT_EQ(s.At(60, 10), Rgb(clBtnFace));

    e->SetEnabled(true);
    s.session.Pump();
    EXPECT_EQ(e->InnerEdit()->Color(), clWindow);
    EXPECT_TRUE(e->InnerEdit()->ParentColor());
    EXPECT_EQ(Ring(s, 2), Colors{Rgb(clWindow)});
    EXPECT_EQ(s.At(60, 10), Rgb(clWindow));

    // A changed disabled colour shows in the frame at once, in the inner edit only when the
    // control is disabled again.
    e->fSetBorderStyle(ebsUltraFlat);
    e->SetEnabled(false);
    e->fGetColors()->fSetVEColor(1, clRed);
    s.session.Pump();
    EXPECT_EQ(Ring(s, 1), Colors{Rgb(clRed)});
    EXPECT_EQ(e->InnerEdit()->Color(), clBtnFace);
    e->SetEnabled(false);
    EXPECT_EQ(e->InnerEdit()->Color(), clRed);
}

TEST(ValidateEditFrame, NormalAndFlatEdgesArePixelExact) {
    ValidateEditScene s;
    const TColor W = Rgb(clWhite), G = Rgb(clGray), D = Rgb(0x404040), L = Rgb(0xDFDFDF);
    const int r = 120, b = 20;
    // Outer ring: grey top row and left column (bottom-left corner grey), white right column and
    // bottom row (top-right corner white); the second ring likewise in dark and light grey.
    EXPECT_EQ(s.At(0, 0), G);
    EXPECT_EQ(s.At(r - 1, 0), G);
    EXPECT_EQ(s.At(r, 0), W);
    EXPECT_EQ(s.At(0, b), G);
    EXPECT_EQ(s.At(1, b), W);
    EXPECT_EQ(s.At(r, b), W);
    EXPECT_EQ(s.At(1, 1), D);
    EXPECT_EQ(s.At(r - 2, 1), D);
    EXPECT_EQ(s.At(r - 1, 1), L);
    EXPECT_EQ(s.At(1, b - 1), D);
    EXPECT_EQ(s.At(2, b - 1), L);
    EXPECT_EQ(Ring(s, 2), Colors{Rgb(clWindow)});

    s.edit->fSetBorderStyle(ebsFlat);
    s.session.Pump();
    EXPECT_EQ(s.At(0, 0), G);
    EXPECT_EQ(s.At(r, 0), W);
    EXPECT_EQ(s.At(0, b), G);
    EXPECT_EQ(Ring(s, 1), Colors{Rgb(clWindow)});
    s.edit->SetEnabled(false);
    s.session.Pump();
    EXPECT_EQ(Ring(s, 1), Colors{Rgb(clBtnFace)});

    s.edit->fSetBorderStyle(ebsNone);
    s.session.Pump();
    EXPECT_EQ(s.At(0, 0), Rgb(clBtnFace));  // the disabled inner edit, edge to edge
}

TEST(ValidateEditFrame, UltraFlatRingsFollowTheState) {
    ValidateEditScene s;
    s.edit->fSetBorderStyle(ebsUltraFlat);
    s.session.Pump();
    const TColor window = Rgb(clWindow);
    auto rings = [&] {
        s.session.Pump();
        return std::vector<Colors>{Ring(s, 0), Ring(s, 1), Ring(s, 2)};
    };
    using R = std::vector<Colors>;
    EXPECT_EQ(rings(), (R{{Rgb(clBlack)}, {window}, {window}}));  // idle
    s.PointAt(1, 1);
    EXPECT_EQ(rings(), (R{{Rgb(clBlue)}, {window}, {window}}));  // hot over the frame
    s.PointAt(20, 10);
    EXPECT_EQ(rings(), (R{{Rgb(clBlue)}, {window}, {window}}));  // hot over the inner edit
    s.Focus();
    EXPECT_TRUE(s.edit->Focused());
    EXPECT_EQ(rings(), (R{{Rgb(clBlue)}, {Rgb(clNavy)}, {window}}));  // hot and focused
    s.Away();
    EXPECT_EQ(rings(), (R{{Rgb(clNavy)}, {Rgb(clNavy)}, {window}}));  // focused
    s.edit->SetEnabled(false);
    s.PointAt(1, 1);
    EXPECT_EQ(rings(), (R{{s.edit->Focused() ? Rgb(clNavy) : Rgb(clBlack)}, {Rgb(clBtnFace)}, {Rgb(clBtnFace)}}));
    s.edit->SetEnabled(true);
    s.Away();

    // Slot colours replace the fallbacks.
    TValidateEditColors* c = s.edit->fGetColors();
    c->fSetVEColor(3, clRed);
    c->fSetVEColor(2, clGreen);
    s.FocusOther();
    s.PointAt(1, 1);
    EXPECT_FALSE(s.edit->Focused());
    EXPECT_EQ(rings(), (R{{Rgb(clRed)}, {window}, {window}}));
    s.Away();
    c->fSetVEColor(0, clFuchsia);
    EXPECT_EQ(rings(), (R{{Rgb(clFuchsia)}, {window}, {window}}));
}

TEST(ValidateEditFrame, ColourSetSlotsAndAssign) {
    ValidateEditScene s;
    TValidateEditColors* c = s.edit->fGetColors();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c->fGetVEColor(i), clDefault);
    c->fSetVEColor(4, clRed);
    c->fSetVEColor(-1, clRed);
    EXPECT_EQ(c->fGetVEColor(4), clDefault);
    EXPECT_EQ(c->fGetVEColor(-1), clDefault);
    TValidateEditColors other(nullptr);
    other.fSetVEColor(0, clRed);
    other.fSetVEColor(3, clBlue);
    s.edit->fSetColors(&other);
    EXPECT_EQ(c->DefaultColor(), clRed);
    EXPECT_EQ(c->HotColor(), clBlue);
    EXPECT_EQ(c->DisabledColor(), clDefault);
    TFont font;
    c->Assign(&font);  // another class: ignored
    c->Assign(nullptr);
    EXPECT_EQ(c->DefaultColor(), clRed);
}

TEST(ValidateEditFrame, TextIsTheInnerEditsThroughTheTextMessages) {
    ValidateEditScene s;
    s.edit->fSetVType(vtInteger);
    s.edit->SetText("12345");  // never filtered
    EXPECT_EQ(s.edit->InnerEdit()->GetText(), "12345");
    EXPECT_EQ(s.edit->Perform(WM_GETTEXTLENGTH, 0, 0), 5);

    char buf[8];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(s.edit->Perform(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buf)), 3);
    EXPECT_EQ(std::string(buf, 5), std::string("123\0x", 5));
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(s.edit->Perform(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), 0);
    EXPECT_EQ(std::string(buf, 8), "xxxxxxxx");
    EXPECT_EQ(s.edit->Perform(WM_GETTEXT, 1, reinterpret_cast<LPARAM>(buf)), 0);
    EXPECT_EQ(buf[0], '\0');

    EXPECT_EQ(s.edit->Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc")), 1);
    EXPECT_EQ(s.edit->Text(), "abc");

    s.edit->InnerEdit()->SetSelStart(1);
    s.edit->InnerEdit()->SetSelLength(1);
    EXPECT_EQ(s.edit->SelText(), "b");
    EXPECT_EQ(s.edit->GetSelTextBuf(buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "b");
    s.edit->SetSelText("x-y");  // not filtered either
    EXPECT_EQ(s.edit->Text(), "ax-yc");
    s.edit->Clear();
    EXPECT_EQ(s.edit->Text(), "");
}

TEST(ValidateEditFrame, ClickOnTheFrameEdgeFocusesTheInnerEdit) {
    ValidateEditScene s;
    s.edit->OnClick = [&](TObject* Sender) { s.log.push_back("OnClick " + s.Who(Sender)); };
    s.edit->OnEnter = [&](TObject* Sender) { s.log.push_back("OnEnter " + s.Who(Sender)); };
    EXPECT_FALSE(s.edit->Focused());
    s.session.ClickAt(s.Hwnd(), s.edit->Left() + 1, s.edit->Top() + 1);
    EXPECT_EQ(GetFocus(), s.edit->InnerEdit()->Handle());
    EXPECT_TRUE(s.edit->Focused());
    EXPECT_EQ(s.log, (std::vector<std::string>{"OnClick Edit1", "OnEnter Edit1"}));
    // A click inside the focused inner edit only clicks.
    s.log.clear();
    s.session.ClickAt(s.Hwnd(), s.edit->Left() + 30, s.edit->Top() + 10);
    EXPECT_EQ(s.log, (std::vector<std::string>{"OnClick Edit1"}));
    EXPECT_TRUE(s.edit->Focused());
}
