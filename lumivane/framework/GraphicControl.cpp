#include "lumivane/framework/Controls.h"
#include "lumivane/framework/Graphics.h"
#include "lumivane/framework/Published.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TGraphicControl) {}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg != WM_PAINT) return inherited::Dispatch(Message);
    auto* dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc) return;
    // The canvas starts each paint from the control's font and a fresh context.
    TCanvasBinding binding(*FCanvas, dc);
    FCanvas->Font()->Assign(FFont.get());
    Paint();
}

void TGraphicControl::Paint() {}

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
