#pragma once
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "lumivane/windows/ChildIndex.h"
#include "lumivane/windows/Window.h"
#include "lumivane/windows/DeviceEdge.h"
#include "lumivane/windows/Driver.h"

namespace lumivane {

// The window system's own state, shared by its source files and nobody else.

struct WindowClassEntry {
    std::string name;
    WNDCLASS wc;
};

struct Wnd {
    HWND handle = nullptr;
    const WindowClassEntry* cls = nullptr;
    WNDPROC proc = nullptr;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    uintptr_t id = 0;
    LONG_PTR userData = 0;
    std::vector<std::unique_ptr<WindowData>> data; // one of each type; freed with the record
    std::string text;

    Wnd* parent = nullptr;        // children only
    Wnd* owner = nullptr;         // top-level windows only
    std::vector<Wnd*> children;   // top first
    std::unique_ptr<ChildIndex> childIndex; // where the children lie, once there are many
    // Kept by the parent's index while it has one: stacking (smaller is higher), the rectangle
    // it was filed under, whether it is on the wide list, the mark of the last look-up.
    int64_t stackKey = 0;
    TRect indexedRect;
    bool indexedWide = false;
    uint64_t indexStamp = 0;
    TRect rect;                   // relative to the parent's client area; screen for top-level windows
    std::unique_ptr<Region> region; // window coordinates

    Region invalid;               // client coordinates
    bool eraseRequested = false;
    bool paintedInDispatch = false;

    int depth = 0;                // nested calls of its procedure running now
    bool destroyed = false;
    bool destroying = false;

    // Top-level windows only.
    DriverWindowId driverId = 0;
    std::shared_ptr<Surface> surface; // device pixels: the client area times surfaceScale
    int surfaceScale = 1;
    Region dirty;                 // client pixels changed since the last present
    HWND lastFocus = nullptr;     // focus to give back on activation
    TopLevelKind kind = TopLevelKind::Normal;

    bool IsTopLevel() const { return parent == nullptr; }
    int Width() const { return rect.Width(); }
    int Height() const { return rect.Height(); }
};

struct TimerEntry {
    HWND hwnd;
    uintptr_t id;
    unsigned interval;
    int64_t deadline;
    uint64_t order; // creation order, ties go to the older timer
    bool resting = false;
};

// A message in the queue. Input carries the keys and buttons held when it was made, so that
// GetKeyState answers as of the message being handled: Ctrl+V read in one batch with Ctrl's release
// is still Ctrl+V when the V is handled.
struct QueuedMessage {
    MSG msg;
    bool input = false;
    uint8_t held = 0; // HeldKeyBits of the moment the input was made
};

struct WindowSystemState {
    // The display as the window system sees it: `edge`, in logical pixels (null without a
    // display).
    Driver* driver = nullptr;
    std::unique_ptr<DeviceEdge> edge;
    std::unordered_map<std::string, std::unique_ptr<WindowClassEntry>> classes; // by lower-case name
    std::unordered_map<uintptr_t, std::unique_ptr<Wnd>> windows;                // live windows by handle
    std::vector<std::unique_ptr<Wnd>> zombies; // destroyed while their procedure still runs
    std::vector<Wnd*> topLevels;               // bottom first

    std::deque<QueuedMessage> queue;
    size_t queuedInput = 0; // input messages in the queue
    std::vector<DriverEvent> pendingEvents;
    bool quitPending = false;
    int quitCode = 0;
    std::function<void()> idleHandler;
    std::function<void()> terminateHandler;
    std::unordered_map<int, std::pair<HWND, UINT>> readableNotify; // fd -> window and message

    std::vector<TimerEntry> timers;
    uint64_t timerOrder = 0;

    HWND focus = nullptr;
    HWND textInputTop = nullptr;  // the top-level window told that its focus takes typed text
    HWND capture = nullptr;
    HWND active = nullptr;
    HWND pointerWindow = nullptr; // last window that got pointer input
    HWND pointerTop = nullptr;    // top-level window the pointer was last reported in
    TPoint pointer;               // last pointer position known, screen
    bool pointerKnown = false;
    uint8_t keys[256] = {};        // as the display's events say, up to the latest one read
    uint8_t handledKeys[256] = {}; // as of the input message taken off the queue last
    unsigned modifiers = 0;       // MK_SHIFT | MK_CONTROL | DRIVER_ALT of the last input event

    // Double-click tracking.
    HWND lastDownWindow = nullptr;
    int lastDownButton = 0;
    int64_t lastDownTime = 0;
    TPoint lastDownPoint;

    // The windows waiting for WM_PAINT in the order they are painted, found in one walk of the
    // tree and then used up front to back, so that painting a form of many controls is linear.
    // Any change that could put a window ahead of those listed (a window becoming invalid,
    // shown or hidden, restacked or moved to another parent) bumps paintEpoch and the list is
    // found again at the next look.
    uint64_t paintEpoch = 1;
    uint64_t paintQueueEpoch = 0;
    std::vector<HWND> paintQueue;
    size_t paintQueueNext = 0;

    std::unordered_map<HDC, std::shared_ptr<Surface>> dcs; // live contexts and what they draw on
    std::unordered_map<HDC, HWND> dcOwners;
};

WindowSystemState& WS();

// The key of a window's record in WindowSystemState::windows.
inline uintptr_t KeyOf(HWND h) { return reinterpret_cast<uintptr_t>(h); }
// A window side as the window system keeps it: 0 to MaxWindowSide.
inline int ClampSide(int v) { return v < 0 ? 0 : v > MaxWindowSide ? MaxWindowSide : v; }
// Drops a destroyed window's record (kept as a zombie while its procedure still runs).
void FreeWindowRecord(Wnd* w);
// The key of a window class in WindowSystemState::classes: its name in lower case.
std::string ClassKey(const char* name);
// What a new top-level window is, from its style and whether it has an owner.
TopLevelKind KindFor(uint32_t style, bool owned);
// Puts a top-level window on top of the others.
void Raise(Wnd* top);
// Takes a window out of its parent's children (or the top-level list).
void RemoveFromSiblings(Wnd* w);
// Gives the activation back to the owner of a top-level window that goes away or hides.
void ActivateOwnerOf(Wnd* top);

// Live window or nullptr.
Wnd* FromHandle(HWND hwnd);
Wnd* TopLevelOf(Wnd* w);
// Calls the window's procedure, keeping it alive until the call returns.
LRESULT CallProc(Wnd* w, WNDPROC proc, UINT msg, WPARAM wp, LPARAM lp);
bool IsVisibleChain(const Wnd* w);
bool IsEnabledChain(const Wnd* w);
// Offset of the window's client area in its top-level window's surface.
TPoint SurfaceOffset(const Wnd* w);
TPoint ScreenOrigin(const Wnd* w);

// Painting internals.
void AddInvalid(Wnd* w, Region rgn, bool erase);
void InvalidateParentArea(Wnd* w, const TRect& rectInParent);
Wnd* FindPaintWindow(HWND filter);
void PresentDirty();
bool HasDirty();
void ForgetPainting(Wnd* w);
// After a window is shown or hidden, restacked or given another parent.
inline void PaintOrderChanged() { ++WS().paintEpoch; }
void ResizeSurface(Wnd* top);
// A top-level window's surface at its size times the display's scale: at most as big as a
// surface may be (a huge window at scale 4 is drawn as far as that reaches).
std::shared_ptr<Surface> NewSurface(Wnd* top);
// Gives every top-level window the display's new scale: device size, surface, icon, repaint.
void RescaleTopLevels();

// Timer internals.
bool TakeDueTimer(HWND filter, MSG* msg, bool remove);
void KillTimersOf(HWND hwnd);

// Input internals.
void TranslateDriverEvent(const DriverEvent& e);
void ForgetInput(Wnd* w);
// Tells the driver whether the focus takes typed text; after every change of the focus.
void SyncTextInput();

// Posts the message asked for with NotifyReadable; the request is used up.
void ReadableEvent(int fd);

// The deepest window under a point in w's client coordinates: visible windows only, window
// regions honoured; with skipDisabled a disabled window stops the search at its parent.
Wnd* HitTestWindow(Wnd* w, TPoint p, bool skipDisabled);
bool IsSelfOrAncestor(const Wnd* ancestor, const Wnd* w);
bool CanActivate(const Wnd* top);
// Sends WA_INACTIVE and takes the focus away, remembering it for the next activation.
void DeactivateTopLevel(Wnd* top);
// Sends WM_PAINT now; a procedure that did not paint has its invalid region dropped, so the
// loop cannot spin on it.
void PaintWindowNow(Wnd* w);
// The key state follows the input messages taken off the queue (and the display's state once no
// input is left queued); ForgetQueuedInput counts input dropped with a destroyed window.
void CatchUpKeyState();
void TranslateDriverEvents(const std::vector<DriverEvent>& events);
// The driver's wait pump (Driver::SetWaitPump): handles what is queued, without waiting; false
// once the program is ending.
bool PumpWhileDriverWaits();
void TookInputMessage(const QueuedMessage& taken);
void ForgetQueuedInput(size_t dropped);
MSG MakeMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace lumivane
