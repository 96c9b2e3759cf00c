#include "lumivane/framework/Button.h"

#include <algorithm>
#include <cstring>

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/PopupMenu.h"
#include "lumivane/framework/PublishControlProps.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Timer.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

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

}  // namespace lumivane
