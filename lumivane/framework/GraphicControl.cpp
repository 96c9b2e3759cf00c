#include "lumivane/framework/GraphicControl.h"
#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Published.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TGraphicControl) {}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_CAPTURECHANGED) {
        // The parent lost the capture this control held: the release goes elsewhere, so no
        // click comes of the press.
        FControlState.Exclude(csLButtonDown);
        FControlState.Exclude(csClicked);
        return;
    }
    if (Message.Msg != WM_PAINT) return inherited::Dispatch(Message);
    auto* dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc) return;
    // The canvas starts each paint from the control's font and a fresh context.
    TCanvasBinding binding(*FCanvas, dc);
    FCanvas->Font()->Assign(FFont.get());
    Paint();
}

void TGraphicControl::Paint() {}

}  // namespace lumivane
