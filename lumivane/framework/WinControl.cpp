#include <algorithm>
#include <unordered_map>

#include "lumivane/framework/CursorShapes.h"
#include "lumivane/framework/Controls.h"
#include "lumivane/framework/ControlsInternal.h"
#include "lumivane/framework/Graphics.h"
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

std::unordered_map<UINT, TWinControl*>& Ids() {
    static std::unordered_map<UINT, TWinControl*> map;
    return map;
}

UINT gNextId = 1000;
TControl* gCaptureControl = nullptr;
// The character that follows a key the dialog handling already used (Enter, Escape, Tab).
char gSwallowChar = 0;

bool IsAncestorOrSelf(const TControl* ancestor, const TControl* c) {
    for (; c; c = c->Parent())
        if (c == ancestor) return true;
    return false;
}

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK; }

// Children, with watches, so a loop over them survives handlers that free some.
struct Snapshot {
    std::vector<std::pair<TControl*, TControl::TWatch>> items;
    explicit Snapshot(const std::vector<TControl*>& list) {
        items.reserve(list.size());
        for (TControl* c : list) items.emplace_back(c, TControl::TWatch(c));
    }
};

}  // namespace

namespace ControlsInternal {
void ForgetControl(TControl* Control) {
    if (gCaptureControl == Control) gCaptureControl = nullptr;
}
void RegisterHandle(HWND Handle, TWinControl* Control) { MakeWindowData<ControlLink>(Handle, Control); }
void UnregisterHandle(HWND Handle) { RemoveWindowData<ControlLink>(Handle); }
UINT NewControlId(TWinControl* Control) {
    UINT id = gNextId++;
    Ids()[id] = Control;
    return id;
}
void ReleaseControlId(UINT Id) { Ids().erase(Id); }
TWinControl* ControlById(UINT Id) {
    auto it = Ids().find(Id);
    return it == Ids().end() ? nullptr : it->second;
}
}  // namespace ControlsInternal

TWinControl* FindControl(HWND Handle) {
    const ControlLink* link = WindowDataOf<ControlLink>(Handle);
    return link ? link->control : nullptr;
}

TControl* GetCaptureControl() {
    TWinControl* w = FindControl(GetCapture());
    if (w && gCaptureControl && gCaptureControl->Parent() == w) return gCaptureControl;
    return w;
}

void SetCaptureControl(TControl* Control) {
    if (!Control) {
        gCaptureControl = nullptr;
        if (GetCapture()) ReleaseCapture();
        return;
    }
    auto* w = dynamic_cast<TWinControl*>(Control);
    HWND h = w ? w->Handle() : (Control->Parent() ? Control->Parent()->Handle() : nullptr);
    if (!h) return;
    SetCapture(h);
    gCaptureControl = Control;
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
    c->WndProc(m);
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
    if (gCaptureControl && gCaptureControl->Parent() == this) gCaptureControl = nullptr;
    DestroyWindow(h);
}

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount()) throw Exception("Control index out of bounds (" + std::to_string(Index) + ")");
    return FControls[static_cast<size_t>(Index)];
}

void TWinControl::InsertControl(TControl* AControl) {
    if (!AControl || ContainsControl(AControl)) return;
    AControl->FParent = this;
    FControls.push_back(AControl);
    auto* w = dynamic_cast<TWinControl*>(AControl);
    if (w) {
        FTabList.push_back(w);
        if (FHandle) {
            if (w->FHandle)
                lumivane::SetParent(w->FHandle, FHandle);
            else
                w->CreateHandle();
        }
    }
    if (AControl->FParentFont) AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    if (AControl->FParentColor) AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (AControl->FParentShowHint) AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (!w) AControl->Invalidate();
    if (AControl->FAlign != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
    // Controls usually go last first (a form frees its controls in reverse), so look from the back.
    auto rit = std::find(FControls.rbegin(), FControls.rend(), AControl);
    if (rit == FControls.rend()) return;
    TWinControl* root = TopParent();
    if (root->FFocusedControl && IsAncestorOrSelf(AControl, root->FFocusedControl)) root->FFocusedControl = nullptr;
    if (gCaptureControl && IsAncestorOrSelf(AControl, gCaptureControl)) gCaptureControl = nullptr;
    if (AControl->FVisible && !ComponentState().Contains(csDestroying)) AControl->InvalidateControl(true);
    FControls.erase(std::next(rit).base());
    auto tab = std::find(FTabList.rbegin(), FTabList.rend(), AControl);
    if (tab != FTabList.rend()) FTabList.erase(std::next(tab).base());
    AControl->FParent = nullptr;
    // A control under destruction is no longer a TWinControl here; its own destructor
    // destroys its window.
    if (auto* w = dynamic_cast<TWinControl*>(AControl)) w->DestroyHandle();
    if (AControl->FAlign != alNone) Realign();
}

bool TWinControl::ContainsControl(const TControl* Control) const {
    for (const TControl* c = Control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) const {
    auto hit = [&](TControl* c) {
        return (c->FVisible || c->IsDesigning()) && (c->FEnabled || AllowDisabled) && c->BoundsRect().Contains(Pos);
    };
    if (AllowWinControls)
        for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
            if (dynamic_cast<TWinControl*>(*it) && hit(*it)) return *it;
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it)
        if (!dynamic_cast<TWinControl*>(*it) && hit(*it)) return *it;
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    Snapshot s(FControls);
    for (auto& [c, w] : s.items) {
        if (!w.Alive()) continue;
        c->WndProc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    Snapshot s(FControls);
    for (auto& [c, w] : s.items)
        if (w.Alive()) c->Perform(Msg, 0, 0);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    if (!DC) return;
    auto start = First ? std::find(FControls.begin(), FControls.end(), First) : FControls.begin();
    if (start == FControls.end()) start = FControls.begin();
    std::vector<TControl*> list(start, FControls.end());
    Snapshot s(list);
    for (auto& [c, w] : s.items) {
        if (!w.Alive() || dynamic_cast<TWinControl*>(c)) continue;
        if (!c->FVisible && !c->IsDesigning()) continue;
        const TRect r = c->BoundsRect();
        Region clip = DC->Clip();
        clip.Offset(-r.Left, -r.Top);
        clip.Intersect(TRect{0, 0, r.Width(), r.Height()});
        if (clip.IsEmpty()) continue;
        DeviceContext sub(DC->Target(), {DC->Origin().x + r.Left, DC->Origin().y + r.Top}, clip);
        sub.font = DC->font;
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(&sub), 0);
    }
}

int TWinControl::TabOrder() const {
    if (!FParent) return -1;
    const auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
    if (!FParent) return;
    auto& list = FParent->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    const size_t pos = Value < 0 ? list.size() : std::min(static_cast<size_t>(Value), list.size());
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), this);
}

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value) return;
    FTabStop = Value;
    if (FHandle) {
        auto style = static_cast<uint32_t>(GetWindowLongPtrA(FHandle, GWL_STYLE));
        style = Value ? (style | WS_TABSTOP) : (style & ~uint32_t(WS_TABSTOP));
        SetWindowLongPtrA(FHandle, GWL_STYLE, static_cast<LONG_PTR>(style));
    }
    Perform(CM_TABSTOPCHANGED, 0, 0);
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
    HWND h = Handle();
    if (h && GetFocus() != h) lumivane::SetFocus(h);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    for (TWinControl* w : FTabList) {
        List.push_back(w);
        w->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    const int n = static_cast<int>(list.size());
    if (n == 0) return nullptr;
    int start = static_cast<int>(std::find(list.begin(), list.end(), CurControl) - list.begin());
    if (start == n) start = GoForward ? -1 : n;
    for (int i = 1; i <= n; ++i) {
        const int idx = ((GoForward ? start + i : start - i) % n + n) % n;
        TWinControl* c = list[static_cast<size_t>(idx)];
        if (c == CurControl) break;
        if ((!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, false)) c->SetFocus();
}

TWinControl* TWinControl::TopParent() {
    TWinControl* w = this;
    while (w->FParent) w = w->FParent;
    return w;
}

bool TWinControl::SetFocusedControl(TWinControl* Control) {
    TWinControl* old = FFocusedControl;
    if (old == Control) return true;
    std::vector<std::pair<TWinControl*, TWatch>> exits, enters;
    for (TWinControl* c = old; c && c != this && !IsAncestorOrSelf(c, Control); c = c->FParent)
        exits.emplace_back(c, TWatch(c));
    for (TWinControl* c = Control; c && c != this && !IsAncestorOrSelf(c, old); c = c->FParent)
        enters.emplace_back(c, TWatch(c));
    std::reverse(enters.begin(), enters.end());
    TWatch self(this);
    FFocusedControl = Control;
    for (auto& [c, w] : exits)
        if (w.Alive()) c->Perform(CM_EXIT, 0, 0);
    if (!self.Alive()) return false;
    for (auto& [c, w] : enters)
        if (w.Alive()) c->Perform(CM_ENTER, 0, 0);
    if (!self.Alive()) return false;
    if (FFocusedControl == Control) Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    return true;
}

void TWinControl::Realign() {
    if (FAlignLevel > 0 || IsLoading()) {
        FAlignPending = true;
        return;
    }
    AlignNow();
}

void TWinControl::Loaded() {
    inherited::Loaded();
    if (FAlignPending) Realign();
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0) --FAlignLevel;
    if (FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::AlignNow() {
    FAlignPending = false;
    ++FAlignLevel;
    try {
        TRect r = GetClientRect();
        AlignControls(nullptr, r);
    } catch (...) {
        --FAlignLevel;
        throw;
    }
    --FAlignLevel;
    FAlignPending = false;
}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
    const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign a : order) {
        for (TControl* c : std::vector<TControl*>(FControls)) {
            if (c->FAlign != a || (!c->FVisible && !c->IsDesigning())) continue;
            const int w = std::max(0, Rect.Width()), h = std::max(0, Rect.Height());
            switch (a) {
            case alTop:
                c->SetBounds(Rect.Left, Rect.Top, w, c->FHeight);
                Rect.Top += c->FHeight;
                break;
            case alBottom:
                c->SetBounds(Rect.Left, Rect.Bottom - c->FHeight, w, c->FHeight);
                Rect.Bottom -= c->FHeight;
                break;
            case alLeft:
                c->SetBounds(Rect.Left, Rect.Top, c->FWidth, h);
                Rect.Left += c->FWidth;
                break;
            case alRight:
                c->SetBounds(Rect.Right - c->FWidth, Rect.Top, c->FWidth, h);
                Rect.Right -= c->FWidth;
                break;
            default:
                c->SetBounds(Rect.Left, Rect.Top, w, h);
                break;
            }
        }
    }
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
void TWinControl::KeyPress(char& Key) { OnKeyPress(this, Key); }
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) { OnKeyUp(this, Key, Shift); }

void TWinControl::PaintWindow(HDC) {}

void TWinControl::WndProc(TMessage& Message) {
    // An open popup menu takes the keys; a drag takes the pointer and Escape.
    if (MenuWindow::InterceptKey(Message) || DragDrop::InterceptMessage(this, Message)) return;
    if (IsMouseMessage(Message.Msg)) {
        // Mouse input over a graphic child (or captured for one) is that child's.
        TControl* target = nullptr;
        const TPoint p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        if (FHandle && GetCapture() == FHandle) {
            if (gCaptureControl && gCaptureControl != this && gCaptureControl->Parent() == this) target = gCaptureControl;
        } else {
            target = ControlAtPos(p, false, false);
        }
        if (target) {
            TMessage m = Message;
            m.LParam = MAKELPARAM(p.x - target->Left(), p.y - target->Top());
            target->WndProc(m);
            Message.Result = m.Result;
            return;
        }
    } else if (Message.Msg == WM_CAPTURECHANGED) {
        if (gCaptureControl && (gCaptureControl == this || gCaptureControl->Parent() == this) &&
            reinterpret_cast<HWND>(Message.LParam) != FHandle)
            gCaptureControl = nullptr;
    }
    TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_SIZE: WMSize(Message); return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        WMKeyDown(Message);
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        WMKeyUp(Message);
        return;
    case WM_CHAR: WMChar(Message); return;
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        if (!ReflectToChild(Message)) DefaultHandler(Message);
        return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC: {
        if (auto* dc = reinterpret_cast<HDC>(Message.WParam)) {
            dc->textColor = FFont->Color();
            dc->bkColor = FColor;
        }
        Message.Result = CtlColorBrush(FColor);
        return;
    }
    case CM_ENABLEDCHANGED:
        if (FHandle) EnableWindow(FHandle, FEnabled);
        TControl::Dispatch(Message);
        return;
    case CM_FONTCHANGED:
        UpdateWindowFont();
        TControl::Dispatch(Message);
        NotifyControls(CM_PARENTFONTCHANGED);
        return;
    case CM_COLORCHANGED:
        TControl::Dispatch(Message);
        NotifyControls(CM_PARENTCOLORCHANGED);
        return;
    case CM_SHOWHINTCHANGED:
        NotifyControls(CM_PARENTSHOWHINTCHANGED);
        return;
    case CM_VISIBLECHANGED:
        if (FHandle)
            ShowWindow(FHandle, !FVisible ? int(SW_HIDE) : FParent ? int(SW_SHOWNA) : int(SW_SHOW));
        else if (FVisible && FParent && FParent->FHandle)
            CreateHandle();
        return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    case CM_ENTER: DoEnter(); return;
    case CM_EXIT: DoExit(); return;
    default:
        TControl::Dispatch(Message);
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (FHandle && FDefWndProc)
        Message.Result = CallWindowProcA(FDefWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
    else
        TControl::DefaultHandler(Message);
}

void TWinControl::WMPaint(TMessage& Message) {
    if (!FOwnClass || !FHandle) {
        DefaultHandler(Message);
        return;
    }
    if (auto* dc = reinterpret_cast<HDC>(Message.WParam)) {
        PaintWindow(dc);
        PaintControls(dc, nullptr);
        return;
    }
    HWND h = FHandle;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    try {
        if (dc) {
            TWatch w(this);
            PaintWindow(dc);
            if (w.Alive()) PaintControls(dc, nullptr);
        }
    } catch (...) {
        EndPaint(h, &ps);
        throw;
    }
    EndPaint(h, &ps);
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    if (!FOwnClass) {
        DefaultHandler(Message);
        return;
    }
    if (auto* dc = reinterpret_cast<HDC>(Message.WParam)) dc->FillRect(GetClientRect(), FColor);
    Message.Result = 1;
}

void TWinControl::WMSize(TMessage& Message) {
    DefaultHandler(Message);
    if (FSettingBounds || !FHandle) return;
    const int oldW = FWidth, oldH = FHeight;
    UpdateBoundsFromWindow();
    if (FWidth == oldW && FHeight == oldH) return;
    TWatch w(this);
    Realign();
    if (w.Alive() && !IsLoading()) Resize();
}

void TWinControl::WMSetFocus(TMessage& Message) {
    TWatch w(this);
    DefaultHandler(Message);
    if (w.Alive()) TopParent()->SetFocusedControl(this);
}

void TWinControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }

// A key goes to KeyDown (OnKeyDown) first; Tab, Enter and Escape then go to the top parent's
// dialog handling (default and cancel buttons, focus moves), and only a key nobody used
// reaches the native control.
void TWinControl::WMKeyDown(TMessage& Message) {
    gSwallowChar = 0;
    TWatch w(this);
    WORD key = static_cast<WORD>(Message.WParam);
    KeyDown(key, KeyboardShiftState());
    if (!w.Alive() || key == 0) return;
    if ((key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE) && Message.Msg == WM_KEYDOWN) {
        TMessage dk{CM_DIALOGKEY, key, Message.LParam, 0};
        TopParent()->WndProc(dk);
        if (dk.Result != 0) {
            gSwallowChar = key == VK_TAB ? '\t' : key == VK_RETURN ? '\r' : '\x1b';
            Message.Result = 0;
            return;
        }
        if (!w.Alive()) return;
    }
    const bool contextKey = key == VK_APPS || (key == VK_F10 && KeyboardShiftState().Contains(ssShift) &&
                                               !KeyboardShiftState().Contains(ssCtrl));
    if (contextKey) {
        Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(FHandle), -1);
        return;
    }
    Message.WParam = key;
    DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
    TWatch w(this);
    WORD key = static_cast<WORD>(Message.WParam);
    KeyUp(key, KeyboardShiftState());
    if (!w.Alive() || key == 0) return;
    Message.WParam = key;
    DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
    char ch = static_cast<char>(Message.WParam);
    if (gSwallowChar && ch == gSwallowChar) {
        gSwallowChar = 0;
        return;
    }
    gSwallowChar = 0;
    TWatch w(this);
    KeyPress(ch);
    if (!w.Alive() || ch == 0) return;
    Message.WParam = static_cast<unsigned char>(ch);
    DefaultHandler(Message);
}

// Every control hears a dialog key until one answers; Tab and Shift+Tab move the focus when
// none does.
void TWinControl::CMDialogKey(TMessage& Message) {
    Broadcast(Message);
    if (Message.Result != 0 || FParent) return;
    const TShiftState shift = KeyboardShiftState();
    if (Message.WParam == VK_TAB && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
        SelectNext(FFocusedControl, !shift.Contains(ssShift), true);
        Message.Result = 1;
    }
}

void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); }

bool TWinControl::ReflectToChild(TMessage& Message) {
    TWinControl* child = nullptr;
    switch (Message.Msg) {
    case WM_DRAWITEM:
        if (auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)) child = FindControl(dis->hwndItem);
        break;
    case WM_MEASUREITEM:
        // Sent while the child's window is being created, before it is known by handle.
        if (auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) child = ControlsInternal::ControlById(mis->CtlID);
        break;
    default:
        child = FindControl(reinterpret_cast<HWND>(Message.LParam));
        break;
    }
    if (!child || child == this) return false;
    Message.Result = child->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}

}  // namespace lumivane
