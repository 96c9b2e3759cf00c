#include "lumivane/framework/EventTrace.h"

#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Component.h"

namespace lumivane {

namespace {
void TraceOne(TComponent* c, const std::function<void(const std::string&)>& report) {
    for (auto& p : c->ClassType()->Properties()) {
        if (p->Kind != TPropKind::Event) continue;
        std::string head = "event: " + c->Name() + "." + p->Name + "(";
        // A method named without a handler (a layout of a class the program does not have).
        std::string tail = ")";
        if (!p->Event->Assigned(c) && !p->Event->MethodName(c).empty())
            tail += " -> " + p->Event->MethodName(c) + " (not called)";
        p->Event->BindTrace(c, [report, head, tail](const std::string& args) { report(head + args + tail); });
    }
}
}  // namespace

void TraceEvents(TComponent* root, std::function<void(const std::string& line)> report) {
    TraceOne(root, report);
    for (int i = 0; i < root->ComponentCount(); ++i) TraceOne(root->Components(i), report);
}

}  // namespace lumivane
