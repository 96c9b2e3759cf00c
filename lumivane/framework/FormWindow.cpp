// TCustomForm as a window: its frame and style, bounds and position on the screen, focus,
// icon, painting and messages.
#include "lumivane/framework/Form.h"

#include <algorithm>
#include <cctype>

#include "lumivane/framework/CursorShapes.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Image.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/MessageBox.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Label.h"
#include "lumivane/framework/Picture.h"

namespace lumivane {

TFormFrame FormFrame(TFormBorderStyle Style) {
    switch (Style) {
    case bsNone: return {0, 0, 0, 0};
    case bsSingle:
    case bsDialog: return {3, 22, 3, 3};
    case bsToolWindow: return {3, 19, 3, 3};
    case bsSizeToolWin: return {4, 20, 4, 4};
    case bsSizeable:
    default: return {4, 23, 4, 4};
    }
}


void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    FBorderIcons = Value;
    UpdateWindowStyle();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    UpdateWindowStyle();
}

void TCustomForm::UpdateWindowStyle() {
    if (!FHandle) return;
    TCreateParams params;
    CreateParams(params);
    SetWindowLongPtrA(FHandle, GWL_STYLE, static_cast<LONG_PTR>(params.Style | (IsWindowVisible(FHandle) ? uint32_t(WS_VISIBLE) : 0u)));
    // The outer size stays; the client area follows the new frame.
    const TRect r = BoundsToWindowRect(BoundsRect());
    FSettingBounds = true;
    MoveWindow(FHandle, r.Left, r.Top, r.Width(), r.Height(), true);
    FSettingBounds = false;
    Realign();
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
    RememberActive(Control);
    if (Control && Showing() && Control->CanFocus()) Control->SetFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) { SetActiveControl(Control); }

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    if (Control && Control != this) RememberActive(Control);
    return TWinControl::SetFocusedControl(Control);
}

void TCustomForm::RememberActive(TWinControl* Control) {
    FActiveControl = Control;
    if (Control)
        FActiveWatch.emplace(Control);
    else
        FActiveWatch.reset();
}

void TCustomForm::SetWindowFocus() {
    TWinControl* c = ActiveControl();
    if (!c || !c->CanFocus()) c = FindNextControl(nullptr, true, true, false);
    if (c && c->CanFocus())
        c->SetFocus();
    else if (FHandle)
        lumivane::SetFocus(FHandle);
}

TRect TCustomForm::GetClientRect() const {
    if (FHandle) return TWinControl::GetClientRect();
    const TFormFrame f = Frame();
    return {0, 0, std::max(0, FWidth - f.Horizontal()), std::max(0, FHeight - f.Vertical())};
}

TPoint TCustomForm::ClientOrigin() const {
    if (FHandle) return TWinControl::ClientOrigin();
    const TFormFrame f = Frame();
    return {FLeft + f.Left, FTop + f.Top};
}

bool TCustomForm::Showing() const { return TWinControl::Showing(); }

void TCustomForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth < 0 || AHeight < 0)
        throw Exception("A form cannot have a negative size (" + std::to_string(AWidth) + " x " +
                        std::to_string(AHeight) + ")");
    const TFormFrame f = Frame();
    const int64_t clientW = int64_t{AWidth} - f.Left - f.Right, clientH = int64_t{AHeight} - f.Top - f.Bottom;
    if (clientW > MaxWindowSide || clientH > MaxWindowSide)
        throw Exception("A window's client area can be at most " + std::to_string(MaxWindowSide) + " x " +
                        std::to_string(MaxWindowSide) + " pixels; this form's would be " + std::to_string(clientW) +
                        " x " + std::to_string(clientH));
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

TRect TCustomForm::BoundsToWindowRect(const TRect& Bounds) const {
    const TFormFrame f = Frame();
    return {Bounds.Left + f.Left, Bounds.Top + f.Top, std::max(Bounds.Left + f.Left, Bounds.Right - f.Right),
            std::max(Bounds.Top + f.Top, Bounds.Bottom - f.Bottom)};
}

void TCustomForm::UpdateBoundsFromWindow() {
    if (!FHandle) return;
    RECT r;
    if (!GetWindowRect(FHandle, &r)) return;
    const TFormFrame f = Frame();
    FLeft = r.Left - f.Left;
    FTop = r.Top - f.Top;
    FWidth = r.Width() + f.Horizontal();
    FHeight = r.Height() + f.Vertical();
}

void TCustomForm::ApplyPosition() {
    FPositioned = true;
    int x = FLeft, y = FTop;
    TCustomForm* mainForm = Application ? Application->MainForm() : nullptr;
    switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
        x = (GetSystemMetrics(SM_CXSCREEN) - FWidth) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - FHeight) / 2;
        break;
    case poMainFormCenter:
    case poOwnerFormCenter:
        if (mainForm && mainForm != this) {
            x = mainForm->Left() + (mainForm->Width() - FWidth) / 2;
            y = mainForm->Top() + (mainForm->Height() - FHeight) / 2;
        } else {
            x = (GetSystemMetrics(SM_CXSCREEN) - FWidth) / 2;
            y = (GetSystemMetrics(SM_CYSCREEN) - FHeight) / 2;
        }
        break;
    default:
        return;
    }
    if (FHandle)
        SetBounds(x, y, FWidth, FHeight);
    else {
        FLeft = x;
        FTop = y;
    }
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    if (!FPositioned && !IsDesigning()) ApplyPosition();
    TWinControl::CreateParams(Params);
    const TRect r = BoundsToWindowRect(BoundsRect());
    Params.X = r.Left;
    Params.Y = r.Top;
    Params.Width = r.Width();
    Params.Height = r.Height();
    // Shown by Show, once the children exist and the position is settled.
    Params.Style &= ~(WS_VISIBLE | WS_CHILD | WS_CLIPSIBLINGS | WS_POPUP);
    Params.WndParent = nullptr;
    switch (FBorderStyle) {
    case bsNone:
        break;
    case bsSizeable:
    case bsSizeToolWin:
        Params.Style |= WS_CAPTION | WS_THICKFRAME;
        break;
    default:
        Params.Style |= WS_CAPTION;
        break;
    }
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) Params.ExStyle |= WS_EX_TOOLWINDOW;
    if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
        Params.Style |= WS_SYSMENU;
        bool boxes = FBorderStyle == bsSingle || FBorderStyle == bsSizeable;
        if (boxes && FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
        if (boxes && FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
    }
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
    if (Application) Application->InstallIdleHandler();
    IconChanged(this);
}

void TCustomForm::IconChanged(TObject*) {
    if (!FHandle || FIcon->Empty()) return;
    SetWindowIcon(FHandle, FIcon->Width(), FIcon->Height(), FIcon->ToArgb());
}

void TCustomForm::PaintWindow(HDC DC) {
    TWinControl::PaintWindow(DC);
    TCanvasBinding binding(*FCanvas, DC);
    OnPaint(this);
}

TWinControl* TCustomForm::ActiveControl() const {
    return FActiveWatch && FActiveWatch->Alive() ? FActiveControl : nullptr;
}

void TCustomForm::CMVisibleChanged(TMessage& Message) {
    if (!FVisible) {
        TWatch w(this);
        DoHide();
        if (w.Alive()) TWinControl::Dispatch(Message);
        return;
    }
    if (IsLoading()) {
        // A layout that says Visible = True shows the form once it is created.
        FVisible = false;
        FShowAfterLoad = true;
        return;
    }
    HandleNeeded();
    if (!FPositioned && !IsDesigning()) ApplyPosition();  // a designed form stays where its layout puts it
    TWatch w(this);
    TWinControl::Dispatch(Message);
    if (!w.Alive()) return;
    DoShow();
    if (w.Alive() && FVisible) SetWindowFocus();
}

void TCustomForm::WMSetCursor(TMessage& Message) {
    POINT p;
    if (LOWORD(static_cast<uintptr_t>(Message.LParam)) == HTCLIENT && GetCursorPos(&p)) {
        TControl* c = FindDragTarget(p, true);
        if (c && GetParentForm(c) == this && c->Cursor() != crDefault) {
            SetCursorShape(CursorKindOf(c->Cursor()));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TCustomForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CLOSE:
        Close();
        Message.Result = 0;
        return;
    case WM_SETCURSOR:
        WMSetCursor(Message);
        return;
    case WM_MOVE:
        if (!FSettingBounds) UpdateBoundsFromWindow();
        DefaultHandler(Message);
        return;
    case WM_ACTIVATE: {
        TWatch w(this);
        AccNotifyWindow(this, LOWORD(Message.WParam) != WA_INACTIVE);
        if (LOWORD(Message.WParam) == WA_INACTIVE)
            OnDeactivate(this);
        else
            OnActivate(this);
        if (w.Alive()) DefaultHandler(Message);
        return;
    }
    case CM_VISIBLECHANGED:
        CMVisibleChanged(Message);
        return;
    case CM_RELEASE:
        delete this;
        return;
    default:
        TWinControl::Dispatch(Message);
    }
}

}  // namespace lumivane
