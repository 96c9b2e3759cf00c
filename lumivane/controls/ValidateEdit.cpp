#include "lumivane/controls/ValidateEdit.h"

#include <algorithm>
#include <cstring>

#include "lumivane/controls/ValidateEditPublished.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Cursors.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/windows/Input.h"
#include "lumivane/gfx/raster/Color.h"
#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/HandlerCalls.h"

namespace lumivane {

// ---- TValidateEditColors ----

LUMI_DEFINE_CLASS(TValidateEditColors) {
    auto slot = [&](std::string_view name, int index) {
        p.Color(name, [index](TValidateEditColors* c) { return c->fGetVEColor(index); },
                [index](TValidateEditColors* c, TColor v) { c->fSetVEColor(index, v); }, clDefault);
    };
    slot("DefaultColor", 0);
    slot("DisabledColor", 1);
    slot("FocusedColor", 2);
    slot("HotColor", 3);
}

TValidateEditColors::TValidateEditColors(TWinControl* AOwner) : FOwnerControl(AOwner) {
    for (TColor& c : FColors) c = clDefault;
}

TColor TValidateEditColors::fGetVEColor(int Index) const {
    return Index >= 0 && Index < 4 ? FColors[Index] : clDefault;
}

void TValidateEditColors::fSetVEColor(int Index, TColor Value) {
    if (Index < 0 || Index >= 4) return;
    FColors[Index] = Value;
    if (FOwnerControl) FOwnerControl->Invalidate();
}

void TValidateEditColors::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TValidateEditColors*>(Source);
    if (!src) return;
    std::copy(std::begin(src->FColors), std::end(src->FColors), std::begin(FColors));
    if (FOwnerControl) FOwnerControl->Invalidate();
}

// ---- TCustomValidateEdit ----

LUMI_DEFINE_CLASS(TCustomValidateEdit) {}

TCustomValidateEdit::TCustomValidateEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    FBorderStyle = ebsNormal;
    FFocused = false;
    FMouseInState = 0;
    FMouseInReported = 0;
    FColors = std::make_unique<TValidateEditColors>(this);
    FEdit = new TKdCustomInplaceEdit(this);
    FEdit->SetParent(this);
    FEdit->SetParentColor(true);
    FEdit->OnClick = TNotifyEvent(this, &TCustomValidateEdit::_EditOnClick);
    FEdit->OnDblClick = TNotifyEvent(this, &TCustomValidateEdit::_EditOnDblClick);
    FEdit->OnMouseDown = TMouseEvent(this, &TCustomValidateEdit::_EditMouseDown);
    FEdit->OnMouseMove = TMouseMoveEvent(this, &TCustomValidateEdit::_EditMouseMove);
    FEdit->OnMouseUp = TMouseEvent(this, &TCustomValidateEdit::_EditMouseUp);
    FEdit->OnMouseEnter = TNotifyEvent(this, &TCustomValidateEdit::_EditMouseEnter);
    FEdit->OnMouseLeave = TNotifyEvent(this, &TCustomValidateEdit::_EditMouseLeave);
    SetWidth(121);
    SetHeight(21);
    SetParentColor(false);
    SetColor(clWindow);
    // Not the virtual EdgeWidthAdj: a descendant's layout is not ready yet and runs at the end
    // of its own constructor.
    _fEdgeWidthAdj();
}

TCustomValidateEdit::~TCustomValidateEdit() {
    delete FEdit;
    FEdit = nullptr;
    FColors.reset();
}

void TCustomValidateEdit::Clear() { FEdit->Clear(); }

int TCustomValidateEdit::GetSelTextBuf(char* Buffer, int BufSize) { return FEdit->GetSelTextBuf(Buffer, BufSize); }

int TCustomValidateEdit::GetBorderWidth() {
    switch (FBorderStyle) {
    case ebsNormal: return 2;
    case ebsFlat: return 1;
    case ebsUltraFlat: return 2;
    default: return 0;
    }
}

void TCustomValidateEdit::EdgeWidthAdj() { _fEdgeWidthAdj(); }

// The inner edit has no border and does not size itself to its font: these are its bounds. A
// control smaller than the frame leaves it empty rather than negative.
void TCustomValidateEdit::_fEdgeWidthAdj() {
    int w = GetBorderWidth();
    if (w != 0) w += 1;
    FEdit->SetBounds(w, w, std::max(0, Width() - 2 * w), std::max(0, Height() - 2 * w));
}

void TCustomValidateEdit::fSetColors(TValidateEditColors* Value) {
    FColors->Assign(Value);
    Invalidate();
}

void TCustomValidateEdit::fSetBorderStyle(TKdEditBorderStyle Value) {
    FBorderStyle = Value;
    EdgeWidthAdj();
    Invalidate();
}

TColor TCustomValidateEdit::_fSlotColor(int Index) const {
    static constexpr TColor fallback[4] = {clBlack, clBtnFace, clNavy, clBlue};
    const TColor c = FColors->fGetVEColor(Index);
    return c == clDefault ? fallback[Index] : c;
}

void TCustomValidateEdit::SetEnabled(bool Value) {
    if (Value)
        FEdit->SetParentColor(true);
    else
        FEdit->SetColor(_fSlotColor(1));
    Invalidate();
    inherited::SetEnabled(Value);
}

void TCustomValidateEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    inherited::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TCustomValidateEdit::Resize() {
    TWatch w(this);
    inherited::Resize();
    if (w.Alive()) EdgeWidthAdj();
}

void TCustomValidateEdit::Loaded() {
    inherited::Loaded();
    EdgeWidthAdj();
}

void TCustomValidateEdit::DoEnter() {
    FFocused = true;
    Invalidate();
    inherited::DoEnter();
}

void TCustomValidateEdit::DoExit() {
    FFocused = false;
    Invalidate();
    inherited::DoExit();
}

// A click on the frame puts the focus in the inner edit (through WM_SETFOCUS).
void TCustomValidateEdit::Click() {
    TWatch w(this);
    inherited::Click();
    if (!w.Alive()) return;
    if (GetFocus() != FEdit->Handle()) lumivane::SetFocus(Handle());
}

// ---- Messages ----

void TCustomValidateEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_SETTEXT: WMSetText(Message); return;
    case WM_GETTEXT: WMGetText(Message); return;
    case WM_GETTEXTLENGTH: WMGetTextLength(Message); return;
    case CM_MOUSEENTER: CMMouseEnter(Message); return;
    case CM_MOUSELEAVE: CMMouseLeave(Message); return;
    default: inherited::Dispatch(Message);
    }
}

void TCustomValidateEdit::WMSetFocus(TMessage& Message) {
    FEdit->SetFocus();
    Message.Result = 0;
}

// The control's own window text stays empty: its text is the inner edit's.
void TCustomValidateEdit::WMSetText(TMessage& Message) {
    const auto* text = reinterpret_cast<const char*>(Message.LParam);
    FEdit->SetText(text ? std::string(text) : std::string());
    Message.Result = 1;
}

void TCustomValidateEdit::WMGetText(TMessage& Message) {
    const size_t max = Message.WParam;
    auto* buffer = reinterpret_cast<char*>(Message.LParam);
    if (max == 0 || !buffer) {
        Message.Result = 0;
        return;
    }
    // The buffer holds max bytes: whole characters only, never past its end.
    const std::string text = FEdit->GetText();
    const size_t n = FitUtf8(text, max - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    Message.Result = static_cast<LRESULT>(n);
}

void TCustomValidateEdit::WMGetTextLength(TMessage& Message) {
    Message.Result = static_cast<LRESULT>(FEdit->GetText().size());
}

// ---- Pointer ----

void TCustomValidateEdit::CMMouseEnter(TMessage&) {
    FMouseInState |= kMouseInFrame;
    EvMouseEnter();
}

void TCustomValidateEdit::CMMouseLeave(TMessage&) {
    FMouseInState &= ~kMouseInFrame;
    EvMouseLeave();
}

// One enter and one leave per passage over the whole control, whichever part the pointer
// crosses, as long as the part entered reports before the part left. The reported state and
// the repaint follow the handler even when it raises.
void TCustomValidateEdit::EvMouseEnter() {
    if (FMouseInState == 0 || FMouseInReported != 0) return;
    _fReportMouseCrossing(OnMouseEnter);
}

void TCustomValidateEdit::EvMouseLeave() {
    if (FMouseInReported == 0 || FMouseInState != 0) return;
    _fReportMouseCrossing(OnMouseLeave);
}

void TCustomValidateEdit::_fReportMouseCrossing(const TNotifyEvent& Handler) {
    CallHandlerThen(this, [&] { Handler(this); }, [&] {
        FMouseInReported = FMouseInState;
        Invalidate();
    });
}

// ---- The inner edit's events, fired again as this control's ----

void TCustomValidateEdit::_EditOnClick(TObject*) { Click(); }
void TCustomValidateEdit::_EditOnDblClick(TObject*) { DblClick(); }

void TCustomValidateEdit::_EditMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
    MouseDown(Button, Shift, X + FEdit->Left(), Y + FEdit->Top());
}

void TCustomValidateEdit::_EditMouseMove(TObject*, TShiftState Shift, int X, int Y) {
    MouseMove(Shift, X + FEdit->Left(), Y + FEdit->Top());
}

void TCustomValidateEdit::_EditMouseUp(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
    MouseUp(Button, Shift, X + FEdit->Left(), Y + FEdit->Top());
}

void TCustomValidateEdit::_EditMouseEnter(TObject*) {
    FMouseInState |= kMouseInEdit;
    EvMouseEnter();
}

void TCustomValidateEdit::_EditMouseLeave(TObject*) {
    FMouseInState &= ~kMouseInEdit;
    EvMouseLeave();
}

// ---- TValidateEdit ----

LUMI_DEFINE_CLASS(TValidateEdit) { PublishValidateEditProps(p, vtNone); }

void TCustomValidateEdit::GetAccessible(TAccessibleInfo& Info) {
    TAccessibleInfo inner;
    FEdit->TCustomEdit::GetAccessible(inner);
    inherited::GetAccessible(Info);
    Info.Role = TAccRole::Entry;
    Info.Name = Hint().empty() ? Name() : Hint();
    Info.Description.clear();
    Info.HasText = true;
    for (TAccState s : {asFocusable, asEditable, asSingleLine})
        if (inner.States.Contains(s)) Info.States << s;
    if (!Enabled()) Info.States >> asEditable;
}

// Both go to the inner edit while this control is enabled: a disabled host leaves its inner
// edit enabled, and a screen reader must not type where the user cannot.
bool TCustomValidateEdit::InsertAccessibleText(int Offset, const std::string& Text) {
    return Enabled() && FEdit->InsertAccessibleText(Offset, Text);
}

bool TCustomValidateEdit::DeleteAccessibleText(int Start, int End) {
    return Enabled() && FEdit->DeleteAccessibleText(Start, End);
}

namespace ValidateEdit {
void Register() { RegisterComponents("Lumivane", {TValidateEdit::StaticClass()}); }
}  // namespace ValidateEdit

}  // namespace lumivane
