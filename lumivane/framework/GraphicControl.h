#pragma once
#include <memory>

#include "lumivane/framework/Control.h"

namespace lumivane {

// A control without a window, painted by its parent through Canvas (origin at the control's
// top-left, clipped to its bounds).
class TGraphicControl : public TControl {
    LUMI_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }
    void Dispatch(TMessage& Message) override;

protected:
    // WM_PAINT from the parent (WParam = the parent's context, already moved and clipped).
    virtual void Paint();
    std::unique_ptr<TCanvas> FCanvas;
};

}  // namespace lumivane
