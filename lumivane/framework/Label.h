#pragma once
#include <string>
#include <string_view>

#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

enum TTextLayout { tlTop, tlCenter, tlBottom };

inline constexpr std::string_view TextLayoutNames[] = {"tlTop", "tlCenter", "tlBottom"};


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
    void GetAccessible(TAccessibleInfo& Info) override;
    // The text as shown: without the accelerator marker.
    std::string AccessibleText() override;
    TRect AccessibleCharRect(int Offset) override;
    int AccessibleOffsetAt(TPoint Client) override;

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

}  // namespace lumivane
