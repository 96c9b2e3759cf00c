#pragma once
#include <cstdint>

#include "lumivane/windows/Messages.h"

namespace lumivane {

// Timers post WM_TIMER (wParam = id) to their window when due, on the driver's clock. An interval
// of 0 never fires. Missed ticks coalesce: at most one WM_TIMER per timer each time the queue is
// looked at, and the timer keeps its phase (a 55 ms timer set at 0 is due at 55, 110, 165...).
// Setting an existing (window, id) again restarts it with the new interval.
uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT elapseMs, void* timerProc /*unused*/);
bool KillTimer(HWND hwnd, uintptr_t id);
// A resting timer keeps its phase but neither fires nor wakes the loop: for a timer whose ticks
// its owner knows would do nothing for now. Woken, it fires at its next tick after now, as if it
// had ticked all along. Setting the timer again wakes it. False for a timer that does not exist.
bool SetTimerResting(HWND hwnd, uintptr_t id, bool resting);
// Earliest deadline of any running timer; false when none runs.
bool GetNextTimerDeadline(int64_t* deadline);

}  // namespace lumivane
