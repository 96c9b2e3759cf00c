#pragma once

namespace lumivane {

// What the event wait needs of the handlers that CloseOnTerminationSignals installs.
namespace termination {

// The descriptor that becomes readable when a request to end came; -1 while no handler is installed.
int WakeFd();
// True once for the requests that came since the last call.
bool TakeRequest();
// The program is waiting for input again: a request taken before has been handled (the window
// closed or refused to), so its deadline is lifted and the next signal counts as a first one.
void Answered();

}  // namespace termination

}  // namespace lumivane
