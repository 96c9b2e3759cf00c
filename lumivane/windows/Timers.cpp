#include <algorithm>

#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

uintptr_t SetTimer(HWND hwnd, uintptr_t id, UINT elapseMs, void* /*timerProc*/) {
    auto& ws = WS();
    if (!FromHandle(hwnd) || !ws.driver) return 0;
    int64_t deadline = ws.driver->Now() + elapseMs;
    for (TimerEntry& t : ws.timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.interval = elapseMs;
            t.deadline = deadline;
            t.resting = false;
            return id ? id : 1;
        }
    }
    ws.timers.push_back({hwnd, id, elapseMs, deadline, ws.timerOrder++});
    return id ? id : 1;
}

bool KillTimer(HWND hwnd, uintptr_t id) {
    auto& timers = WS().timers;
    auto it = std::find_if(timers.begin(), timers.end(), [&](const TimerEntry& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end()) return false;
    timers.erase(it);
    return true;
}

bool SetTimerResting(HWND hwnd, uintptr_t id, bool resting) {
    auto& ws = WS();
    for (TimerEntry& t : ws.timers) {
        if (t.hwnd != hwnd || t.id != id) continue;
        if (t.resting && !resting && t.interval > 0) {
            // The ticks that fell while it rested are passed over; one due right now still fires.
            const int64_t now = ws.driver ? ws.driver->Now() : t.deadline;
            if (t.deadline < now) t.deadline += ((now - t.deadline - 1) / t.interval + 1) * t.interval;
        }
        t.resting = resting;
        return true;
    }
    return false;
}

bool GetNextTimerDeadline(int64_t* deadline) {
    bool any = false;
    int64_t best = 0;
    for (const TimerEntry& t : WS().timers) {
        if (t.interval == 0 || t.resting) continue;
        if (!any || t.deadline < best) best = t.deadline;
        any = true;
    }
    if (any && deadline) *deadline = best;
    return any;
}

bool TakeDueTimer(HWND filter, MSG* msg, bool remove) {
    auto& ws = WS();
    int64_t now = ws.driver->Now();
    Wnd* f = filter ? FromHandle(filter) : nullptr;
    TimerEntry* due = nullptr;
    for (TimerEntry& t : ws.timers) {
        if (t.interval == 0 || t.resting || t.deadline > now) continue;
        if (filter) {
            Wnd* w = FromHandle(t.hwnd);
            if (!f || !w || !IsSelfOrAncestor(f, w)) continue;
        }
        if (!due || t.deadline < due->deadline || (t.deadline == due->deadline && t.order < due->order)) due = &t;
    }
    if (!due) return false;
    *msg = MakeMessage(due->hwnd, WM_TIMER, due->id, 0);
    // Missed ticks collapse into this one; the timer keeps its phase.
    if (remove)
        while (due->deadline <= now) due->deadline += due->interval;
    return true;
}

void KillTimersOf(HWND hwnd) {
    std::erase_if(WS().timers, [hwnd](const TimerEntry& t) { return t.hwnd == hwnd; });
}

}  // namespace lumivane
