#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lumivane/windows/CursorKind.h"
#include "lumivane/gfx/raster/Geometry.h"
#include "lumivane/gfx/raster/Surface.h"
#include "lumivane/windows/System.h"

namespace lumivane {

// The narrow interface between the window system and a display. A driver translates: it turns
// the display's events into input for the window system and presents rectangles of surfaces.
// Hit testing, hover, capture, focus, double clicks and timers are the window system's.

using DriverWindowId = uint64_t;

enum class TopLevelKind { Normal, Dialog, Popup };

enum class TSelection { Clipboard, Primary };

struct TopLevelSpec {
    TopLevelKind kind = TopLevelKind::Normal;
    TRect bounds;              // client area in screen coordinates
    bool centred = false;      // place the client area centred on the screen
    bool sizeable = true;
    bool minimizeBox = true;
    bool maximizeBox = true;
    std::string title;         // UTF-8
    DriverWindowId owner = 0;  // dialogs: the window they belong to
};

struct DriverEvent {
    enum Type {
        PointerMove,   // x, y in the window's client coordinates
        ButtonDown,    // button 1 left, 2 middle, 3 right; x, y
        ButtonUp,
        Wheel,         // delta: +1 away from the user, -1 towards
        PointerEnter,
        PointerLeave,
        KeyDown,       // vk, repeat (true for an auto-repeated press)
        KeyUp,
        Char,          // ch: one character (a Unicode code point)
        CloseRequest,  // the window manager asks the window to close
        Expose,        // rect needs presenting again
        Resize,        // width, height: the new client size
        Move,          // x, y: the new screen position of the client area
        FocusIn,
        FocusOut,
        ConnectionLost,
        Terminate,     // the process was asked to end (a termination signal it asked to hear)
        Readable,      // x: a file descriptor given to WatchReadable has data to read
        ScaleChanged   // DeviceScale changed (the desktop's DPI did): every window is rescaled
    };
    Type type = PointerMove;
    DriverWindowId window = 0;
    int x = 0;
    int y = 0;
    int button = 0;
    int delta = 0;
    unsigned vk = 0;
    bool repeat = false;
    char32_t ch = 0;
    int width = 0;
    int height = 0;
    unsigned shift = 0; // MK_SHIFT | MK_CONTROL, and 0x10000 for Alt
    TRect rect;
};

enum : unsigned { DRIVER_ALT = 0x10000 };

class Driver {
public:
    virtual ~Driver() = default;

    virtual DriverWindowId CreateTopLevel(const TopLevelSpec& request) = 0;
    virtual void DestroyTopLevel(DriverWindowId id) = 0;
    virtual void ShowTopLevel(DriverWindowId id, bool visible) = 0;
    virtual void SetTitle(DriverWindowId id, const std::string& utf8) = 0;
    // Icon pixels 0xAARRGGBB, width x height.
    virtual void SetIcon(DriverWindowId id, int width, int height, const std::vector<uint32_t>& argb) = 0;
    // Moves and/or resizes the client area (screen coordinates).
    virtual void SetBounds(DriverWindowId id, const TRect& bounds) = 0;
    // Screen position of the window's client area.
    virtual TPoint ClientOrigin(DriverWindowId id) = 0;
    virtual TSize ScreenSize() = 0;
    // Shows the given rectangles (client coordinates) of the window's surface.
    virtual void Present(DriverWindowId id, const Surface& surface, const std::vector<TRect>& rects) = 0;

    // Milliseconds on the driver's monotonic clock.
    virtual int64_t Now() = 0;
    // Appends pending events to `out`, waiting until at least one arrives or the clock reaches
    // `deadline` (a deadline < 0 waits without limit). Never busy-waits.
    virtual void WaitEvents(int64_t deadline, std::vector<DriverEvent>& out) = 0;

    // The pointer in screen coordinates; false when the driver cannot tell.
    virtual bool GetCursorPos(TPoint& p) = 0;
    // Cursor shape shown over the window.
    virtual void SetCursor(DriverWindowId id, CursorKind cursor) = 0;

    // The clipboard and the primary selection (what was last selected, pasted with the middle
    // button), both UTF-8 text. Get is false when the selection holds no text.
    virtual void SetSelectionText(TSelection which, const std::string& utf8) = 0;
    virtual bool GetSelectionText(TSelection which, std::string& utf8) = 0;

    // Makes the wait also end when `fd` has data to read (or is at its end), reporting Readable
    // once; the fd is then left alone until it is given again, so that its reader can read before
    // the next wait. watch = false forgets it (before it is closed).
    virtual void WatchReadable(int fd, bool watch) = 0;

    // Device pixels per logical pixel on this display (1 to 4, see DisplayScale.h). A driver that
    // sees the desktop's DPI change reports ScaleChanged with the new value in place.
    // Every coordinate and size the driver takes and gives is in device pixels; the window system
    // maps them to its logical ones (see DeviceEdge.h).
    virtual int DeviceScale() { return 1; }

    // Programs and signals: not the display's, but the system the display runs on.
    virtual System& GetSystem() = 0;

    // Whether the control that has the window's focus takes typed text (an edit): a driver may
    // then compose characters through an input method, and may do without one otherwise.
    virtual void SetTextInput(DriverWindowId, bool) {}

    // What a driver runs, between looks at the display, while it waits on another program (a
    // clipboard owner sending a text): the window system handles the input, timers and painting
    // that came meanwhile, without waiting, so the program keeps answering. It answers false
    // once the program is ending, and the wait then gives up.
    void SetWaitPump(std::function<bool()> pump) { FWaitPump = std::move(pump); }

protected:
    bool PumpWhileWaiting() { return !FWaitPump || FWaitPump(); }
    bool HasWaitPump() const { return static_cast<bool>(FWaitPump); }

private:
    std::function<bool()> FWaitPump;
};

}  // namespace lumivane
