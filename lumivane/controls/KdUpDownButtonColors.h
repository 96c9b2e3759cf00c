#pragma once
#include "lumivane/framework/Persistent.h"

namespace lumivane {

// Four face colours of the up-down edit's arrow buttons: 0 DefaultColor (at rest), 1 HotColor
// (pointer over the button), 2 PressedColor (held by the mouse or an arrow key), 3 DisabledColor
// (the edit is disabled). clDefault means the colour the button's look chooses. The order is not
// that of the frame's colour set (there hot is 3 and disabled 1).
class TKdUpDownButtonColors : public TPersistent {
    LUMI_CLASS(TKdUpDownButtonColors, TPersistent)
public:
    static constexpr int ColorCount = 4;

    explicit TKdUpDownButtonColors(TWinControl* AOwner);

    // clDefault outside 0..3; a write outside 0..3 is ignored. Every write repaints the owner,
    // which for an up-down edit is the frame and both buttons.
    TColor fGetVEColor(int Index) const;
    void fSetVEColor(int Index, TColor Value);
    // Copies the four slots of another set of this class; any other source is ignored.
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

    TColor DefaultColor() const { return fGetVEColor(0); }
    TColor HotColor() const { return fGetVEColor(1); }
    TColor PressedColor() const { return fGetVEColor(2); }
    TColor DisabledColor() const { return fGetVEColor(3); }
    void SetDefaultColor(TColor Value) { fSetVEColor(0, Value); }
    void SetHotColor(TColor Value) { fSetVEColor(1, Value); }
    void SetPressedColor(TColor Value) { fSetVEColor(2, Value); }
    void SetDisabledColor(TColor Value) { fSetVEColor(3, Value); }

private:
    void _fOwnerChanged();

    TWinControl* FOwnerControl;
    TColor FColors[ColorCount];
};

}  // namespace lumivane
