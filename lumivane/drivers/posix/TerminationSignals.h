#pragma once

namespace lumivane {

// Asks that SIGTERM, SIGINT and SIGHUP end the program the way closing its main window does:
// through the window's OnCloseQuery, so that work not yet saved can be kept or the end refused.
// Without this call the library takes no signal at all, and each keeps its default action.
// Call it once from main, before the display is opened; later calls do nothing.
//
// - A signal the program was started ignoring (as `nohup` starts it) stays ignored.
// - A second signal while the first is being handled ends the program at once, by that signal's
//   default action; so does the first one when the program has not come back to its event wait a
//   second later (a display server that is frozen, not gone, holds a round trip forever).
// - No other signal, alarm or timer of the program is touched.
void CloseOnTerminationSignals();

}  // namespace lumivane
