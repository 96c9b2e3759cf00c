#include "lumivane/framework/Pen.h"

#include <cstdlib>
#include <span>
#include <string_view>

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/text/DrawText.h"

namespace lumivane {

namespace {

int PenModeToRop2(TPenMode m) {
    static const int map[] = {R2_BLACK,       R2_WHITE,       R2_NOP,         R2_NOT,
                              R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                              R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,    R2_NOTMERGEPEN,
                              R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,      R2_NOTXORPEN};
    int i = static_cast<int>(m);
    return i >= 0 && i < 16 ? map[i] : R2_COPYPEN;
}

int PenStyleToPs(TPenStyle s) {
    switch (s) {
    case psDash:
    case psDashDot:
    case psDashDotDot: return PS_DASH;
    case psDot: return PS_DOT;
    case psClear: return PS_NULL;
    default: return PS_SOLID;
    }
}
}  // namespace

LUMI_DEFINE_CLASS(TPen) {
    p.Color("Color", &TPen::Color, &TPen::SetColor, clBlack)
        .Enum("Mode", &TPen::Mode, &TPen::SetMode,
              {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot", "pmMaskPenNot",
               "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor",
               "pmNotXor"},
              pmCopy)
        .Enum("Style", &TPen::Style, &TPen::SetStyle,
              {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"}, psSolid)
        .Prop("Width", &TPen::Width, &TPen::SetWidth, 1)
        .Range(-MaxLayoutCoord, MaxLayoutCoord);
}

void TPen::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value) {
    if (Value == FMode) return;
    FMode = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TPen::SetWidth(int Value) {
    if (Value < 0) Value = 0;
    if (Value == FWidth) return;
    FWidth = Value;
    Changed();
}

PenState TPen::State() const {
    PenState s;
    s.color = FColor;
    s.style = PenStyleToPs(FStyle);
    s.width = FWidth < 1 ? 1 : FWidth;
    s.mode = PenModeToRop2(FMode);
    return s;
}

void TPen::Assign(TPersistent* Source) {
    auto* p = dynamic_cast<TPen*>(Source);
    if (!p) return inherited::Assign(Source);
    if (p == this) return;
    if (FColor == p->FColor && FMode == p->FMode && FStyle == p->FStyle && FWidth == p->FWidth) return;
    FColor = p->FColor;
    FMode = p->FMode;
    FStyle = p->FStyle;
    FWidth = p->FWidth;
    Changed();
}

}  // namespace lumivane
