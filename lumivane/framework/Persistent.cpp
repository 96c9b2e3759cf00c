#include "lumivane/framework/Persistent.h"

#include "lumivane/base/Exception.h"
#include "lumivane/framework/Published.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TPersistent) {}

void TPersistent::Assign(TPersistent* Source) {
    if (Source)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

TPersistent* TPersistent::GetOwner() { return nullptr; }

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
    std::string from = Source ? Source->ClassName() : std::string("nil");
    throw Exception("Cannot assign a " + from + " to a " + ClassName());
}

}  // namespace lumivane
