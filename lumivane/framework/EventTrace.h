#pragma once
#include <functional>
#include <string>

namespace lumivane {

class TComponent;

// For the formshot tool's --trace: puts an observer on every event property of root and of every
// component it owns, which reports "event: COMPONENT.EVENT(ARGS)" each time the control raises the
// event, before the bound handler (if any) runs, and also when no handler is bound. It takes no
// part: no event becomes assigned by it. ARGS leave out the sender and pointers; by-reference
// arguments read Name=value: "event: btnClose.OnClick()", "event: Edit1.OnKeyPress(Key=65)". An
// event that only names its method (ReadFormAsPlainForm) says so: "event: btnAdd.OnClick() ->
// AddClick (not called)".
void TraceEvents(TComponent* root, std::function<void(const std::string& line)> report);

}  // namespace lumivane
