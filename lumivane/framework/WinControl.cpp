#include <algorithm>
#include <unordered_map>

#include "lumivane/framework/Application.h"
#include "lumivane/framework/CursorShapes.h"
#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/ControlsInternal.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/PropInfo.h"
#include "lumivane/framework/Published.h"
#include "lumivane/base/Exception.h"

namespace lumivane {

namespace {

// The control a window belongs to, kept by the window.
struct ControlLink : WindowData {
    explicit ControlLink(TWinControl* c) : control(c) {}
    TWinControl* control;
};

}  // namespace

namespace ControlsInternal {
ControlTable& Table() {
    static ControlTable table;
    return table;
}
void ForgetControl(TControl* Control) {
    if (Table().capture == Control) Table().capture = nullptr;
}
void RegisterHandle(HWND Handle, TWinControl* Control) { MakeWindowData<ControlLink>(Handle, Control); }
void UnregisterHandle(HWND Handle) { RemoveWindowData<ControlLink>(Handle); }
UINT NewControlId(TWinControl* Control) {
    UINT id = Table().nextId++;
    Table().ids[id] = Control;
    return id;
}
void ReleaseControlId(UINT Id) { Table().ids.erase(Id); }
TWinControl* ControlById(UINT Id) {
    auto it = Table().ids.find(Id);
    return it == Table().ids.end() ? nullptr : it->second;
}
}  // namespace ControlsInternal

using namespace ControlsInternal;

TWinControl* FindControl(HWND Handle) {
    const ControlLink* link = WindowDataOf<ControlLink>(Handle);
    return link ? link->control : nullptr;
}

TControl* GetCaptureControl() {
    TWinControl* w = FindControl(GetCapture());
    if (w && Table().capture && Table().capture->Parent() == w) return Table().capture;
    return w;
}

void SetCaptureControl(TControl* Control) {
    if (!Control) {
        Table().capture = nullptr;
        if (GetCapture()) ReleaseCapture();
        return;
    }
    auto* w = dynamic_cast<TWinControl*>(Control);
    HWND h = w ? w->Handle() : (Control->Parent() ? Control->Parent()->Handle() : nullptr);
    if (!h) return;
    SetCapture(h);
    Table().capture = Control;
}

TControl* FindDragTarget(TPoint ScreenPos, bool AllowDisabled) {
    HWND h = WindowFromPoint(ScreenPos);
    TWinControl* w = nullptr;
    for (; h && !(w = FindControl(h)); h = GetParent(h)) {
    }
    if (!w) return nullptr;
    TControl* c = w->ControlAtPos(w->ScreenToClient(ScreenPos), AllowDisabled, false);
    return c ? c : w;
}

// The window procedure of every window a control owns: the control's WndProc sees each message.
LRESULT ControlWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    TWinControl* c = FindControl(hwnd);
    if (!c) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // The window went with its parent's: the control lives on without one.
        WNDPROC native = c->FDefWndProc;
        ControlsInternal::UnregisterHandle(hwnd);
        c->FHandle = nullptr;
        return native ? CallWindowProcA(native, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
    }
    TMessage m{msg, wp, lp, 0};
    TControl::TWatch alive(c);
    try {
        // The enter and leave notifications come before the pointer message that crosses.
        const bool pointer = msg == WM_MOUSEMOVE || (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK);
        if (pointer && Application) Application->PointerMessageArrives(hwnd, lp);
        if (!alive.Alive()) return 0;
        c->WndProc(m);
    } catch (...) {
        // What a handler throws ends at the window's edge, so that every loop (the application's,
        // a modal one, a test's pump) goes on after it.
        if (!Application) throw;
        Application->HandleCurrentException(alive.Alive() ? c : nullptr);
    }
    return m.Result;
}

LUMI_DEFINE_CLASS(TWinControl) {}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    Destroying();
    // Children go first, as their windows live inside ours.
    while (!FControls.empty()) {
        TControl* c = FControls.back();
        RemoveControl(c);
        delete c;
    }
    if (FParent) FParent->RemoveControl(this);
    DestroyHandle();
    ControlsInternal::ForgetControl(this);
}

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (FParent) FParent->HandleNeeded();
    if (!FHandle) CreateHandle();
}

void TWinControl::CreateHandle() {
    if (!FHandle) CreateWnd();
    for (TControl* c : std::vector<TControl*>(FControls))
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->FHandle) w->CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = FText;
    Params.Style = WS_CLIPCHILDREN;
    if (FParent) Params.Style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (FVisible) Params.Style |= WS_VISIBLE;
    if (!FEnabled) Params.Style |= WS_DISABLED;
    if (FTabStop) Params.Style |= WS_TABSTOP;
    const TRect r = BoundsToWindowRect(BoundsRect());
    Params.X = r.Left;
    Params.Y = r.Top;
    Params.Width = r.Width();
    Params.Height = r.Height();
    Params.WndParent = FParent ? FParent->Handle() : nullptr;
    Params.WinClassName = ClassName();
    Params.WindowClassStyle = CS_DBLCLKS;
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ClassName) { Params.WinClassName = ClassName; }

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if (FHandle) return;  // creating the parent created this one too
    WNDCLASS existing;
    if (!GetClassInfoA(params.WinClassName.c_str(), &existing)) {
        WNDCLASS wc;
        wc.lpszClassName = params.WinClassName.c_str();
        wc.lpfnWndProc = DefWindowProcA;
        wc.style = params.WindowClassStyle;
        wc.cursor = CursorKindOf(params.WindowClassCursor);
        if (!RegisterClassA(wc)) throw Exception("Cannot register the window class " + params.WinClassName);
        GetClassInfoA(params.WinClassName.c_str(), &existing);
    }
    FOwnClass = existing.lpfnWndProc == DefWindowProcA;
    FCtlId = ControlsInternal::NewControlId(this);
    CreateWindowHandle(params);
    if (!FHandle) {
        ControlsInternal::ReleaseControlId(FCtlId);
        FCtlId = 0;
        throw Exception("Cannot create the window of " + (Name().empty() ? ClassName() : Name()));
    }
    ControlsInternal::RegisterHandle(FHandle, this);
    FDefWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWindowProc)));
    UpdateWindowFont();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    FHandle = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                              Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, FCtlId, nullptr);
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    for (TControl* c : FControls)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    if (!FHandle) return;
    HWND h = FHandle;
    if (!ComponentState().Contains(csDestroying)) FText = GetText();
    // Unhooked first: the native procedure alone sees the window's last messages.
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefWndProc));
    ControlsInternal::UnregisterHandle(h);
    ControlsInternal::ReleaseControlId(FCtlId);
    FCtlId = 0;
    FHandle = nullptr;
    if (Table().capture && Table().capture->Parent() == this) Table().capture = nullptr;
    DestroyWindow(h);
}


void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    ApplyConstraints(AWidth, AHeight);
    ALeft = std::clamp(ALeft, -MaxLayoutCoord, MaxLayoutCoord);
    ATop = std::clamp(ATop, -MaxLayoutCoord, MaxLayoutCoord);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    const bool sized = AWidth != FWidth || AHeight != FHeight;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (!FAnchoring) UpdateAnchorRules();
    TWatch w(this);
    if (FHandle) {
        const TRect r = BoundsToWindowRect(BoundsRect());
        FSettingBounds = true;
        MoveWindow(FHandle, r.Left, r.Top, r.Width(), r.Height(), true);
        if (!w.Alive()) return;
        FSettingBounds = false;
    }
    if (sized) {
        Realign();
        if (!w.Alive()) return;
        if (!IsLoading()) Resize();
        if (!w.Alive()) return;
    }
    RequestAlign();
}

void TWinControl::UpdateBoundsFromWindow() {
    if (!FHandle) return;
    RECT wr;
    GetWindowRect(FHandle, &wr);
    POINT tl{wr.Left, wr.Top};
    if (FParent && FParent->FHandle) lumivane::ScreenToClient(FParent->FHandle, &tl);
    FLeft = tl.x;
    FTop = tl.y;
    FWidth = wr.Width();
    FHeight = wr.Height();
}

TPoint TWinControl::ClientOrigin() const {
    if (!FHandle) return TControl::ClientOrigin();
    POINT p{0, 0};
    lumivane::ClientToScreen(FHandle, &p);
    return p;
}

TRect TWinControl::GetClientRect() const {
    if (!FHandle) return TControl::GetClientRect();
    RECT r;
    lumivane::GetClientRect(FHandle, &r);
    return r;
}

bool TWinControl::Showing() const {
    if (!FVisible) return false;
    if (FParent) return FParent->Showing();
    return FHandle && IsWindowVisible(FHandle);
}

void TWinControl::Invalidate() {
    if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::SetParent(TWinControl* AParent) { TControl::SetParent(AParent); }

void TWinControl::SetZOrder(bool TopMost) {
    TControl::SetZOrder(TopMost);
    if (FHandle) SetWindowPos(FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWinControl::Resize() { TControl::Resize(); }

void TWinControl::UpdateWindowFont() {
    if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
}

void TWinControl::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusedControl) FFocusedControl = nullptr;
}

void TWinControl::DoEnter() { OnEnter(this); }
void TWinControl::DoExit() { OnExit(this); }
void TWinControl::KeyDown(WORD& Key, TShiftState Shift) { OnKeyDown(this, Key, Shift); }
void TWinControl::KeyPress(char32_t& Key) { OnKeyPress(this, Key); }
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) { OnKeyUp(this, Key, Shift); }

void TWinControl::PaintWindow(HDC) {}

}  // namespace lumivane
