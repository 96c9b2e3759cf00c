#pragma once
#include "lumivane/framework/Persistent.h"

namespace lumivane {

class TControl;

// Size limits of a control (0 = none), applied by SetBounds.
class TSizeConstraints : public TPersistent {
    LUMI_CLASS(TSizeConstraints, TPersistent)
public:
    explicit TSizeConstraints(TControl* Control) : FControl(Control) {}
    int MaxHeight() const { return FMaxHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MinHeight() const { return FMinHeight; }
    int MinWidth() const { return FMinWidth; }
    void SetMaxHeight(int Value);
    void SetMaxWidth(int Value);
    void SetMinHeight(int Value);
    void SetMinWidth(int Value);
    void Assign(TPersistent* Source) override;
    TPersistent* GetOwner() override;

private:
    void Changed();
    TControl* FControl;
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

}  // namespace lumivane
