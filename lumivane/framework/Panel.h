#pragma once
#include "lumivane/framework/CustomControl.h"

namespace lumivane {

// A window with raised or lowered 3D frames (outer bevel, a border of Color BorderWidth wide,
// inner bevel), filled with Color, and its caption centred vertically and aligned by Alignment.
// Aligned children are placed inside the frames.
class TCustomPanel : public TCustomControl {
    LUMI_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The panel's own bevels (they hide the bevel values every windowed control stores).
    TBevelCut BevelInner() const { return FPanelBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FPanelBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FPanelBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }
    bool Locked() const { return FLocked; }
    void SetLocked(bool Value) { FLocked = Value; }

    void Dispatch(TMessage& Message) override;
    void GetAccessible(TAccessibleInfo& Info) override;

protected:
    void Paint() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    // Width of everything drawn inside the client edge: border line, bevels and border.
    int FrameWidth() const;

    TAlignment FAlignment = taCenter;
    TBevelCut FPanelBevelInner = bvNone;
    TBevelCut FPanelBevelOuter = bvRaised;
    int FPanelBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    bool FFullRepaint = true;
    bool FLocked = false;
};

class TPanel : public TCustomPanel {
    LUMI_CLASS(TPanel, TCustomPanel)
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// Draws Width nested one-pixel frames inside Rect: top and left edges in TopColor, bottom and
// right in BottomColor (the bottom-left and top-right corner pixels go to BottomColor). Rect
// shrinks by Width on every side.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

}  // namespace lumivane
