#pragma once
// What every windowed program of ours does around its own work: open the X11 display, start the
// window system, and take everything down again, the application object included.
#include <cstdio>
#include <functional>
#include <memory>

#include "lumivane/framework/Application.h"
#include "lumivane/framework/Exceptions.h"
#include "lumivane/platform/Window.h"
#include "lumivane/platform/drivers/x11/X11Driver.h"

// Runs `run` on the display and returns its status: the program's last step. Without a display
// there is nobody to show a message box to: "name: reason" on stderr and 1. An Exception from
// `run` is printed the same way (and shown in a message box when showToUser) and gives 1 to
// whoever started us.
inline int RunOnDisplay(const char* name, const std::function<int()>& run, bool showToUser) {
    std::unique_ptr<Driver> driver;
    try {
        driver = CreateX11Driver(nullptr);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        return 1;
    }
    InitWindowSystem(driver.get());
    int status = 0;
    try {
        status = run();
    } catch (Exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        if (showToUser) Application->ShowException(e);
        status = 1;
    }
    delete Application;
    ShutdownWindowSystem();
    // The program ends here, and the server frees all a client had when its connection goes: the
    // driver's orderly close would only keep the user waiting a round trip for the process to end.
    static Driver* const leftToExit = driver.release();
    (void)leftToExit;
    return status;
}
