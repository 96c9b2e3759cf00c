#include "lumivane/controls/ImPanel.h"

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/windows/Input.h"
#include "lumivane/windows/Window.h"
#include "lumivane/framework/HandlerCalls.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TImPanel) {
    p.Prop("KeepSelStatus", &TImPanel::fGetKeepSelStatus, &TImPanel::fSetKeepSelStatus, false)
        .Event("OnPaint", &TImPanel::OnPaint);
}

TImPanel::TImPanel(TComponent* AOwner) : TPanel(AOwner) {
    // The poll runs for the panel's whole life, at one second (the timer's default interval).
    FTimer = new TTimer(this);
    FTimer->SetOnTimer(TNotifyEvent(this, &TImPanel::ImMousePosTimer));
}

// The timer goes first: no tick may reach a panel that is being taken apart.
TImPanel::~TImPanel() {
    delete FTimer;
    FTimer = nullptr;
}

void TImPanel::fSetKeepSelStatus(bool Value) {
    FKeepSelStatus = Value;
    if (!Value) UnselAllImages();
}

template <class Which>
void TImPanel::NormalizeImages(Which which) {
    TWatch w(this);
    // Counted once: an image's handler may add or remove children, and a child that is gone
    // fails its own step only.
    const int count = ControlCount();
    for (int i = 0; i < count; ++i) {
        // One image's failure must not keep the others from returning to normal.
        CallHandlerDropping([&] {
            auto* im = dynamic_cast<TImImage*>(Controls(i));
            if (im && which(im->fGetImStatus())) im->fSetImStatus(imsNormal);
        });
        if (!w.Alive()) return;
    }
}

void TImPanel::InitializeImPanel() {
    NormalizeImages([](int) { return true; });
}

void TImPanel::ResetAllImages() {
    NormalizeImages([](int status) { return status == imsHot; });
}

void TImPanel::UnselAllImages() {
    NormalizeImages([](int status) { return status == imsSelected; });
}

bool TImPanel::AnyHotImage() {
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* im = dynamic_cast<TImImage*>(Controls(i)); im && im->fGetImStatus() == imsHot) return true;
    return false;
}

void TImPanel::ImageTurnedHot() {
    if (FTimer) FTimer->SetResting(false);
}

void TImPanel::ImMousePosTimer(TObject*) {
    // With no hot image a tick can change nothing (the cursor is only read, the window exists
    // already), so the timer rests, keeping its phase, until an image of the panel turns hot:
    // an idle window then never wakes for the poll, and a hot image still returns to normal at
    // the first tick after the cursor left, as it would with the timer ticking all along.
    if (HandleAllocated() && !AnyHotImage()) {
        FTimer->SetResting(true);
        return;
    }
    POINT p;
    if (!GetCursorPos(&p)) return;
    // A panel on no window has no place on the screen to compare with, and creating a window
    // for it here would put a stray top-level window on the display.
    if (!HandleAllocated() && !Parent()) return;
    if (!lumivane::ScreenToClient(Handle(), &p)) return;
    if (p.x < 0 || p.y < 0 || p.x > Width() || p.y > Height()) ResetAllImages();
}

void TImPanel::MouseMove(TShiftState Shift, int X, int Y) {
    TWatch w(this);
    inherited::MouseMove(Shift, X, Y);
    // The pointer is on the bare surface: no image of the panel is under it.
    if (w.Alive()) ResetAllImages();
}

void TImPanel::Paint() {
    if (OnPaint.Assigned()) {
        OnPaint(this);
        return;
    }
    inherited::Paint();
}

namespace ImPanel {
void Register() { RegisterComponents("Lumivane", {TImPanel::StaticClass()}); }
}  // namespace ImPanel

}  // namespace lumivane
