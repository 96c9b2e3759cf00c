#pragma once
#include <memory>

#include "lumivane/framework/WinControl.h"

namespace lumivane {

// A window painted by the framework: WM_PAINT binds Canvas to the paint context and runs Paint,
// then paints the graphic children.
class TCustomControl : public TWinControl {
    LUMI_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }

protected:
    virtual void Paint();
    void PaintWindow(HDC DC) override;
    std::unique_ptr<TCanvas> FCanvas;
};

}  // namespace lumivane
