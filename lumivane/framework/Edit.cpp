#include "lumivane/framework/Edit.h"

#include <algorithm>
#include <cstring>

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/gfx/text/TextEncoding.h"
#include "lumivane/windows/NativeEdit.h"
#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

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
        if (FPasswordChar) SendMessageA(FHandle, EM_SETPASSWORDCHAR, FPasswordChar, 0);
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

void TCustomEdit::SetPasswordChar(char32_t Value) {
    if (FPasswordChar == Value) return;
    FPasswordChar = Value;
    if (FHandle) Perform(EM_SETPASSWORDCHAR, Value, 0);
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
    const size_t from = CharToByte(text, static_cast<size_t>(start));
    const size_t to = from + CharToByte(std::string_view(text).substr(from), static_cast<size_t>(len));
    return text.substr(from, to - from);
}

std::string_view TCustomEdit::TextView() { return NativeEditText(Handle()); }

void TCustomEdit::SetSelText(const std::string& Value) {
    Handle();
    Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

int TCustomEdit::GetSelTextBuf(char* Buffer, int BufSize) {
    if (!Buffer || BufSize <= 0) return 0;
    const std::string s = SelText();
    const size_t n = FitUtf8(s, static_cast<size_t>(BufSize - 1));
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

void TCustomEdit::Change() {
    AccNotifyText(this);
    OnChange(this);
}

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
            p.String("PasswordChar", [](TEdit* e) { return CharToString(e->PasswordChar()); },
                     [](TEdit* e, const std::string& v) { e->SetPasswordChar(FirstCharOf(v)); });
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

}  // namespace lumivane
