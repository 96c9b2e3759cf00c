#include "lumivane/framework/PopupWindow.h"

namespace lumivane {

HWND CreatePopupWindow(const char* ClassName, WNDPROC Proc, const std::string& Text, int X, int Y, int Width,
                       int Height) {
    WNDCLASS wc;
    if (!GetClassInfoA(ClassName, &wc)) {
        wc = WNDCLASS{};
        wc.lpszClassName = ClassName;
        wc.lpfnWndProc = Proc;
        RegisterClassA(wc);
    }
    return CreateWindowExA(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, ClassName, Text.c_str(),
                           WS_POPUP | WS_VISIBLE, X, Y, Width, Height, nullptr, 0, nullptr);
}

}  // namespace lumivane
