#pragma once
#include "lumivane/framework/Events.h"
#include "lumivane/framework/Persistent.h"

namespace lumivane {

// Base of the three drawing tools: an OnChange that fires after every change of a value.
class TGraphicsObject : public TPersistent {
    LUMI_CLASS(TGraphicsObject, TPersistent)
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

}  // namespace lumivane
