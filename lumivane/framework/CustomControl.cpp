#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/GraphicControl.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Published.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TCustomControl) {}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::Paint() {}

void TCustomControl::PaintWindow(HDC DC) {
    TCanvasBinding binding(*FCanvas, DC);
    FCanvas->Font()->Assign(FFont.get());
    FCanvas->Brush()->SetColor(FColor);
    Paint();
}

}  // namespace lumivane
