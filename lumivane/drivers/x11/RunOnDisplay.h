#pragma once
#include <functional>

// A program's life on the X11 display, in one call from its main:
//
//     int main() {
//         return lumivane::RunOnDisplay("my-program", [] {
//             Application->Initialize();
//             Application->CreateForm(MyWindow);
//             Application->Run();
//             return 0;
//         });
//     }

namespace lumivane {

// Opens the display, starts the window system, runs `run` and takes everything down again, the
// application object included; returns what `run` returned. Once the first frame is shown the
// program joins the desktop's accessibility bus, if there is one (accessibility/AccessibilityBridge.h). Without a display there is nobody to
// show a message box to: "name: reason" on stderr and 1. An Exception or other std::exception
// escaping `run` is printed the same way (and shown in a message box when showToUser) and gives 1;
// running out of memory is printed and gives 1. (Exceptions from event handlers never get here:
// TApplication::HandleCurrentException takes them while the loop runs.)
int RunOnDisplay(const char* name, const std::function<int()>& run, bool showToUser = true);

}  // namespace lumivane
