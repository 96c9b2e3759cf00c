#pragma once
#include "lumivane/framework/Object.h"

namespace lumivane {

// An object whose state can be copied from another (Assign) and stored in a layout.
class TPersistent : public TObject {
    LUMI_CLASS(TPersistent, TObject)
public:
    // Copies Source into this object: asks Source to copy itself here (AssignTo). A class that
    // knows how to copy a source overrides Assign and falls back to inherited::Assign.
    virtual void Assign(TPersistent* Source);
    // The object that owns this one (for nested objects: their control), or null.
    virtual TPersistent* GetOwner();

protected:
    // Raises "Cannot assign a TX to a TY" unless a class knows how to copy itself into Dest.
    virtual void AssignTo(TPersistent* Dest);
    [[noreturn]] void AssignError(TPersistent* Source);
};

}  // namespace lumivane
