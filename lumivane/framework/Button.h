#pragma once
#include "lumivane/framework/WinControl.h"

namespace lumivane {

// A windowed control that clicks (the base of push buttons).
class TButtonControl : public TWinControl {
    LUMI_CLASS(TButtonControl, TWinControl)
public:
    explicit TButtonControl(TComponent* AOwner);

protected:
    // While set, programmatic state changes do not click.
    bool FClicksDisabled = false;
};

// A push button over the native "BUTTON" window: 75 x 25, a tab stop. BN_CLICKED (through
// CN_COMMAND) runs Click, which fires OnClick and sets the form's ModalResult. The focus logic
// marks the active default button (SetButtonStyle); Enter clicks it, Escape clicks a Cancel
// button (CM_DIALOGKEY).
class TButton : public TButtonControl {
    LUMI_CLASS(TButton, TButtonControl)
public:
    explicit TButton(TComponent* AOwner);

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // Whether the focus logic marks this button as the one Enter clicks.
    bool Active() const { return FActive; }

    void Click() override;
    void GetAccessible(TAccessibleInfo& Info) override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // Shows the button as the default push button or a plain one (BM_SETSTYLE).
    virtual void SetButtonStyle(bool ADefault);

    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = mrNone;
};

}  // namespace lumivane
