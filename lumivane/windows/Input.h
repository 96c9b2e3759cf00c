#pragma once
#include "lumivane/windows/CursorKind.h"
#include "lumivane/windows/Messages.h"
#include "lumivane/gfx/raster/Geometry.h"

namespace lumivane {

// Focus, capture, activation and the pointer.
// Pointer input goes to the capture window, else to the topmost visible window under the point
// whose region contains it; a disabled window (or one inside a disabled ancestor) swallows it.
// Mouse messages carry client coordinates MAKELPARAM(x, y) and MK_* in wParam. Windows of a
// CS_DBLCLKS class get WM_xBUTTONDBLCLK for a second press within 500 ms and 4 px of the first.
// Before each WM_MOUSEMOVE outside capture the window under the pointer gets WM_SETCURSOR
// (DefWindowProcA asks the parent first, then shows the class cursor).
// Keys go to the focus window, else to the active top-level window: WM_KEYDOWN/UP (lParam: repeat
// count 1 in the low word, bit 29 Alt, bit 30 previous state, bit 31 on release), WM_CHAR (wParam:
// one character, a Unicode code point); with Alt held WM_SYSKEYDOWN/UP and WM_SYSCHAR.
// When the pointer leaves a top-level window, the window that last had the pointer there gets
// WM_MOUSELEAVE.

// WM_KILLFOCUS to the old (wParam = new), then WM_SETFOCUS to the new (wParam = old). Activates
// the new window's top-level window. Windows in popups (hints) never take the focus. Returns the
// old focus window.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
// WM_CAPTURECHANGED (lParam = new) to the window losing the capture. Returns the old one.
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();
// Screen coordinates; false when the driver cannot tell.
bool GetCursorPos(POINT* p);
// High bit set while the key is down (VK_SHIFT, VK_CONTROL, VK_MENU, VK_LBUTTON, VK_RBUTTON and
// every key seen going down).
short GetKeyState(int vk);
// The cursor shown while the pointer is over the top-level window it is in.
void SetCursorShape(CursorKind cursor);

enum : UINT { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };
enum : int { HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1 };
// The active top-level window gets the keys when nothing has the focus. Activation sends
// WM_ACTIVATE (WA_INACTIVE) to the old and WM_ACTIVATE (WA_ACTIVE) to the new window; DefWindowProcA
// then gives the focus back to the control that had it in that window, or to the window itself.
HWND GetActiveWindow();
HWND SetActiveWindow(HWND hwnd);

}  // namespace lumivane
