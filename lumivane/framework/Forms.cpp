#include "lumivane/framework/Forms.h"

#include <algorithm>
#include <cctype>

#include "lumivane/framework/CursorShapes.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/ExtCtrls.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/layout/FormReader.h"
#include "lumivane/framework/MessageBox.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/StdCtrls.h"

namespace lumivane {

namespace {

bool gSuppressLayouts = false;

} // namespace

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

// ---- The layout's view of a form's icon: "Icon.Data" ----

// Picture data with the class name ("TIcon" and the icon file), or a bare icon file.
class TFormIconData : public TPersistent {
    LUMI_CLASS(TFormIconData, TPersistent)
public:
    explicit TFormIconData(TCustomForm* Form) : FForm(Form) {}
    TBytes Data() const {
        TIcon* icon = FForm->Icon();
        return icon->Empty() ? TBytes{} : WritePictureData(icon);
    }
    void SetData(const TBytes& Value) {
        if (Value.empty()) return;
        if (Value[0] == 0) {  // an icon file starts with a zero word; picture data with a name length
            FForm->Icon()->LoadFromStream(Value);
            return;
        }
        std::unique_ptr<TGraphic> g = ReadPictureData(Value);
        auto* icon = dynamic_cast<TIcon*>(g.get());
        if (!icon) throw Exception("Icon data holds a " + (g ? g->ClassName() : std::string("nothing")) + ", not an icon");
        FForm->Icon()->Assign(icon);
    }
    TPersistent* GetOwner() override { return FForm; }

private:
    TCustomForm* FForm;
};

LUMI_DEFINE_CLASS(TFormIconData) { p.Binary("Data", &TFormIconData::Data, &TFormIconData::SetData); }

// ---- TCustomForm ----

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FIconData(std::make_unique<TFormIconData>(this)), FIcon(std::make_unique<TIcon>()),
      FCanvas(std::make_unique<TCanvas>()) {
    FVisible = false;
    FParentFont = false;
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    FIcon->OnChange = TNotifyEvent(this, &TCustomForm::IconChanged);
}

TCustomForm::~TCustomForm() {
    Destroying();
    DoDestroy();
    // The controls go while the form is still whole, so they can still reach it.
    DestroyComponents();
    FIcon->OnChange.Clear();
}

void TCustomForm::SuppressResourceLayouts(bool Value) { gSuppressLayouts = Value; }

void TCustomForm::LoadForm(std::string_view ResourceName) {
    if (gSuppressLayouts) return;
    std::string name(ResourceName);
    if (name.empty()) {
        name = ClassName();
        for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    ReadFormResource(this, name);
    DoCreate();
    if (FShowAfterLoad) {
        FShowAfterLoad = false;
        Show();
    }
}

void TCustomForm::LoadFormText(std::string_view Text) {
    ReadForm(this, Text);
    DoCreate();
    if (FShowAfterLoad) {
        FShowAfterLoad = false;
        Show();
    }
}

void TCustomForm::Loaded() { TWinControl::Loaded(); }

void TCustomForm::DoCreate() {
    try {
        OnCreate(this);
    } catch (Exception& e) {
        Application->HandleException(this, e);
    }
}

void TCustomForm::DoDestroy() {
    try {
        OnDestroy(this);
    } catch (Exception& e) {
        Application->HandleException(this, e);
    }
}

void TCustomForm::DoShow() { OnShow(this); }
void TCustomForm::DoHide() { OnHide(this); }
void TCustomForm::DoClose(TCloseAction& Action) { OnClose(this, Action); }

void TCustomForm::Show() {
    SetVisible(true);
    if (FHandle) SetActiveWindow(FHandle);
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    TWatch w(this);
    if (!CloseQuery() || !w.Alive()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (!w.Alive() || action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Hide();
        Application->Terminate();
        return;
    }
    if (action == caFree)
        Release();
    else
        Hide();
}

void TCustomForm::Release() {
    if (FReleasing) return;
    FReleasing = true;
    PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

int TCustomForm::ShowModal() {
    if (FVisible || FModal) throw Exception("Cannot make a visible window modal");
    TWatch self(this);
    // The other forms wait, disabled, until the modal form is done.
    std::vector<HWND> disabled;
    if (Application)
        for (int i = 0; i < Application->ComponentCount(); ++i) {
            auto* f = dynamic_cast<TCustomForm*>(Application->Components(i));
            if (f && f != this && f->HandleAllocated() && IsWindowVisible(f->FHandle) && IsWindowEnabled(f->FHandle)) {
                EnableWindow(f->FHandle, false);
                disabled.push_back(f->FHandle);
            }
        }
    FModal = true;
    FModalResult = mrNone;
    struct Restore {
        std::vector<HWND>& windows;
        ~Restore() {
            for (HWND h : windows)
                if (IsWindow(h)) EnableWindow(h, true);
        }
    } restore{disabled};
    Show();
    while (self.Alive() && FModalResult == mrNone && FHandle && IsWindow(FHandle)) {
        MSG m;
        if (!GetMessageA(&m, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(m.wParam));
            if (self.Alive()) FModalResult = mrCancel;
            break;
        }
        TranslateMessage(&m);
        try {
            DispatchMessageA(&m);
        } catch (Exception& e) {
            Application->HandleException(this, e);
        }
    }
    if (!self.Alive()) return mrCancel;
    FModal = false;
    TModalResult result = FModalResult;
    Hide();
    return result;
}

void TCustomForm::RequestModalResult(TModalResult Value) { FModalResult = Value; }

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
    if (!FPositioned) ApplyPosition();
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

LUMI_DEFINE_CLASS(TCustomForm) {}

LUMI_DEFINE_CLASS(TForm) {
    PublishControlProps(p, {"Cursor", "Hint", "Anchors", "AutoSize", "BiDiMode"});
    p.Set("BorderIcons", &TForm::BorderIcons, &TForm::SetBorderIcons, BorderIconNames,
          TBorderIcons{biSystemMenu, biMinimize, biMaximize})
        .Enum("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle, BorderStyleNames, bsSizeable);
    PublishControlProps(p, {"Caption"});
    // The client size follows from Width and Height; a layout may give it instead.
    p.Prop("ClientHeight", [](TForm* f) { return f->ClientHeight(); }, [](TForm* f, int v) { f->SetClientHeight(v); })
        .Stored([](TForm*) { return false; })
        .Range(0, MaxLayoutCoord)
        .Prop("ClientWidth", [](TForm* f) { return f->ClientWidth(); }, [](TForm* f, int v) { f->SetClientWidth(v); })
        .Stored([](TForm*) { return false; })
        .Range(0, MaxLayoutCoord);
    PublishControlProps(p, {"Color", "Constraints", "Ctl3D", "UseDockManager", "DockSite", "DragKind", "DragMode",
                            "Enabled"});
    p.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, false);
    PublishControlProps(p, {"Font"});
    p.Object("Icon", [](TForm* f) { return f->FIconData.get(); })
        .Prop("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview, false)
        .Prop("OldCreateOrder", &TForm::OldCreateOrder, &TForm::SetOldCreateOrder);
    PublishControlProps(p, {"ParentBiDiMode"});
    p.Enum("Position", &TForm::Position, &TForm::SetPosition, PositionNames, poDesigned)
        .Prop("Scaled", &TForm::Scaled, &TForm::SetScaled, true);
    PublishControlProps(p, {"ShowHint"});
    // What the layout says, not whether the form happens to be on the screen now.
    p.Prop("Visible", [](TForm* f) { return f->FDesignedVisible; },
           [](TForm* f, bool v) {
               f->FDesignedVisible = v;
               f->SetVisible(v);
           },
           false)
        .Event("OnActivate", &TForm::OnActivate, &TForm::OnActivate);
    PublishControlProps(p, {"OnClick"});
    p.Event("OnClose", &TForm::OnClose, &TForm::OnClose).Event("OnCloseQuery", &TForm::OnCloseQuery, &TForm::OnCloseQuery).Event("OnCreate", &TForm::OnCreate, &TForm::OnCreate);
    PublishControlProps(p, {"OnDblClick"});
    p.Event("OnDestroy", &TForm::OnDestroy, &TForm::OnDestroy).Event("OnDeactivate", &TForm::OnDeactivate, &TForm::OnDeactivate).Event("OnHide", &TForm::OnHide, &TForm::OnHide);
    PublishControlProps(p, {"OnKeyDown", "OnKeyPress", "OnKeyUp", "OnMouseDown", "OnMouseMove", "OnMouseUp"});
    p.Event("OnPaint", &TForm::OnPaint, &TForm::OnPaint);
    PublishControlProps(p, {"OnResize"});
    // Written last, as the layout's own record of the screen it was made on.
    p.Event("OnShow", &TForm::OnShow, &TForm::OnShow)
        .Prop("PixelsPerInch", &TForm::PixelsPerInch, &TForm::SetPixelsPerInch)
        .Prop("TextHeight", &TForm::TextHeight, &TForm::SetTextHeight);
}

TCustomForm* GetParentForm(TControl* Control) {
    while (Control && Control->Parent()) Control = Control->Parent();
    return dynamic_cast<TCustomForm*>(Control);
}

}  // namespace lumivane
