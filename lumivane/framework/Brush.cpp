#include "lumivane/framework/Brush.h"

#include <cstdlib>
#include <span>
#include <string_view>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/text/DrawText.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TBrush) {
    p.Color("Color", &TBrush::Color, &TBrush::SetColor, clWhite)
        .Enum("Style", &TBrush::Style, &TBrush::SetStyle, {"bsSolid", "bsClear"}, bsSolid);
}

void TBrush::SetColor(TColor Value) {
    if (Value == FColor && FStyle == bsSolid) return;
    FColor = Value;
    FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

BrushState TBrush::State() const {
    BrushState s;
    s.color = FColor;
    s.style = FStyle == bsClear ? BS_NULL : BS_SOLID;
    return s;
}

void TBrush::Assign(TPersistent* Source) {
    auto* b = dynamic_cast<TBrush*>(Source);
    if (!b) return inherited::Assign(Source);
    if (b == this) return;
    if (FColor == b->FColor && FStyle == b->FStyle) return;
    FColor = b->FColor;
    FStyle = b->FStyle;
    Changed();
}

}  // namespace lumivane
