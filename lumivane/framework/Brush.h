#pragma once
#include "lumivane/framework/GraphicsObject.h"
#include "lumivane/gfx/raster/DeviceContext.h"

namespace lumivane {

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
    LUMI_CLASS(TBrush, TGraphicsObject)
public:
    TBrush() = default;

    TColor Color() const { return FColor; }
    // A colour is something to paint with: a clear brush becomes solid.
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);

    BrushState State() const;

    void Assign(TPersistent* Source) override;

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

}  // namespace lumivane
