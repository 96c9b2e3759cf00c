#pragma once
#include <unordered_map>
#include <vector>

#include "lumivane/windows/Driver.h"

namespace lumivane {

// The window system's edge with the display: logical (96-DPI) pixels inside, device pixels
// outside. It is a driver over the real one that multiplies what goes out (window bounds,
// presented rectangles, the icon) by the display's scale and divides what comes in (pointer
// positions, exposed areas, sizes, the screen): hit testing, hover, drag thresholds and every
// control's geometry stay what they are at scale 1.
//
// Rounding: a point is the logical pixel whose block holds it (rounded down, also left of and
// above the window under a capture); an area or size the logical pixels that reach into it
// (rounded out), so that nothing of the device is left unpainted or unpresented.
class DeviceEdge final : public Driver {
public:
    explicit DeviceEdge(Driver& device);

    Driver& Device() const { return FDevice; }
    int Scale() const { return FScale; }

    DriverWindowId CreateTopLevel(const TopLevelSpec& request) override;
    void DestroyTopLevel(DriverWindowId id) override;
    void ShowTopLevel(DriverWindowId id, bool visible) override { FDevice.ShowTopLevel(id, visible); }
    void SetTitle(DriverWindowId id, const std::string& utf8) override { FDevice.SetTitle(id, utf8); }
    // Kept, so that a change of scale can give the display the icon at the new size.
    void SetIcon(DriverWindowId id, int width, int height, const std::vector<uint32_t>& argb) override;
    void SetBounds(DriverWindowId id, const TRect& bounds) override;
    TPoint ClientOrigin(DriverWindowId id) override;
    TSize ScreenSize() override;
    // The surface is device-sized; the rectangles are logical.
    void Present(DriverWindowId id, const Surface& surface, const std::vector<TRect>& rects) override;
    int64_t Now() override { return FDevice.Now(); }
    // The device's events with their coordinates made logical, each by the scale in force when
    // the device made it: a ScaleChanged in the batch changes the scale for the events after it.
    void WaitEvents(int64_t deadline, std::vector<DriverEvent>& out) override;
    bool GetCursorPos(TPoint& p) override;
    void SetCursor(DriverWindowId id, CursorKind cursor) override { FDevice.SetCursor(id, cursor); }
    void SetSelectionText(TSelection which, const std::string& utf8) override { FDevice.SetSelectionText(which, utf8); }
    bool GetSelectionText(TSelection which, std::string& utf8) override { return FDevice.GetSelectionText(which, utf8); }
    void WatchReadable(int fd, bool watch) override { FDevice.WatchReadable(fd, watch); }
    int DeviceScale() override { return FScale; }
    System& GetSystem() override { return FDevice.GetSystem(); }
    void SetTextInput(DriverWindowId id, bool on) override { FDevice.SetTextInput(id, on); }

    // The icon at n times its size (whole pixels), as it goes to the display: at most
    // 1024 pixels a side, so a big icon is scaled by less.
    struct Icon {
        int width = 0, height = 0;
        std::vector<uint32_t> argb;
    };
    static Icon ScaledIcon(const Icon& icon, int n);

private:
    void SendIcon(DriverWindowId id);

    Driver& FDevice;
    int FScale = 1;
    std::unordered_map<DriverWindowId, Icon> FIcons;
};

}  // namespace lumivane
