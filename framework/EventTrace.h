#pragma once
#include <functional>
#include <string>

class TComponent;

// For the formshot tool's --trace: puts a handler in front of every event property of root and
// of every component it owns, which reports "event: COMPONENT.EVENT(ARGS)" before the bound
// handler (if any) runs. ARGS leave out the sender and pointers; by-reference arguments read
// Name=value: "event: btnClose.OnClick()", "event: Edit1.OnKeyPress(Key=65)".
void TraceEvents(TComponent* root, std::function<void(const std::string& line)> report);
