#include "lumivane/controls/ImButton.h"

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/windows/Input.h"
#include "lumivane/windows/Window.h"
#include "lumivane/gfx/raster/Region.h"

namespace lumivane {

// ---- TImButtonColors ----

LUMI_DEFINE_CLASS(TImButtonColors) {
    auto slot = [&](std::string_view name, int index) {
        p.Color(name, [index](TImButtonColors* c) { return c->fGetIbColor(index); },
                [index](TImButtonColors* c, TColor v) { c->fSetIbColor(index, v); }, clDefault);
    };
    slot("DefaultColor", 0);
    slot("DisabledColor", 1);
    slot("PushedColor", 2);
    slot("HotColor", 3);
}

TImButtonColors::TImButtonColors(TWinControl* AOwner) : FOwnerControl(AOwner) { ResetToDefault(); }

void TImButtonColors::OwnerChanged() {
    if (FOwnerControl) FOwnerControl->Invalidate();
}

void TImButtonColors::ResetToDefault() {
    for (TColor& c : FIbColors) c = clDefault;
    OwnerChanged();
}

void TImButtonColors::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TImButtonColors*>(Source);
    if (!src) return;
    for (int i = 0; i < 4; ++i) FIbColors[i] = src->FIbColors[i];
    OwnerChanged();
}

TColor TImButtonColors::fGetIbColor(int index) const { return index >= 0 && index < 4 ? FIbColors[index] : clDefault; }

void TImButtonColors::fSetIbColor(int index, TColor value) {
    if (index < 0 || index >= 4) return;
    FIbColors[index] = value;
    OwnerChanged();
}

// ---- TCustomImButton ----

LUMI_DEFINE_CLASS(TCustomImButton) {}

TCustomImButton::TCustomImButton(TComponent* AOwner) : TButton(AOwner) {
    SetParentColor(false);
    SetColor(clBtnFace);
    SetCursor(crHandPoint);
    FColors = std::make_unique<TImButtonColors>(this);
    FAnimatePicture = std::make_unique<TPicture>(this);
    FPicture = std::make_unique<TPicture>(this);
    FTimer = new TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(200);
    FTimer->SetOnTimer(TNotifyEvent(this, &TCustomImButton::ImMousePosTimer));
}

TCustomImButton::~TCustomImButton() {
    delete FTimer;
    FTimer = nullptr;
    FPicture.reset();
    FAnimatePicture.reset();
    FColors.reset();
}

void TCustomImButton::fSetAnimate(bool Value) {
    FAnimated = Value;
    Invalidate();
}

int TCustomImButton::fGetAniSpd() const { return static_cast<int>(FTimer->Interval()); }

// A negative speed would be an enormous interval: it stops the timer like 0 does.
void TCustomImButton::fSetAniSpd(int Value) { FTimer->SetInterval(Value > 0 ? static_cast<unsigned>(Value) : 0u); }

void TCustomImButton::fSetAniCount(int Value) {
    FAnimatedCount = Value;
    Invalidate();
}

void TCustomImButton::fSetSpacing(int Value) {
    // Bounded like a position, so the face layout's sums cannot overflow.
    FSpacing = std::clamp(Value, -MaxLayoutCoord, MaxLayoutCoord);
    Invalidate();
}

void TCustomImButton::fSetFocusRect(bool Value) {
    FFocusRect = Value;
    Invalidate();
}

void TCustomImButton::fSetLooks(TImBtnKind Value) {
    FLooks = Value;
    if (Value == ibkUltraFlat) {
        FColors->fSetIbColor(0, clNavy);
        FColors->fSetIbColor(2, 0xB5B5B5);
        FColors->fSetIbColor(3, 0xF0C8C0);
    } else {
        FColors->ResetToDefault();
    }
    FFocusRect = !(Value == ibkFlat || Value == ibkFullPicture);
    _fApplyRegion();
    Invalidate();
}

void TCustomImButton::_fApplyRegion() {
    HWND h = Handle();
    if (!h) return;
    HRGN rgn = FLooks == ibkWindowsXP ? CreateRoundRectRgn(0, 0, Width() + 1, Height() + 1, 2, 2) : nullptr;
    SetWindowRgn(h, rgn, false);
}

void TCustomImButton::fSetBtnColors(TImButtonColors* Value) {
    FColors->Assign(Value);
    Invalidate();
}

void TCustomImButton::fSetNomPicture(TPicture* Value) {
    FPicture->Assign(Value);
    Invalidate();
}

void TCustomImButton::fSetPicCount(int Value) {
    FPictureCount = Value;
    Invalidate();
}

void TCustomImButton::fSetHotPicutre(TPicture* Value) {
    FAnimatePicture->Assign(Value);
    Invalidate();
}

// ---- Pointer, press and timer ----

void TCustomImButton::fMouseEnter() {
    FMouseIn = true;
    FCounter = 0;
    if (FMouseHeld && !FPressed) FPressed = true;
    TWatch w(this);
    try {
        OnMouseEnter(this);
    } catch (const Exception&) {
        // A failing handler must not leave the button half hot.
    }
    if (!w.Alive()) return;
    Invalidate();
    FTimer->SetEnabled(true);
}

void TCustomImButton::fMouseLeave() {
    FTimer->SetEnabled(false);
    FMouseIn = false;
    FCounter = 0;
    if (FPressed) FPressed = false;
    TWatch w(this);
    try {
        OnMouseLeave(this);
    } catch (const Exception&) {
    }
    if (!w.Alive()) return;
    Invalidate();
}

void TCustomImButton::ImMousePosTimer(TObject*) {
    POINT p;
    bool ok = GetCursorPos(&p);
    // Without a window the position cannot be converted: taken as inside.
    if (ok) ok = HandleAllocated() && lumivane::ScreenToClient(Handle(), &p);
    if (ok && (p.x < 0 || p.x >= Width() || p.y < 0 || p.y >= Height())) {
        fMouseLeave();
        return;
    }
    if (FAnimated) Repaint();
}

void TCustomImButton::WndProc(TMessage& Message) {
    TWatch w(this);
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        if (!FMouseIn) {
            // Unsigned halves: a captured move left or above the button is far outside.
            const unsigned x = static_cast<unsigned>(Message.LParam) & 0xFFFFu;
            const unsigned y = (static_cast<unsigned>(Message.LParam) >> 16) & 0xFFFFu;
            if (static_cast<int>(x) < Width() && static_cast<int>(y) < Height()) {
                Perform(CM_MOUSEENTER, 0, 0);
                if (!w.Alive()) return;
            }
        }
        break;
    case WM_LBUTTONUP: {
        bool changed = false;
        if (FMouseHeld) {
            FMouseHeld = false;
            changed = true;
        }
        if (FPressed) {
            FPressed = false;
            changed = true;
        }
        if (changed) Invalidate();
        break;
    }
    case WM_LBUTTONDOWN:
        if (!FMouseHeld && !IsDesigning()) {
            FMouseHeld = true;
            FPressed = true;
            Invalidate();
        }
        break;
    case WM_ERASEBKGND:
        // The face covers every pixel; erasing first would only flicker.
        Message.Result = 1;
        return;
    default:
        break;
    }
    inherited::WndProc(Message);
    if (w.Alive() && Message.Msg == WM_SIZE && FLooks == ibkWindowsXP) _fApplyRegion();
}

void TCustomImButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(Message); return;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); return;
    case CM_FONTCHANGED: CMFontChanged(Message); return;
    case CM_MOUSEENTER: CMMouseEnter(Message); return;
    case CM_MOUSELEAVE: CMMouseLeave(Message); return;
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case CN_MEASUREITEM: CNMeasureItem(Message); return;
    default: inherited::Dispatch(Message);
    }
}

void TCustomImButton::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style |= BS_OWNERDRAW;
}

// The face shows the default marking itself; the native style is left alone.
void TCustomImButton::SetButtonStyle(bool ADefault) {
    if (ADefault == FIsDefault) return;
    FIsDefault = ADefault;
    Refresh();
}

// A double click is a second press, so a fast double click clicks twice.
void TCustomImButton::WMLButtonDblClk(TMessage& Message) {
    Message.Result = Perform(WM_LBUTTONDOWN, Message.WParam, Message.LParam);
}

void TCustomImButton::CMEnabledChanged(TMessage& Message) {
    TWatch w(this);
    inherited::Dispatch(Message);
    if (w.Alive()) Invalidate();
}

void TCustomImButton::CMFontChanged(TMessage& Message) {
    TWatch w(this);
    inherited::Dispatch(Message);
    if (w.Alive()) Invalidate();
}

// One crossing of the button's edge can be reported twice (the framework's notification, and the
// button's own move test or timer): the steps, and so the events, run once, when the state
// changes. The framework's handling then only tells the parent (a notification naming the button
// as its source fires nothing here: the steps fired the event).
void TCustomImButton::CMMouseEnter(TMessage& Message) {
    TWatch w(this);
    if (!FMouseIn) fMouseEnter();
    TMessage toParent{Message.Msg, Message.WParam, reinterpret_cast<LPARAM>(this), 0};
    if (w.Alive()) inherited::Dispatch(toParent);
}

void TCustomImButton::CMMouseLeave(TMessage& Message) {
    TWatch w(this);
    if (FMouseIn) fMouseLeave();
    TMessage toParent{Message.Msg, Message.WParam, reinterpret_cast<LPARAM>(this), 0};
    if (w.Alive()) inherited::Dispatch(toParent);
}

void TCustomImButton::CNDrawItem(TMessage& Message) {
    if (auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam)) DrawItem(*dis);
    Message.Result = 1;
}

void TCustomImButton::CNMeasureItem(TMessage& Message) {
    if (auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) {
        mis->itemWidth = static_cast<UINT>(Width());
        mis->itemHeight = static_cast<UINT>(Height());
    }
    Message.Result = 1;
}

// ---- TImButton ----

// The stored form lists these after the push button's own, in this order: FocusRect before
// Looks (so the look decides the focus rectangle) and Colors after Looks (so stored colours
// survive the look's colour reset).
LUMI_DEFINE_CLASS(TImButton) {
    using B = TImButton;
    p.Prop("DefaultDraw", &B::fGetDefaultDraw, &B::fSetDefaultDraw, true)
        .Prop("Animated", &B::fGetAnimate, &B::fSetAnimate, false)
        .Prop("AnimateSpeed", &B::fGetAniSpd, &B::fSetAniSpd, 0)
        .Prop("AnimatedCount", &B::fGetAniCount, &B::fSetAniCount, 0)
        .Range(-MaxLayoutCoord, MaxLayoutCoord)
        .Prop("Spacing", &B::fGetSpacing, &B::fSetSpacing, 0)
        .Range(-MaxLayoutCoord, MaxLayoutCoord)
        .Prop("FocusRect", &B::fGetFocusRect, &B::fSetFocusRect, true)
        .Enum("Looks", &B::fGetLooks, &B::fSetLooks, ImBtnKindNames, ibkNormal);
    // Taken off the inherited list first so they stand here, in this order.
    p.Hide("Color")
        .Color("Color", &TControl::Color, &TControl::SetColor, clWindow)
        .Stored([](B* b) { return !b->ParentColor(); })
        .Object("Colors", &B::fGetBtnColors)
        .Hide("ParentColor")
        .Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true)
        .Color("HotTextColor", &B::fGetHotTextColor, &B::fSetHotTextColor, clBlack)
        .Event("OnOwnerDraw", &B::fGetOnOwnerDraw, &B::fSetOnOwnerDraw)
        .Hide("OnMouseEnter")
        .Event("OnMouseEnter", &B::fGetOnMouseEnter, &B::fSetOnMouseEnter)
        .Hide("OnMouseLeave")
        .Event("OnMouseLeave", &B::fGetOnMouseLeave, &B::fSetOnMouseLeave)
        .Object("Picture", &B::fGetNomPicture)
        .Prop("PictureCount", &B::fGetPicCount, &B::fSetPicCount, 0)
        .Range(-MaxLayoutCoord, MaxLayoutCoord)
        .Object("AnimatePicture", &B::fGetHotPicture);
}

namespace ImButton {
void Register() { RegisterComponents("Lumivane", {TImButton::StaticClass()}); }
}  // namespace ImButton

}  // namespace lumivane
