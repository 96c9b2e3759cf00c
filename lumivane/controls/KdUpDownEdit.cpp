#include "lumivane/controls/KdUpDownEdit.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

#include "lumivane/controls/KdUpDownButtonColors.h"
#include "lumivane/controls/KdUpDownValue.h"
#include "lumivane/controls/ValidateEditPublished.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/raster/Color.h"
#include "lumivane/framework/HandlerCalls.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TKdCustomUpDownEdit) {}

TKdCustomUpDownEdit::TKdCustomUpDownEdit(TComponent* AOwner) : TCustomValidateEdit(AOwner) {
    fSetValue(0);
    fSetVType(vtInteger);
    FUpDownColors = std::make_unique<TKdUpDownButtonColors>(this);
    FUpButton = _fNewButton(false);
    FDownButton = _fNewButton(true);
    FEdit->OnKeyDown = TKeyEvent(this, &TKdCustomUpDownEdit::EvKeyDown);
    FEdit->OnKeyUp = TKeyEvent(this, &TKdCustomUpDownEdit::EvKeyUp);
    _fEdgeWidthAdj();
}

TKdCustomUpDownButton* TKdCustomUpDownEdit::_fNewButton(bool IsDown) {
    auto* b = new TKdCustomUpDownButton(this);
    b->SetParent(this);
    b->fSetIsDownButton(IsDown);
    b->Invalidate();
    b->OnMouseEnter = TNotifyEvent(this, &TKdCustomUpDownEdit::_fUpDownMouseEnter);
    b->OnMouseLeave = TNotifyEvent(this, &TKdCustomUpDownEdit::_fUpDownMouseLeave);
    return b;
}

TKdCustomUpDownEdit::~TKdCustomUpDownEdit() {
    delete FDownButton;
    FDownButton = nullptr;
    delete FUpButton;
    FUpButton = nullptr;
    FUpDownColors.reset();
}

// ---- Value and limits ----

int64_t TKdCustomUpDownEdit::fGetValue() { return KdUpDownValue::Read(GetText(), FMinValue); }

void TKdCustomUpDownEdit::fSetValue(int64_t Value) {
    SetText(KdUpDownValue::Format(KdUpDownValue::Clamp(Value, FMinValue, FMaxValue)));
}

void TKdCustomUpDownEdit::_fApplyLimitRule() {
    fSetVType(KdUpDownValue::AllowsMinus(FMinValue, FMaxValue) ? vtInteger : vtIntegerPs);
}

void TKdCustomUpDownEdit::fSetMinVal(int64_t Value) {
    KdUpDownValue::WriteMin(FMinValue, FMaxValue, Value);
    _fApplyLimitRule();
    if (fGetValue() < FMinValue) fSetValue(FMinValue);
}

void TKdCustomUpDownEdit::fSetMaxVal(int64_t Value) {
    KdUpDownValue::WriteMax(FMinValue, FMaxValue, Value);
    _fApplyLimitRule();
    if (fGetValue() > FMaxValue) fSetValue(FMaxValue);
}

void TKdCustomUpDownEdit::fSetUpDnColors(TKdUpDownButtonColors* Value) { FUpDownColors->Assign(Value); }

TColor TKdCustomUpDownEdit::UpDownColor(int Index) const { return FUpDownColors->fGetVEColor(Index); }

void TKdCustomUpDownEdit::StepValue(int Delta) {
    TWatch w(this);
    fSetValue(KdUpDownValue::WrappingAdd(fGetValue(), Delta));
    if (!w.Alive()) return;  // an OnChange handler may free the control
    FEdit->SetSelStart(0);
    FEdit->SetSelLength(static_cast<int>(GetText().size()));
}

// ---- Layout ----

void TKdCustomUpDownEdit::EdgeWidthAdj() { _fEdgeWidthAdj(); }

// The inner edit ends where the buttons begin. The buttons sit inside the frame's edge, one
// pixel inside the control's edge for the ultra-flat look (its outer ring stays visible), and
// against the edge without a frame. A control too small for them gives empty sizes, never
// negative ones.
void TKdCustomUpDownEdit::_fEdgeWidthAdj() {
    if (!FUpButton || !FDownButton) return;  // the base class's constructor, before the buttons
    const int w = Width(), h = Height(), bw = GetBorderWidth();
    const int inset = bw != 0 ? bw + 1 : 0;
    const int margin = FBorderStyle == ebsUltraFlat ? 1 : bw;
    const int left = w - kButtonWidth - margin;
    FEdit->SetBounds(inset, inset, std::max(0, w - inset - kButtonWidth - margin), std::max(0, h - 2 * inset));
    for (TKdCustomUpDownButton* b : {FUpButton, FDownButton}) {
        b->fSetBorderStyle(FBorderStyle);
        b->Invalidate();
    }
    FUpButton->SetBounds(left, margin, kButtonWidth, std::max(0, h / 2 - margin));
    FDownButton->SetBounds(left, margin + FUpButton->Height(), kButtonWidth,
                           std::max(0, h - 2 * margin - FUpButton->Height()));
}

// ---- Keys and focus ----

void TKdCustomUpDownEdit::DoEnter() { inherited::DoEnter(); }

void TKdCustomUpDownEdit::DoExit() {
    const bool wasHeld = FUpKeyDown || FDownKeyDown;
    FUpKeyDown = false;
    FDownKeyDown = false;
    if (wasHeld) Invalidate();
    inherited::DoExit();
}

// The user's handler goes first and sees this control as sender; whatever it raised, the arrow
// keys are handled before the exception goes on. Auto-repeat of a held key steps every time;
// the flag and repaint come with the first press only.
void TKdCustomUpDownEdit::EvKeyDown(TObject*, WORD& Key, TShiftState Shift) {
    CallHandlerThen(this, [&] { FOnKeyDown(this, Key, Shift); }, [&] {
        if (Key != VK_UP && Key != VK_DOWN) return;
        const bool up = Key == VK_UP;
        bool& held = up ? FUpKeyDown : FDownKeyDown;
        if (!held) {
            held = true;
            Invalidate();
        }
        Key = 0;  // the inner edit never sees it
        StepValue(up ? +1 : -1);
    });
}

void TKdCustomUpDownEdit::EvKeyUp(TObject*, WORD& Key, TShiftState Shift) {
    CallHandlerThen(this, [&] { FOnKeyUp(this, Key, Shift); }, [&] {
        bool* held = Key == VK_UP ? &FUpKeyDown : Key == VK_DOWN ? &FDownKeyDown : nullptr;
        if (held && *held) {
            *held = false;
            Invalidate();
        }
    });
}

// ---- Hover ----

void TKdCustomUpDownEdit::_fUpDownMouseEnter(TObject* Sender) {
    if (Sender == FUpButton) FMouseInState |= kMouseInUpButton;
    if (Sender == FDownButton) FMouseInState |= kMouseInDownButton;
    EvMouseEnter();
}

void TKdCustomUpDownEdit::_fUpDownMouseLeave(TObject* Sender) {
    if (Sender == FUpButton) FMouseInState &= ~kMouseInUpButton;
    if (Sender == FDownButton) FMouseInState &= ~kMouseInDownButton;
    EvMouseLeave();
}

// ---- TKdUpDownEdit ----

// The value comes before its limits in a stored form: it is written unclamped (no limits yet),
// and each limit then pulls it in on its own side. ValidateType is always stored, since the
// limits read before it choose one of their own.
LUMI_DEFINE_CLASS(TKdUpDownEdit) {
    using E = TKdUpDownEdit;
    p.Prop("Value", &E::fGetValue, &E::fSetValue, int64_t{0})
        .Prop("MinValue", &E::fGetMinVal, &E::fSetMinVal, int64_t{0})
        .Prop("MaxValue", &E::fGetMaxVal, &E::fSetMaxVal, int64_t{0})
        .Object("UpDownColors", &E::fGetUpDnColors);
    PublishValidateEditProps(p);
}

void TKdCustomUpDownEdit::GetAccessible(TAccessibleInfo& Info) {
    inherited::GetAccessible(Info);
    Info.Role = TAccRole::SpinButton;
    Info.HasValue = true;
    const bool limited = FMinValue != 0 || FMaxValue != 0;
    Info.Minimum = static_cast<double>(limited ? FMinValue : std::numeric_limits<int64_t>::min());
    Info.Maximum = static_cast<double>(limited ? FMaxValue : std::numeric_limits<int64_t>::max());
    Info.Current = static_cast<double>(fGetValue());
    Info.Increment = 1;
}

bool TKdCustomUpDownEdit::SetAccessibleValue(double Value) {
    if (std::isnan(Value) || !Enabled()) return false;
    // 2^63 is the first double above the range; -2^63 is its lowest value, exactly.
    constexpr double kTop = 9223372036854775808.0;
    int64_t v;
    if (Value >= kTop)
        v = std::numeric_limits<int64_t>::max();
    else if (Value <= -kTop)
        v = std::numeric_limits<int64_t>::min();
    else
        v = static_cast<int64_t>(std::llround(Value));
    fSetValue(v);
    return true;
}

namespace KdUpDownEdit {
void Register() { RegisterComponents("Lumivane", {TKdUpDownEdit::StaticClass()}); }
}  // namespace KdUpDownEdit

}  // namespace lumivane
