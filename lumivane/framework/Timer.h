#pragma once
#include "lumivane/framework/Component.h"
#include "lumivane/framework/Events.h"
#include "lumivane/windows/Window.h"

namespace lumivane {

// A message-based timer: OnTimer fires every Interval ms on the GUI thread, from WM_TIMER
// delivered to a hidden window of its own. No timer runs while Enabled is false, Interval is 0
// or OnTimer is unassigned; changing Interval, Enabled or OnTimer restarts it.
class TTimer : public TComponent {
    LUMI_CLASS(TTimer, TComponent)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    const TNotifyEvent& GetOnTimer() const { return FOnTimer; }
    void SetOnTimer(const TNotifyEvent& Value);
    // Assigned like every event (Timer->OnTimer = ...), through SetOnTimer.
    TEventRef<TTimer, TNotifyEvent, &TTimer::GetOnTimer, &TTimer::SetOnTimer> OnTimer{this};
    // Whether a window-system timer is running now.
    bool Running() const { return FRunning; }
    // For an owner that knows the coming ticks would do nothing: the timer keeps running and
    // keeps its phase, but does not wake the program until told otherwise (SetTimerResting).
    // Any change of Enabled, Interval or OnTimer wakes it.
    void SetResting(bool Value);
    bool Resting() const { return FResting; }

protected:
    // Fires OnTimer.
    virtual void Timer();

private:
    void UpdateTimer();
    void Stop();
    static LRESULT TimerWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    bool FEnabled = true;
    unsigned FInterval = 1000;
    TNotifyEvent FOnTimer;
    HWND FWindow = nullptr;
    bool FRunning = false;
    bool FResting = false;
};

}  // namespace lumivane
