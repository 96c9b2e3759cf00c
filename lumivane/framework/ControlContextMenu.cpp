// Context menus of controls: the PopupMenu reference, the WM_CONTEXTMENU handling and the
// shortcuts of the menus' items.
#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/MenuWindow.h"
#include "lumivane/framework/PopupMenu.h"

namespace lumivane {

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu == Value) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) { OnContextPopup(this, MousePos, Handled); }

bool TControl::DefaultContextPopup(TPoint) { return false; }

// The request goes: OnContextPopup, then the PopupMenu (when it pops up by itself), then the
// control's own menu (unless the control is a part of its parent that has a PopupMenu), then
// the parent. A keyboard request opens the menu at the control's centre.
void TControl::WMContextMenu(TMessage& Message) {
    TWatch w(this);
    const bool byKeyboard = Message.LParam == -1 || static_cast<uint32_t>(Message.LParam) == 0xFFFFFFFFu;
    const TPoint screen = byKeyboard ? ClientToScreen({ClientWidth() / 2, ClientHeight() / 2})
                                     : TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    bool handled = false;
    DoContextPopup(byKeyboard ? TPoint{-1, -1} : ScreenToClient(screen), handled);
    if (!w.Alive()) return;
    Message.Result = 1;
    if (handled) return;
    if (FPopupMenu && FPopupMenu->AutoPopup()) {
        FPopupMenu->SetPopupComponent(this);
        FPopupMenu->Popup(screen.x, screen.y);
        return;
    }
    // An inner part of a control (a framed edit's edit) shows its owner's menu before its own.
    auto* outer = dynamic_cast<TControl*>(Owner());
    const bool outerMenu = outer && outer == FParent && outer->PopupMenu();
    if (!outerMenu && DefaultContextPopup(screen)) return;
    if (!w.Alive()) return;
    Message.Result = FParent ? FParent->Perform(WM_CONTEXTMENU, Message.WParam, MAKELPARAM(screen.x, screen.y)) : 0;
}

bool TWinControl::IsMenuKey(WORD Key) {
    if (Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU || Key > 0xFF) return false;
    const TShiftState shift = KeyboardShiftState();
    TShortCut shortCut = Key;
    if (shift.Contains(ssShift)) shortCut |= scShift;
    if (shift.Contains(ssCtrl)) shortCut |= scCtrl;
    if (shift.Contains(ssAlt)) shortCut |= scAlt;
    for (TControl* c = this; c; c = c->Parent()) {
        TPopupMenu* menu = c->PopupMenu();
        TMenuItem* item = menu ? menu->FindItemByShortCut(shortCut) : nullptr;
        if (!item) continue;
        // The character the key types is the item's too.
        MenuWindow::EatChar();
        item->Click();
        return true;
    }
    return false;
}

}  // namespace lumivane
