#pragma once
#include <string>

#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

// The framework's standard controls: the text label, the push button over the native "BUTTON"
// and the single-line edit over the native "EDIT".

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
inline constexpr std::string_view TextLayoutNames[] = {"tlTop", "tlCenter", "tlBottom"};
inline constexpr std::string_view EditCharCaseNames[] = {"ecNormal", "ecUpperCase", "ecLowerCase"};

// A text on its parent, without a window. With AutoSize (the default) the label takes the size
// of its text (with WordWrap only the height follows); Transparent leaves the parent's pixels
// under the text, otherwise the label fills with Color first.
class TCustomLabel : public TGraphicControl {
    LUMI_CLASS(TCustomLabel, TGraphicControl)
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    void SetAutoSize(bool Value) override;
    // The control that a click on the label's accelerator would focus; cleared when that
    // control is freed.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    void Loaded() override;
    // The text as drawn (an empty caption of a label being designed shows its name).
    virtual std::string GetLabelText();
    // Draws the text into Rect with the DrawTextA flags (DT_CALCRECT measures into Rect).
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    // Sizes the label to its text when AutoSize is set.
    virtual void AdjustBounds();
    UINT DrawTextFlags() const;

    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FShowAccelChar = true;
    bool FTransparent = false;
    bool FWordWrap = false;
    TWinControl* FFocusControl = nullptr;

    void Notification(TComponent* AComponent, TOperation Operation) override;
};

class TLabel : public TCustomLabel {
    LUMI_CLASS(TLabel, TCustomLabel)
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

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

// A single-line edit over the native "EDIT" window. With BorderStyle bsSingle it shows a
// sunken 2-pixel frame, the native edit filling the inside.
class TCustomEdit : public TWinControl {
    LUMI_CLASS(TCustomEdit, TWinControl)
public:
    explicit TCustomEdit(TComponent* AOwner);

    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool Value) { FAutoSelect = Value; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TEditCharCase CharCase() const { return FCharCase; }
    void SetCharCase(TEditCharCase Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    bool OEMConvert() const { return FOEMConvert; }
    void SetOEMConvert(bool Value) { FOEMConvert = Value; }
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool Modified();
    void SetModified(bool Value);
    bool CanUndo();

    // Selection, in characters from the start of the text.
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    std::string SelText();
    // Replaces the selection (EM_REPLACESEL); no filtering.
    void SetSelText(const std::string& Value);
    // Copies at most BufSize - 1 selected characters and a zero; returns the count copied.
    virtual int GetSelTextBuf(char* Buffer, int BufSize);

    virtual void Clear();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void SelectAll();
    void Undo();

    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DoEnter() override;
    // After every change of the text (EN_CHANGE); fires OnChange.
    virtual void Change();
    // The frame of bsSingle, drawn after the native painting.
    void PaintBorder();
    // The edit's own menu (framework/EditMenu.cpp): Undo, Cut, Copy, Paste, Delete, Select All,
    // each enabled only when it can act.
    bool DefaultContextPopup(TPoint ScreenPos) override;
    TPopupMenu* EditMenu();
    void UpdateEditMenu();
    TPopupMenu* FEditMenu = nullptr;  // owned by the edit, made when first shown

    bool FAutoSelect = true;
    TBorderStyle FBorderStyle = bsSingle;
    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    int FMaxLength = 0;
    bool FOEMConvert = false;
    char FPasswordChar = 0;
    bool FReadOnly = false;
    bool FCreating = false;
};

class TEdit : public TCustomEdit {
    LUMI_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// Registers the framework's standard classes (TLabel, TButton, TEdit, TTimer and the abstract
// bases) with the class registry so a layout can create them by name. Safe to call again; the
// application object calls it when it starts.
void RegisterStandardControls();

}  // namespace lumivane
