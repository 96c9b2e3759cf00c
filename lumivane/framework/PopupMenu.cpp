#include "lumivane/framework/PopupMenu.h"

#include <algorithm>
#include <cctype>

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/Published.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TPopupMenu) {
    p.Enum("Alignment", &TPopupMenu::Alignment, &TPopupMenu::SetAlignment, PopupAlignmentNames, paLeft)
        .Prop("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup, true)
        .Enum("TrackButton", &TPopupMenu::TrackButton, &TPopupMenu::SetTrackButton, TrackButtonNames, tbRightButton)
        .Event("OnClose", &TPopupMenu::OnClose)
        .Event("OnPopup", &TPopupMenu::OnPopup);
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
    Destroying();
    MenuWindow::Forget(this);
    if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    if (FPopupComponent == Value) return;
    if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = Value;
    if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::Popup(int X, int Y) {
    MenuWindow::CloseAll();
    OnPopup(this);
    MenuWindow::Open(this, {X, Y});
}

void TPopupMenu::CloseMenu() {
    if (IsOpen()) MenuWindow::CloseAll();
}

bool TPopupMenu::IsOpen() const { return MenuWindow::OpenMenu() == this; }

}  // namespace lumivane
