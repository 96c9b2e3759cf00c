#pragma once
#include <string>

#include "lumivane/windows/Window.h"

namespace lumivane {

// A top-level window that floats above the others and never takes the focus or a taskbar entry:
// a hint, a level of a popup menu. Its class (name and procedure) is registered on first use.
// Shown at once; null when the window system refuses it.
HWND CreatePopupWindow(const char* ClassName, WNDPROC Proc, const std::string& Text, int X, int Y, int Width,
                       int Height);

}  // namespace lumivane
