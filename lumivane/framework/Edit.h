#pragma once
#include <string>
#include <string_view>

#include "lumivane/framework/WinControl.h"

namespace lumivane {

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

inline constexpr std::string_view EditCharCaseNames[] = {"ecNormal", "ecUpperCase", "ecLowerCase"};


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
    // A character (code point) shown for each character of the text; 0 shows the text.
    char32_t PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char32_t Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool Modified();
    void SetModified(bool Value);
    bool CanUndo();

    // Selection, in characters (code points) from the start of the text; MaxLength counts
    // characters too.
    int SelStart();
    void SetSelStart(int Value);
    int SelLength();
    void SetSelLength(int Value);
    std::string SelText();
    // The text read in place, without a copy: valid until the edit next changes (a filter
    // judging a key reads it so, whatever the text's length).
    std::string_view TextView();
    // Replaces the selection (EM_REPLACESEL); no filtering.
    void SetSelText(const std::string& Value);
    // Copies as much of the selected text as BufSize - 1 bytes hold, in whole characters, and a
    // zero; returns the bytes copied.
    virtual int GetSelTextBuf(char* Buffer, int BufSize);

    virtual void Clear();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void SelectAll();
    void Undo();

    void Dispatch(TMessage& Message) override;
    // An entry: Text and EditableText, insertion typed through KeyPress (so a filter holds).
    void GetAccessible(TAccessibleInfo& Info) override;
    int AccessibleCaret() override;
    std::string AccessibleText() override;
    TRect AccessibleCharRect(int Offset) override;
    int AccessibleOffsetAt(TPoint Client) override;
    bool SetAccessibleCaret(int Offset) override;
    bool InsertAccessibleText(int Offset, const std::string& Text) override;
    bool DeleteAccessibleText(int Start, int End) override;

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
    char32_t FPasswordChar = 0;
    bool FReadOnly = false;
    bool FCreating = false;
};

class TEdit : public TCustomEdit {
    LUMI_CLASS(TEdit, TCustomEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

}  // namespace lumivane
