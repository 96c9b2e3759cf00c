#include "lumivane/framework/Object.h"

#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Published.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TObject) {}

const std::string& TObject::ClassName() const { return ClassType()->Name(); }

bool TObject::InheritsFrom(TClass c) const { return ClassType()->InheritsFrom(c); }

bool TObject::InheritsFrom(std::string_view className) const { return ClassType()->InheritsFrom(className); }

void TObject::Dispatch(TMessage& Message) { DefaultHandler(Message); }

void TObject::DefaultHandler(TMessage&) {}

}  // namespace lumivane
