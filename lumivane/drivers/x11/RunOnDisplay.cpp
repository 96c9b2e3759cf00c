#include "lumivane/drivers/x11/RunOnDisplay.h"

#include <cstdio>
#include <memory>
#include <new>

#include "lumivane/accessibility/AccessibilityBridge.h"
#include "lumivane/base/Exception.h"
#include "lumivane/drivers/x11/X11Driver.h"
#include "lumivane/framework/Application.h"
#include "lumivane/windows/Driver.h"
#include "lumivane/windows/Window.h"

namespace lumivane {

int RunOnDisplay(const char* name, const std::function<int()>& run, bool showToUser) {
    std::unique_ptr<Driver> driver;
    try {
        driver = CreateX11Driver(nullptr);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        return 1;
    }
    InitWindowSystem(driver.get());
    // On the accessibility bus once the first frame is out: start-up never waits for the bus.
    Driver* display = driver.get();
    auto bridge = std::make_unique<TAccessibilityBridge>(
        [display](const char* property) { return X11RootWindowString(*display, property); });
    if (Application) Application->RunWhenIdle([b = bridge.get()] { b->Start(); });
    int status = 0;
    // What escapes the program's own start-up code (the loop hands its handlers' exceptions to
    // the application): printed, shown, status 1.
    auto report = [&](Exception& e) {
        std::fprintf(stderr, "%s: %s\n", name, e.what());
        if (showToUser && Application) Application->ShowException(e);
        status = 1;
    };
    try {
        status = run();
    } catch (Exception& e) {
        report(e);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", name);
        status = 1;
    } catch (const std::exception& e) {
        Exception wrapped(e.what());
        report(wrapped);
    } catch (...) {
        std::fprintf(stderr, "%s: ended by a throw that is not an exception\n", name);
        status = 1;
    }
    delete Application;
    bridge.reset();
    ShutdownWindowSystem();
    // The program ends here, and the server frees all a client had when its connection goes: the
    // driver's orderly close would only keep the user waiting a round trip for the process to end.
    static Driver* const leftToExit = driver.release();
    (void)leftToExit;
    return status;
}

}  // namespace lumivane
