#include "lumivane/windows/WindowSystemInternal.h"

namespace lumivane {

namespace {

bool InRange(UINT message, UINT low, UINT high) { return (low == 0 && high == 0) || (message >= low && message <= high); }

bool Matches(const MSG& m, HWND filter, UINT low, UINT high) {
    if (!InRange(m.message, low, high)) return false;
    if (!filter) return true;
    Wnd* f = FromHandle(filter);
    Wnd* w = FromHandle(m.hwnd);
    return f && w && IsSelfOrAncestor(f, w);
}

bool TakeQueued(MSG* msg, HWND filter, UINT low, UINT high, bool remove) {
    auto& q = WS().queue;
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (!Matches(it->msg, filter, low, high)) continue;
        *msg = it->msg;
        if (remove) {
            const QueuedMessage taken = *it;
            q.erase(it);
            if (taken.input) TookInputMessage(taken);
        }
        return true;
    }
    return false;
}

// Fetches what the display has without waiting.
void PollDriver() {
    auto& ws = WS();
    if (!ws.driver) return;
    std::vector<DriverEvent> events;
    ws.driver->WaitEvents(ws.driver->Now(), events);
    TranslateDriverEvents(events);
}

bool TakeMessage(MSG* msg, HWND filter, UINT low, UINT high, bool remove) {
    auto& ws = WS();
    if (!msg || !ws.driver) return false;
    if (TakeQueued(msg, filter, low, high, remove)) return true;
    PollDriver();
    if (TakeQueued(msg, filter, low, high, remove)) return true;
    if (ws.quitPending) {
        *msg = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(ws.quitCode), 0);
        if (remove) ws.quitPending = false;
        return true;
    }
    if (InRange(WM_TIMER, low, high) && TakeDueTimer(filter, msg, remove)) return true;
    if (InRange(WM_PAINT, low, high)) {
        if (Wnd* w = FindPaintWindow(filter)) {
            *msg = MakeMessage(w->handle, WM_PAINT, 0, 0);
            return true;
        }
    }
    PresentDirty();
    return false;
}

} // namespace

void TranslateDriverEvents(const std::vector<DriverEvent>& events) {
    for (const DriverEvent& e : events) TranslateDriverEvent(e);
    // Input that made no message (no window to take it) still counts once nothing is queued.
    if (WS().queuedInput == 0) CatchUpKeyState();
}

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) {
    auto& ws = WS();
    MSG m;
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wp;
    m.lParam = lp;
    m.time = ws.driver ? ws.driver->Now() : 0;
    m.pt = ws.pointer;
    return m;
}

bool PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd && !IsWindow(hwnd)) return false;
    WS().queue.push_back(QueuedMessage{MakeMessage(hwnd, msg, wp, lp)});
    return true;
}

void PostQuitMessage(int exitCode) {
    WS().quitPending = true;
    WS().quitCode = exitCode;
}

bool PeekMessageA(MSG* msg, HWND hwnd, UINT low, UINT high, UINT remove) {
    return TakeMessage(msg, hwnd, low, high, (remove & PM_REMOVE) != 0);
}

bool GetMessageA(MSG* msg, HWND hwnd, UINT low, UINT high) {
    if (!msg || !WS().driver) return false;
    for (;;) {
        if (TakeMessage(msg, hwnd, low, high, true)) return msg->message != WM_QUIT;
        RunIdleHandler();
        if (TakeMessage(msg, hwnd, low, high, true)) return msg->message != WM_QUIT;
        WaitMessage();
    }
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    Wnd* w = FromHandle(msg->hwnd);
    if (!w) return 0;
    if (msg->message == WM_PAINT) {
        PaintWindowNow(w);
        return 0;
    }
    return CallProc(w, w->proc, msg->message, msg->wParam, msg->lParam);
}

bool TranslateMessage(const MSG* /*msg*/) { return false; }

void WaitMessage() {
    auto& ws = WS();
    if (!ws.driver) return;
    if (!ws.queue.empty() || ws.quitPending || FindPaintWindow(nullptr)) return;
    int64_t deadline = -1;
    if (GetNextTimerDeadline(&deadline) && deadline <= ws.driver->Now()) return;
    PresentDirty();
    std::vector<DriverEvent> events;
    ws.driver->WaitEvents(deadline, events);
    TranslateDriverEvents(events);
}

bool PumpWhileDriverWaits() {
    // A bounded batch: a handler that posts a message each time it runs cannot keep the driver
    // from looking at its deadline.
    constexpr int kMaxMessages = 1000;
    for (int i = 0; i < kMaxMessages; ++i) {
        MSG m;
        if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) break;
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam)); // for the program's own loop
            return false;
        }
        DispatchMessageA(&m);
    }
    return !WS().quitPending;
}

int RunModalLoop(HWND dialog, const bool* done) {
    Wnd* d = FromHandle(dialog);
    if (!d) return 0;
    HWND owner = d->owner ? d->owner->handle : nullptr;
    bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner) EnableWindow(owner, false);
    // The owner comes back even when a handler throws out of the loop.
    struct Restore {
        HWND owner;
        bool active;
        ~Restore() {
            if (!active || !IsWindow(owner)) return;
            EnableWindow(owner, true);
            if (IsWindowVisible(owner)) SetActiveWindow(owner);
        }
    } restore{owner, disabledOwner};

    while ((!done || !*done) && IsWindow(dialog)) {
        MSG m;
        if (!GetMessageA(&m, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(m.wParam));
            return -1;
        }
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}

}  // namespace lumivane
