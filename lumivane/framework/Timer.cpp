#include "lumivane/framework/Timer.h"

#include <unordered_map>

#include "lumivane/framework/Application.h"
#include "lumivane/framework/Published.h"

namespace lumivane {

namespace {

const char* const kTimerClass = "TTimerWindow";
constexpr uintptr_t kTimerId = 1;

std::unordered_map<HWND, TTimer*>& TimerWindows() {
    static std::unordered_map<HWND, TTimer*> map;
    return map;
}

// Every timer window is a hidden child of one hidden top-level host, so timers cost no window
// of the display. The host is made again after the window system restarts.
HWND CreateTimerWindow(WNDPROC proc) {
    static HWND host = nullptr;
    WNDCLASS existing;
    if (!GetClassInfoA(kTimerClass, &existing)) {
        WNDCLASS wc;
        wc.lpszClassName = kTimerClass;
        wc.lpfnWndProc = proc;
        RegisterClassA(wc);
    }
    if (!IsWindow(host)) host = CreateWindowExA(0, kTimerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, 0, nullptr);
    HWND w = host ? CreateWindowExA(0, kTimerClass, "", WS_CHILD, 0, 0, 0, 0, host, 0, nullptr) : nullptr;
    if (!w) throw Exception("Cannot create the timer's window");
    return w;
}

}  // namespace

LUMI_DEFINE_CLASS(TTimer) {
    PublishDesignPosition(p).Prop("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
        .Prop("Interval", [](TTimer* t) { return static_cast<int>(t->Interval()); },
              [](TTimer* t, int v) { t->SetInterval(v < 0 ? 0u : static_cast<unsigned>(v)); }, 1000)
        .Event("OnTimer", &TTimer::GetOnTimer, &TTimer::SetOnTimer);
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer() {
    Stop();
    if (FWindow) {
        TimerWindows().erase(FWindow);
        if (IsWindow(FWindow)) DestroyWindow(FWindow);
    }
}

void TTimer::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Value) {
    if (FInterval == Value) return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& Value) {
    FOnTimer = Value;
    UpdateTimer();
}

void TTimer::Timer() { FOnTimer(this); }

void TTimer::SetResting(bool Value) {
    if (!FRunning || FResting == Value) return;
    FResting = Value;
    SetTimerResting(FWindow, kTimerId, Value);
}

void TTimer::Stop() {
    if (FRunning && IsWindow(FWindow)) KillTimer(FWindow, kTimerId);
    FRunning = false;
    FResting = false;
}

// Restarts the window-system timer from now whenever a value changes.
void TTimer::UpdateTimer() {
    Stop();
    if (!FEnabled || FInterval == 0 || !FOnTimer.Assigned()) return;
    if (!FWindow || !IsWindow(FWindow)) {
        if (FWindow) TimerWindows().erase(FWindow);
        FWindow = CreateTimerWindow(&TTimer::TimerWndProc);
        TimerWindows()[FWindow] = this;
    }
    if (!SetTimer(FWindow, kTimerId, FInterval, nullptr)) throw Exception("Cannot start the timer");
    FRunning = true;
}

LRESULT TTimer::TimerWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER) {
        auto it = TimerWindows().find(hwnd);
        if (it == TimerWindows().end() || !it->second->FRunning) return 0;
        TTimer* timer = it->second;
        try {
            timer->Timer();
        } catch (...) {
            if (!Application) throw;
            // The handler may have freed its timer.
            auto now = TimerWindows().find(hwnd);
            Application->HandleCurrentException(now != TimerWindows().end() && now->second == timer ? timer : nullptr);
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace lumivane
