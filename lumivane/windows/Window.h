#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "lumivane/windows/CursorKind.h"
#include "lumivane/windows/Messages.h"
#include "lumivane/gfx/raster/DeviceContext.h"
#include "lumivane/gfx/raster/Geometry.h"
#include "lumivane/gfx/raster/Region.h"

// Windows: classes, creation and destruction, per-window values, messages and the message loop,
// geometry and the window tree. Painting, timers, input and services have their own headers,
// all included at the end so one include gives the whole window system.

namespace lumivane {

class Driver;

using LONG_PTR = intptr_t;
using HINSTANCE = intptr_t; // ShellExecuteA's answer: greater than 32 means success

struct WNDCLASS {
    const char* lpszClassName = nullptr;
    WNDPROC lpfnWndProc = nullptr;
    uint32_t style = 0; // CS_DBLCLKS...
    CursorKind cursor = CursorKind::Default; // shown over windows of the class
};
// Class names compare without regard to case. Registering a name twice fails.
bool RegisterClassA(const WNDCLASS& wc);
bool GetClassInfoA(const char* name, WNDCLASS* out);
// Copies the window's class name (NUL-terminated, truncated to size); returns its length.
int GetClassNameA(HWND hwnd, char* buffer, int size);

// Extended styles. WS_EX_DESIGNSURFACE (this system's own) on a top-level window: pointer input
// over a disabled window inside it goes to the top-level window itself instead of nowhere, so a
// form designer can select a disabled control by clicking it.
enum : uint32_t {
    WS_EX_TOPMOST = 0x00000008,
    WS_EX_TOOLWINDOW = 0x00000080,
    WS_EX_NOACTIVATE = 0x08000000,
    WS_EX_DESIGNSURFACE = 0x80000000
};

// Position that lets the window system place a top-level window: centred on the screen.
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// lParam of WM_CREATE.
struct CREATESTRUCTA {
    void* lpCreateParams;
    HWND hwndParent;
    uintptr_t hMenu; // the child id
    int cy;
    int cx;
    int y;
    int x;
    uint32_t style;
    const char* lpszName;
    const char* lpszClass;
    uint32_t dwExStyle;
};

// WS_CHILD with a parent makes a child window, placed above its existing siblings. Anything else
// makes a top-level window backed by a driver window; `parent` is then its owner. For a top-level
// window x, y, w, h are its client area in screen coordinates (CW_USEDEFAULT for x centres it).
// Sends WM_CREATE (CREATESTRUCTA* in lParam; -1 refuses the window), then WM_SIZE and WM_MOVE.
// Returns nullptr for an unknown class, a stale parent or a refused window.
HWND CreateWindowExA(uint32_t exStyle, const char* className, const char* text, uint32_t style, int x, int y,
                     int w, int h, HWND parent, uintptr_t id, void* createParam);
// Per-window state of a window procedure: a native control's own state, the framework's link from
// a window to its control, a dialog's link to its frame. A window holds at most one object of
// each type, and the window system frees them with the window. So a native procedure and the
// framework subclassing it keep their state side by side without knowing of each other, nothing
// outlives its window when a procedure misses WM_DESTROY, no table keyed by handle has to be kept
// in step with the windows' lives, and GWLP_USERDATA stays free for the program's own use.
class WindowData {
public:
    virtual ~WindowData() = default;
};
// Gives the window the data, replacing its data of the same type; returns it (null for a stale
// handle, and the data is freed).
WindowData* SetWindowData(HWND hwnd, std::unique_ptr<WindowData> data);
// The window's data of exactly that type; null when it has none or the handle is stale.
WindowData* FindWindowData(HWND hwnd, const std::type_info& type);
void RemoveWindowData(HWND hwnd, const std::type_info& type);

template <class T, class... Args>
T* MakeWindowData(HWND hwnd, Args&&... args) {
    return static_cast<T*>(SetWindowData(hwnd, std::make_unique<T>(std::forward<Args>(args)...)));
}
template <class T>
T* WindowDataOf(HWND hwnd) {
    return static_cast<T*>(FindWindowData(hwnd, typeid(T)));
}
template <class T>
void RemoveWindowData(HWND hwnd) {
    RemoveWindowData(hwnd, typeid(T));
}

// Destroys the children first, then the window: WM_DESTROY and WM_NCDESTROY each. Frees the
// region, kills the timers, releases capture and focus. A window destroyed inside one of its own
// handlers is freed when that handler returns; its handle is stale (IsWindow false) at once.
bool DestroyWindow(HWND hwnd);
// Handles are never reused while the process runs, so a stale handle is always detected.
bool IsWindow(HWND hwnd);

enum : int {
    GWLP_WNDPROC = -4, GWLP_HWNDPARENT = -8, GWLP_ID = -12, GWL_STYLE = -16, GWL_EXSTYLE = -20,
    GWLP_USERDATA = -21
};
// Return the previous value (0 for a stale handle or unknown index). Changing GWL_STYLE stores the
// bits only; use ShowWindow and EnableWindow to show, hide, enable and disable.
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Messages. SendMessageA calls the window procedure at once (re-entrant); PostMessageA queues
// (FIFO; a null hwnd posts to the thread). Both are harmless on a stale handle.
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
bool PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void PostQuitMessage(int exitCode);

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int64_t time = 0; // driver clock, ms
    TPoint pt;        // pointer in screen coordinates when the message was made
};
enum : UINT { PM_NOREMOVE = 0, PM_REMOVE = 1 };
// Messages come in this order: posted messages and input (one queue, in order of arrival), then
// WM_QUIT, then WM_TIMER for due timers, then WM_PAINT for invalid windows. When nothing is left
// the surfaces painted since the last time are presented.
// GetMessageA waits (calling the idle handler once each time the queue runs empty, then sleeping
// in the driver until input or the next timer deadline); it returns false for WM_QUIT.
// A filter window takes its messages and its descendants'; min = max = 0 takes every message.
bool GetMessageA(MSG* msg, HWND hwnd, UINT msgFilterMin, UINT msgFilterMax);
bool PeekMessageA(MSG* msg, HWND hwnd, UINT msgFilterMin, UINT msgFilterMax, UINT remove);
LRESULT DispatchMessageA(const MSG* msg);
// The driver already delivers characters: nothing to translate.
bool TranslateMessage(const MSG* msg);
// Sleeps until input, a posted message or a timer deadline; returns at once when work is pending.
void WaitMessage();

// A window larger than this on a side is clamped (the framework refuses to ask for more); keeps
// surfaces within their limits.
constexpr int MaxWindowSide = 8192;

// Geometry. Child windows have no frame: the window rectangle is the client area. Rectangles of
// children are relative to the parent's client area.
enum : UINT {
    SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
    SWP_NOACTIVATE = 0x0010, SWP_SHOWWINDOW = 0x0040, SWP_HIDEWINDOW = 0x0080
};
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(1);
enum : UINT { SIZE_RESTORED = 0 };
bool MoveWindow(HWND hwnd, int x, int y, int w, int h, bool repaint);
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool GetClientRect(HWND hwnd, RECT* rect);
// In screen coordinates.
bool GetWindowRect(HWND hwnd, RECT* rect);
bool ScreenToClient(HWND hwnd, POINT* p);
bool ClientToScreen(HWND hwnd, POINT* p);
// Converts points between client areas (a null window means the screen). Returns the x offset in
// the low word and the y offset in the high word.
int MapWindowPoints(HWND from, HWND to, POINT* points, unsigned count);
// The deepest visible, enabled window under a screen point, honouring window regions.
HWND WindowFromPoint(POINT screen);
// The child (any, hidden or disabled too) containing a client point of the parent; the parent
// itself when no child does; nullptr when the point is outside the parent.
HWND ChildWindowFromPoint(HWND parent, POINT client);

enum : UINT { GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4, GW_CHILD = 5 };
enum : UINT { GA_PARENT = 1, GA_ROOT = 2 };
// Children are kept top first: GW_CHILD gives the topmost child, GW_HWNDNEXT the one below.
HWND GetWindow(HWND hwnd, UINT cmd);
// The parent of a child, the owner of a top-level window.
HWND GetParent(HWND hwnd);
HWND SetParent(HWND child, HWND newParent);
HWND GetAncestor(HWND hwnd, UINT flags);
bool IsChild(HWND parent, HWND hwnd);
int GetDlgCtrlID(HWND hwnd);

enum : int { SW_SHOWNOACTIVATE = 4, SW_SHOWNA = 8 };
// Returns whether the window was visible before.
bool ShowWindow(HWND hwnd, int cmd);
// Visible itself and all its ancestors.
bool IsWindowVisible(HWND hwnd);
// Sends WM_ENABLE when the state changes; returns whether the window was disabled before.
bool EnableWindow(HWND hwnd, bool enable);
bool IsWindowEnabled(HWND hwnd);

// Through WM_SETTEXT / WM_GETTEXT / WM_GETTEXTLENGTH, which DefWindowProcA answers from the text
// the window system keeps. Window text is UTF-8 (stored as ValidUtf8 makes it); a top-level
// window's text is its title. Lengths and buffer sizes are bytes, so a caller's buffer is never
// written past its end; WM_GETTEXT copies whole characters only, and returns the bytes copied.
bool SetWindowTextA(HWND hwnd, const char* text);
int GetWindowTextA(HWND hwnd, char* buffer, int size);
int GetWindowTextLengthA(HWND hwnd);
std::string GetWindowTextString(HWND hwnd);

// Window regions, in window coordinates. SetWindowRgn takes ownership of the region (nullptr
// removes it); it clips painting and hit testing. GetWindowRgn copies it into `out`.
enum : int { ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
int SetWindowRgn(HWND hwnd, HRGN rgn, bool redraw);
int GetWindowRgn(HWND hwnd, HRGN out);

// Top-level windows.
// Icon pixels 0xAARRGGBB, row-major.
void SetWindowIcon(HWND hwnd, int w, int h, const std::vector<uint32_t>& argb);
void CenterWindowOnScreen(HWND hwnd);
enum : int { SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37 };
int GetSystemMetrics(int index);
// Device pixels per logical pixel on the display (1 to 4): what a screen coordinate outside the
// program (the display's, a screen reader's) is, times the window system's own.
int GetDisplayScale();
// The driver's window behind a top-level window; 0 for a child or a stale handle.
uint64_t GetDriverWindowId(HWND toplevel);
unsigned GetDoubleClickTime();
// Milliseconds on the driver's clock.
int64_t GetTickCount64();
// Disables the dialog's owner, pumps messages (everything keeps painting) until *done or the dialog
// is destroyed, then enables the owner again and activates it. Returns 0, or -1 when WM_QUIT arrived
// (it is posted again for the outer loop).
int RunModalLoop(HWND dialog, const bool* done);

// Start-up. The driver is not owned and must outlive the window system.
void InitWindowSystem(Driver* driver);
// Destroys the remaining windows and forgets classes, timers and queued messages.
void ShutdownWindowSystem();
Driver* GetWindowSystemDriver();
// Called each time the queue runs empty, before waiting (hover, enter/leave, hints).
void SetIdleHandler(std::function<void()> handler);
bool HasIdleHandler();  // whether one is set
// Runs the idle handler once (for loops other than GetMessageA, such as a test's pump).
void RunIdleHandler();
// What a request to end the process does (a termination signal the program asked to hear, see
// CloseOnTerminationSignals): without a handler the message loop quits; the application object
// closes its main window instead, as a close request would.
void SetTerminateHandler(std::function<void()> handler);
void RunTerminateHandler();
// Top-level windows, topmost first.
std::vector<HWND> GetTopLevelWindows();

}  // namespace lumivane

#include "lumivane/windows/Input.h"
#include "lumivane/windows/Painting.h"
#include "lumivane/windows/Services.h"
#include "lumivane/windows/Timers.h"
