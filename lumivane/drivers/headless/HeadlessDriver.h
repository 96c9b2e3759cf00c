#pragma once
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "lumivane/windows/Driver.h"

namespace lumivane {

// A display that exists only in memory, for tests and tools. Its clock is virtual and moves only
// when told; waiting never blocks. Input is a queue of events that the test pushes. Every window's
// presented pixels and presented rectangles are recorded. It is its own system too: the addresses
// asked to be opened are recorded, and a test may ask the process to end.
class HeadlessDriver : public Driver, public System {
public:
    static constexpr int kScreenWidth = 1280;
    static constexpr int kScreenHeight = 1024;

    struct Window {
        TopLevelSpec request;
        TRect bounds; // client area, screen coordinates
        bool visible = false;
        CursorKind cursor = CursorKind::Default;
        std::string title;
        int iconWidth = 0;
        int iconHeight = 0;
        std::vector<uint32_t> icon;
        bool textInput = false;                 // the last SetTextInput
        Surface presented;                      // what the display shows: see PresentedPixels
        bool presentedUnmade = true;            // black at the window's size, not yet allocated
        std::vector<std::vector<TRect>> presents; // rectangles of each Present call, in order
    };

    HeadlessDriver() = default;

    // Driver
    DriverWindowId CreateTopLevel(const TopLevelSpec& request) override;
    void DestroyTopLevel(DriverWindowId id) override;
    void ShowTopLevel(DriverWindowId id, bool visible) override;
    void SetTitle(DriverWindowId id, const std::string& utf8) override;
    void SetIcon(DriverWindowId id, int width, int height, const std::vector<uint32_t>& argb) override;
    void SetBounds(DriverWindowId id, const TRect& bounds) override;
    TPoint ClientOrigin(DriverWindowId id) override;
    TSize ScreenSize() override;
    void Present(DriverWindowId id, const Surface& surface, const std::vector<TRect>& rects) override;
    int64_t Now() override { return FNow; }
    // Never blocks. Hands over the queued events; with none, a wait that would block on a real
    // display (no deadline, or one still ahead) calls the wait hook (which may push events or move
    // the clock). An unbounded wait that finds nothing counts as an idle wait; a
    // long run of waits that find nothing and see no clock change throws Exception, so a loop
    // that could only end by real waiting fails instead of hanging the test.
    void WaitEvents(int64_t deadline, std::vector<DriverEvent>& out) override;
    bool GetCursorPos(TPoint& p) override;
    void SetCursor(DriverWindowId id, CursorKind cursor) override;
    void SetSelectionText(TSelection which, const std::string& utf8) override;
    bool GetSelectionText(TSelection which, std::string& utf8) override;
    System& GetSystem() override { return *this; }
    int DeviceScale() override { return FScale; }
    void SetTextInput(DriverWindowId id, bool on) override;
    // The watched fds are looked at (without waiting) by every WaitEvents.
    void WatchReadable(int fd, bool watch) override;

    // System
    void OpenAddress(const std::string& address) override;
    bool TakeTerminateRequest() override;

    // Test side.
    // The display's scale (1 to 4; at first 1). The screen is kScreenWidth by kScreenHeight
    // logical pixels at any scale. Once windows exist, a change is reported as ScaleChanged, as
    // a desktop's change of DPI is.
    void SetDeviceScale(int n);
    void SetNow(int64_t ms) { FNow = ms; }
    void Advance(int64_t ms) { FNow += ms; }
    void Push(const DriverEvent& e) { FEvents.push_back(e); }
    // As a termination signal would: the next wait reports Terminate.
    void RequestTerminate() { FTerminateRequested = true; }
    bool HasEvents() const { return !FEvents.empty(); }
    // Called from WaitEvents when no event is queued, with the deadline asked for.
    void SetWaitHook(std::function<void(int64_t deadline)> hook) { FWaitHook = std::move(hook); }

    // Pointer: screen position; false makes GetCursorPos fail (the position is unknown).
    void SetCursorPos(TPoint p) { FCursor = p; FCursorKnown = true; }
    void SetCursorUnknown() { FCursorKnown = false; }
    TPoint CursorPos() const { return FCursor; }

    // The topmost visible window whose client area contains the screen point; 0 for none.
    DriverWindowId TopLevelAt(TPoint screen) const;
    const Window* Find(DriverWindowId id) const;
    // What the display shows of a window. A window is black until presented; the pixels are
    // allocated only then or when first read, so a big form is not copied into a blank picture
    // it would overwrite anyway.
    const Surface& PresentedPixels(DriverWindowId id);
    // Visible windows, bottom first.
    std::vector<DriverWindowId> Stacking() const { return FStacking; }
    const std::map<DriverWindowId, Window>& Windows() const { return FWindows; }

    bool ClipboardHasText() const { return FSelections[0].has_value(); }
    const std::vector<std::string>& OpenedAddresses() const { return FOpened; }
    // Every WaitEvents call, and those that were unbounded and found nothing.
    int WaitCalls() const { return FWaitCalls; }
    int IdleWaits() const { return FIdleWaits; }
    void ClearPresents();

private:
    int64_t FNow = 0;
    int FScale = 1;
    std::deque<DriverEvent> FEvents;
    std::function<void(int64_t)> FWaitHook;
    std::map<DriverWindowId, Window> FWindows;
    std::vector<DriverWindowId> FStacking;
    DriverWindowId FNextId = 1;
    TPoint FCursor{-1, -1};
    bool FCursorKnown = true;
    std::optional<std::string> FSelections[2]; // by TSelection
    std::vector<std::string> FOpened;
    int FWaitCalls = 0;
    int FIdleWaits = 0;
    int FFruitlessWaits = 0;
    int64_t FFruitlessSince = 0;
    std::set<int> FWatched;
    bool FTerminateRequested = false;
};

}  // namespace lumivane
