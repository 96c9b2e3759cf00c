#include "lumivane/controls/KdUpDownButtonColors.h"

#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/raster/Color.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TKdUpDownButtonColors) {
    auto slot = [&](std::string_view name, int index) {
        p.Color(name, [index](TKdUpDownButtonColors* c) { return c->fGetVEColor(index); },
                [index](TKdUpDownButtonColors* c, TColor v) { c->fSetVEColor(index, v); }, clDefault);
    };
    slot("DefaultColor", 0);
    slot("HotColor", 1);
    slot("PressedColor", 2);
    slot("DisabledColor", 3);
}

TKdUpDownButtonColors::TKdUpDownButtonColors(TWinControl* AOwner) : FOwnerControl(AOwner) {
    for (TColor& c : FColors) c = clDefault;
}

TPersistent* TKdUpDownButtonColors::GetOwner() { return FOwnerControl; }

void TKdUpDownButtonColors::_fOwnerChanged() {
    if (FOwnerControl) FOwnerControl->Invalidate();
}

TColor TKdUpDownButtonColors::fGetVEColor(int Index) const {
    return Index >= 0 && Index < ColorCount ? FColors[Index] : clDefault;
}

void TKdUpDownButtonColors::fSetVEColor(int Index, TColor Value) {
    if (Index < 0 || Index >= ColorCount) return;
    FColors[Index] = Value;
    _fOwnerChanged();
}

void TKdUpDownButtonColors::Assign(TPersistent* Source) {
    auto* src = dynamic_cast<TKdUpDownButtonColors*>(Source);
    if (!src) return;
    for (int i = 0; i < ColorCount; ++i) FColors[i] = src->FColors[i];
    _fOwnerChanged();
}

}  // namespace lumivane
