#pragma once
#include "lumivane/framework/GraphicsObject.h"
#include "lumivane/gfx/raster/DeviceContext.h"

namespace lumivane {

// Pen raster modes in the toolkit's order; each maps to one R2_* code.
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
    pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TGraphicsObject {
    LUMI_CLASS(TPen, TGraphicsObject)
public:
    TPen() = default;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);

    // The context's pen state for these values.
    PenState State() const;

    void Assign(TPersistent* Source) override;

private:
    TColor FColor = clBlack;
    TPenMode FMode = pmCopy;
    TPenStyle FStyle = psSolid;
    int FWidth = 1;
};

}  // namespace lumivane
