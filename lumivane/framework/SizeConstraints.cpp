#include "lumivane/framework/SizeConstraints.h"

#include <algorithm>
#include <cstring>

#include "lumivane/framework/ControlsInternal.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/PropInfo.h"
#include "lumivane/framework/Published.h"
#include "lumivane/windows/Input.h"
#include "lumivane/windows/Painting.h"
#include "lumivane/base/Exception.h"
#include "lumivane/gfx/raster/Color.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TSizeConstraints) {
    p.Prop("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight, 0)
        .Range(0, MaxLayoutCoord)
        .Prop("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth, 0)
        .Range(0, MaxLayoutCoord)
        .Prop("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight, 0)
        .Range(0, MaxLayoutCoord)
        .Prop("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth, 0)
        .Range(0, MaxLayoutCoord);
}

void TSizeConstraints::SetMaxHeight(int Value) {
    FMaxHeight = std::clamp(Value, 0, MaxLayoutCoord);
    Changed();
}
void TSizeConstraints::SetMaxWidth(int Value) {
    FMaxWidth = std::clamp(Value, 0, MaxLayoutCoord);
    Changed();
}
void TSizeConstraints::SetMinHeight(int Value) {
    FMinHeight = std::clamp(Value, 0, MaxLayoutCoord);
    Changed();
}
void TSizeConstraints::SetMinWidth(int Value) {
    FMinWidth = std::clamp(Value, 0, MaxLayoutCoord);
    Changed();
}

void TSizeConstraints::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TSizeConstraints*>(Source);
    if (!s) return inherited::Assign(Source);
    FMaxHeight = s->FMaxHeight;
    FMaxWidth = s->FMaxWidth;
    FMinHeight = s->FMinHeight;
    FMinWidth = s->FMinWidth;
    Changed();
}

TPersistent* TSizeConstraints::GetOwner() { return FControl; }

// A new limit applies at once to the control's current size.
void TSizeConstraints::Changed() {
    if (!FControl || FControl->IsLoading()) return;
    FControl->SetBounds(FControl->Left(), FControl->Top(), FControl->Width(), FControl->Height());
}

}  // namespace lumivane
