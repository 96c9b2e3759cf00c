#include "lumivane/framework/StdCtrls.h"

#include <algorithm>
#include <cstring>

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Graphics.h"
#include "lumivane/framework/Menus.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

// ---- TCustomLabel ----

LUMI_DEFINE_CLASS(TCustomLabel) {}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csOpaque).Include(csReplicatable);
    FWidth = 65;
    FHeight = 17;
    FAutoSize = true;
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

// An opaque label paints every pixel of its rectangle; a transparent one lets the parent
// paint first.
void TCustomLabel::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    if (Value)
        FControlStyle.Exclude(csOpaque);
    else
        FControlStyle.Include(csOpaque);
    InvalidateControl(true);
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_TEXTCHANGED:
        Invalidate();
        AdjustBounds();
        return;
    case CM_FONTCHANGED:
        inherited::Dispatch(Message);
        AdjustBounds();
        return;
    default:
        inherited::Dispatch(Message);
    }
}

void TCustomLabel::Loaded() {
    inherited::Loaded();
    AdjustBounds();
}

std::string TCustomLabel::GetLabelText() {
    std::string text = GetText();
    if (text.empty() && IsDesigning()) text = Name();
    return text;
}

UINT TCustomLabel::DrawTextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (FAlignment == taRightJustify) flags |= DT_RIGHT;
    if (FAlignment == taCenter) flags |= DT_CENTER;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    return flags;
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
    std::string text = GetLabelText();
    // An empty line still has a height to measure.
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
    TCanvas* c = Canvas();
    c->Font()->Assign(FFont.get());
    if (FEnabled || (Flags & DT_CALCRECT)) {
        DrawTextA(c->Handle(), text.c_str(), -1, &Rect, Flags);
        return;
    }
    TRect r = Rect.Offset(1, 1);
    c->Font()->SetColor(clBtnHighlight);
    DrawTextA(c->Handle(), text.c_str(), -1, &r, Flags);
    c->Font()->SetColor(clBtnShadow);
    DrawTextA(c->Handle(), text.c_str(), -1, &Rect, Flags);
}

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    const TRect client = GetClientRect();
    if (!FTransparent) {
        c->Brush()->SetColor(FColor);
        c->FillRect(client);
    }
    c->Brush()->SetStyle(bsClear);
    TRect r = client;
    const UINT flags = DrawTextFlags();
    if (FLayout != tlTop) {
        TRect calc = client;
        DoDrawText(calc, flags | DT_CALCRECT);
        const int spare = client.Height() - calc.Height();
        r.Top += FLayout == tlBottom ? spare : spare / 2;
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (IsLoading() || !FAutoSize) return;
    HDC dc = GetDC(nullptr);
    if (!dc) return;
    TRect r = GetClientRect();
    r.Bottom = r.Top;
    if (!FWordWrap) r.Right = r.Left;
    TCanvas* c = Canvas();
    const bool bound = c->HandleAllocated();
    if (!bound) c->SetHandle(dc);
    try {
        DoDrawText(r, DrawTextFlags() | DT_CALCRECT);
    } catch (...) {
        if (!bound) c->SetHandle(nullptr);
        ReleaseDC(nullptr, dc);
        throw;
    }
    if (!bound) c->SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    // With WordWrap the width is the wrapping width and stays; otherwise the text decides.
    const int w = FWordWrap ? FWidth : r.Width();
    int x = FLeft;
    if (FAlignment == taRightJustify) x += FWidth - w;
    SetBounds(x, FTop, w, r.Height());
}

static const std::initializer_list<std::string_view> kLabelProps = {
    "Align", "Alignment", "Anchors", "AutoSize", "BiDiMode", "Caption", "Color", "Constraints", "DragCursor",
    "DragKind", "DragMode", "Enabled", "FocusControl", "Font", "ParentBiDiMode", "ParentColor", "ParentFont",
    "ParentShowHint", "PopupMenu", "ShowAccelChar", "ShowHint", "Transparent", "Layout", "Visible", "WordWrap",
    "OnClick", "OnContextPopup", "OnDblClick", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag",
    "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnMouseEnter", "OnMouseLeave", "OnStartDock", "OnStartDrag"};

LUMI_DEFINE_CLASS(TLabel) {
    PublishControlProps(p, {"Cursor", "Hint"});
    for (std::string_view n : kLabelProps) {
        if (n == "Alignment")
            p.Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, AlignmentNames, taLeftJustify);
        else if (n == "AutoSize")
            p.Prop("AutoSize", &TLabel::AutoSize, [](TLabel* l, bool v) { l->SetAutoSize(v); }, true);
        else if (n == "FocusControl")
            p.Component<TWinControl>("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
        else if (n == "ShowAccelChar")
            p.Prop("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar, true);
        else if (n == "Transparent")
            p.Prop("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false);
        else if (n == "Layout")
            p.Enum("Layout", &TLabel::Layout, &TLabel::SetLayout, TextLayoutNames, tlTop);
        else if (n == "WordWrap")
            p.Prop("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false);
        else
            PublishControlProps(p, {n});
    }
}

// ---- TButtonControl, TButton ----

LUMI_DEFINE_CLASS(TButtonControl) {}

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

LUMI_DEFINE_CLASS(TButton) {
    p.Cursor("Cursor", &TButton::Cursor, &TButton::SetCursor, crDefault).Prop("Hint", &TButton::Hint, &TButton::SetHint);
    for (std::string_view n : {"Anchors", "BiDiMode", "Cancel", "Caption", "Constraints", "Default", "DragCursor",
                               "DragKind", "DragMode", "Enabled", "Font", "ModalResult", "ParentBiDiMode",
                               "ParentFont", "ParentShowHint", "PopupMenu", "ShowHint", "TabOrder", "TabStop", "Visible",
                               "OnClick", "OnContextPopup", "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag",
                               "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove",
                               "OnMouseUp", "OnStartDock", "OnStartDrag"}) {
        if (n == "Cancel")
            p.Prop("Cancel", &TButton::Cancel, &TButton::SetCancel, false);
        else if (n == "Default")
            p.Prop("Default", &TButton::Default, &TButton::SetDefault, false);
        else if (n == "ModalResult")
            p.Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, mrNone);
        else if (n == "TabStop")
            p.Prop("TabStop", &TButton::TabStop, &TButton::SetTabStop, true);
        else
            PublishControlProps(p, {n});
    }
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FWidth = 75;
    FHeight = 25;
    FTabStop = true;
    FColor = clBtnFace;
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    TWinControl* focused = FParent ? TopParent()->FocusedControl() : nullptr;
    const bool active = dynamic_cast<TButton*>(focused) ? focused == this : FDefault;
    if (active == FActive) return;
    FActive = active;
    if (FHandle) SetButtonStyle(FActive);
}

void TButton::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
    inherited::CreateWnd();
    FActive = FDefault;
}

void TButton::SetButtonStyle(bool ADefault) {
    if (!FHandle) return;
    const auto type = static_cast<uint32_t>(GetWindowLongPtrA(FHandle, GWL_STYLE)) & BS_TYPEMASK;
    if ((type == BS_PUSHBUTTON && ADefault) || (type == BS_DEFPUSHBUTTON && !ADefault))
        SendMessageA(FHandle, BM_SETSTYLE, ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, 1);
}

void TButton::Click() {
    TWatch w(this);
    if (FModalResult != mrNone && FParent) TopParent()->RequestModalResult(FModalResult);
    if (w.Alive()) inherited::Click();
}

void TButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == BN_CLICKED) Click();
        return;
    case CM_FOCUSCHANGED: {
        auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
        FActive = dynamic_cast<TButton*>(focused) ? focused == this : FDefault;
        SetButtonStyle(FActive);
        inherited::Dispatch(Message);
        return;
    }
    case CM_DIALOGKEY: {
        const TShiftState shift = KeyboardShiftState();
        const bool hit = (Message.WParam == VK_RETURN && FActive) || (Message.WParam == VK_ESCAPE && FCancel);
        if (hit && shift.Empty() && CanFocus()) {
            Message.Result = 1;
            Click();
            return;
        }
        inherited::Dispatch(Message);
        return;
    }
    default:
        inherited::Dispatch(Message);
    }
}

// ---- TCustomEdit ----

LUMI_DEFINE_CLASS(TCustomEdit) {}

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
    FWidth = 121;
    FHeight = 21;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FAutoSize = true;
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
    Params.Style |= ES_AUTOHSCROLL;
    if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
    if (FReadOnly) Params.Style |= ES_READONLY;
    if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
    if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
}

void TCustomEdit::CreateWnd() {
    FCreating = true;
    try {
        inherited::CreateWnd();
        SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
        if (FPasswordChar) SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
    } catch (...) {
        FCreating = false;
        throw;
    }
    FCreating = false;
}

// Style bits the native edit reads as it works.
static void SetEditStyle(HWND h, uint32_t bits, bool on) {
    if (!h) return;
    auto style = static_cast<uint32_t>(GetWindowLongPtrA(h, GWL_STYLE));
    style = on ? (style | bits) : (style & ~bits);
    SetWindowLongPtrA(h, GWL_STYLE, static_cast<LONG_PTR>(style));
    InvalidateRect(h, nullptr, false);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (FCharCase == Value) return;
    FCharCase = Value;
    SetEditStyle(FHandle, ES_UPPERCASE, Value == ecUpperCase);
    SetEditStyle(FHandle, ES_LOWERCASE, Value == ecLowerCase);
}

void TCustomEdit::SetHideSelection(bool Value) {
    if (FHideSelection == Value) return;
    FHideSelection = Value;
    SetEditStyle(FHandle, ES_NOHIDESEL, !Value);
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = std::max(0, Value);
    if (FHandle) Perform(EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomEdit::SetPasswordChar(char Value) {
    if (FPasswordChar == Value) return;
    FPasswordChar = Value;
    if (FHandle) Perform(EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value), 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (FHandle) Perform(EM_SETREADONLY, Value ? 1 : 0, 0);
}

bool TCustomEdit::Modified() { return FHandle && Perform(EM_GETMODIFY, 0, 0) != 0; }
void TCustomEdit::SetModified(bool Value) {
    if (HandleAllocated()) Perform(EM_SETMODIFY, Value ? 1 : 0, 0);
}
bool TCustomEdit::CanUndo() { return FHandle && Perform(EM_CANUNDO, 0, 0) != 0; }

int TCustomEdit::SelStart() {
    uint32_t start = 0, end = 0;
    Handle();
    Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

int TCustomEdit::SelLength() {
    uint32_t start = 0, end = 0;
    Handle();
    Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end > start ? static_cast<int>(end - start) : 0;
}

void TCustomEdit::SetSelStart(int Value) {
    Handle();
    Perform(EM_SETSEL, static_cast<WPARAM>(std::max(0, Value)), std::max(0, Value));
}

void TCustomEdit::SetSelLength(int Value) {
    const int start = SelStart();
    Perform(EM_SETSEL, static_cast<WPARAM>(start), start + std::max(0, Value));
}

std::string TCustomEdit::SelText() {
    const int start = SelStart(), len = SelLength();
    const std::string text = GetText();
    if (start >= static_cast<int>(text.size())) return {};
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(len));
}

void TCustomEdit::SetSelText(const std::string& Value) {
    Handle();
    Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

int TCustomEdit::GetSelTextBuf(char* Buffer, int BufSize) {
    if (!Buffer || BufSize <= 0) return 0;
    const std::string s = SelText();
    const size_t n = std::min(s.size(), static_cast<size_t>(BufSize - 1));
    std::memcpy(Buffer, s.data(), n);
    Buffer[n] = '\0';
    return static_cast<int>(n);
}

void TCustomEdit::Clear() { SetText(std::string()); }
void TCustomEdit::ClearSelection() { Perform(WM_CLEAR, 0, 0); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { Perform(WM_UNDO, 0, 0); }
void TCustomEdit::SelectAll() {
    Handle();
    Perform(EM_SETSEL, 0, -1);
}

// Entering by keyboard selects everything; a click places the caret where it lands.
void TCustomEdit::DoEnter() {
    if (FAutoSelect && !FControlState.Contains(csLButtonDown)) SelectAll();
    inherited::DoEnter();
}

void TCustomEdit::Change() { OnChange(this); }

void TCustomEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating) Change();
        return;
    case WM_PAINT: {
        TWatch w(this);
        inherited::Dispatch(Message);
        if (w.Alive()) PaintBorder();
        return;
    }
    default:
        inherited::Dispatch(Message);
    }
}

// The sunken 2-pixel frame over the native edit's outer pixels (its text starts inside them).
void TCustomEdit::PaintBorder() {
    if (FBorderStyle != bsSingle || !FHandle) return;
    HDC dc = GetDC(FHandle);
    if (!dc) return;
    RECT r;
    lumivane::GetClientRect(FHandle, &r);
    const int L = r.Left, T = r.Top, R = r.Right - 1, B = r.Bottom - 1;
    auto line = [dc](int x1, int y1, int x2, int y2, TColor c) {
        dc->pen.color = c;
        dc->MoveTo(x1, y1);
        dc->LineTo(x2, y2);
    };
    dc->pen.style = PS_SOLID;
    dc->pen.width = 1;
    line(L, B, L, T, clBtnShadow);
    line(L, T, R, T, clBtnShadow);
    line(R, T, R, B, clBtnHighlight);
    line(R, B, L - 1, B, clBtnHighlight);
    line(L + 1, B - 1, L + 1, T + 1, cl3DDkShadow);
    line(L + 1, T + 1, R - 1, T + 1, cl3DDkShadow);
    line(R - 1, T + 1, R - 1, B - 1, clBtnFace);
    line(R - 1, B - 1, L, B - 1, clBtnFace);
    ReleaseDC(FHandle, dc);
}

LUMI_DEFINE_CLASS(TEdit) {
    PublishControlProps(p, {"Cursor", "Hint"});
    for (std::string_view n :
         {"Anchors", "AutoSelect", "AutoSize", "BevelEdges", "BevelInner", "BevelKind", "BevelOuter", "BiDiMode",
          "BorderStyle", "CharCase", "Color", "Constraints", "Ctl3D", "DragCursor", "DragKind", "DragMode", "Enabled",
          "Font", "HideSelection", "ImeMode", "ImeName", "MaxLength", "OEMConvert", "ParentBiDiMode", "ParentColor",
          "ParentCtl3D", "ParentFont", "ParentShowHint", "PasswordChar", "PopupMenu", "ReadOnly", "ShowHint",
          "TabOrder", "TabStop", "Text", "Visible", "OnChange", "OnClick", "OnContextPopup", "OnDblClick",
          "OnDragDrop", "OnDragOver", "OnEndDock", "OnEndDrag", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress",
          "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp", "OnStartDock", "OnStartDrag"}) {
        if (n == "AutoSelect")
            p.Prop("AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect, true);
        else if (n == "AutoSize")
            p.Prop("AutoSize", &TEdit::AutoSize, [](TEdit* e, bool v) { e->SetAutoSize(v); }, true);
        else if (n == "BorderStyle")
            p.Enum("BorderStyle", &TEdit::BorderStyle, &TEdit::SetBorderStyle, {"bsNone", "bsSingle"}, bsSingle);
        else if (n == "CharCase")
            p.Enum("CharCase", &TEdit::CharCase, &TEdit::SetCharCase, EditCharCaseNames, ecNormal);
        else if (n == "HideSelection")
            p.Prop("HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection, true);
        else if (n == "MaxLength")
            p.Prop("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength, 0);
        else if (n == "OEMConvert")
            p.Prop("OEMConvert", &TEdit::OEMConvert, &TEdit::SetOEMConvert, false);
        else if (n == "PasswordChar")
            // Stored as a one-character string, as layouts write characters ('*' or #0).
            p.String("PasswordChar", [](TEdit* e) { return e->PasswordChar() ? std::string(1, e->PasswordChar()) : std::string(); },
                     [](TEdit* e, const std::string& v) { e->SetPasswordChar(v.empty() ? '\0' : v[0]); });
        else if (n == "ReadOnly")
            p.Prop("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly, false);
        else if (n == "TabStop")
            p.Prop("TabStop", &TEdit::TabStop, &TEdit::SetTabStop, true);
        else if (n == "OnChange")
            p.Event("OnChange", &TEdit::OnChange, &TEdit::OnChange);
        else
            PublishControlProps(p, {n});
    }
}

void RegisterStandardControls() {
    RegisterClasses({TControl::StaticClass(), TWinControl::StaticClass(), TGraphicControl::StaticClass(),
                     TCustomControl::StaticClass(), TCustomLabel::StaticClass(), TLabel::StaticClass(),
                     TButtonControl::StaticClass(), TButton::StaticClass(), TCustomEdit::StaticClass(),
                     TEdit::StaticClass(), TTimer::StaticClass()});
    RegisterMenuClasses();
}

}  // namespace lumivane
