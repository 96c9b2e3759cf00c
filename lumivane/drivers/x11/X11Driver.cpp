// The connection: opening the display, what the driver learns of it once, and closing it.
#include "lumivane/drivers/x11/X11Driver.h"
#include "lumivane/drivers/x11/X11DriverImpl.h"

#include <X11/XKBlib.h>
#include <fcntl.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lumivane/base/Exception.h"
#include "lumivane/windows/DisplayScale.h"

namespace lumivane {

namespace x11 {

X11Driver::X11Driver(Display* display) : FDisplay(display) {
    InstallErrorHandlers();
    fcntl(ConnectionNumber(FDisplay), F_SETFD, FD_CLOEXEC);
    FScreen = DefaultScreen(FDisplay);
    FRoot = RootWindow(FDisplay, FScreen);
    FVisual = DefaultVisual(FDisplay, FScreen);
    FDepth = DefaultDepth(FDisplay, FScreen);
    XInternAtoms(FDisplay, const_cast<char**>(kAtomNames), A_COUNT, False, FAtoms);

    XGCValues gcv{};
    gcv.graphics_exposures = False;
    FGC = XCreateGC(FDisplay, FRoot, GCGraphicsExposures, &gcv);

    XSetWindowAttributes attrs{};
    attrs.event_mask = PropertyChangeMask;
    FHelper = XCreateWindow(FDisplay, FRoot, -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
                            CopyFromParent, CWEventMask, &attrs);

    const char* noShm = std::getenv("LUMI_X11_NO_SHM");
    if ((!noShm || std::strcmp(noShm, "1") != 0) && XShmQueryExtension(FDisplay)) {
        FShm = true;
        FShmCompletion = XShmGetEventBase(FDisplay) + ShmCompletion;
    }

    ProbePixelFormat();

    // Xlib read the root window's RESOURCE_MANAGER when it connected: no round trip for it here.
    const char* resources = XResourceManagerString(FDisplay);
    const DisplayScaleChoice scale =
        ChooseDisplayScale(std::getenv("LUMIVANE_SCALE"), resources ? resources : "");
    if (!scale.warning.empty()) std::fprintf(stderr, "%s\n", scale.warning.c_str());
    FScale = scale.scale;
    FScaleFixed = std::strcmp(scale.source, "LUMIVANE_SCALE") == 0;
    // A desktop that changes its DPI rewrites the root window's resources. The root's other
    // properties change too (the window manager's), but only when something happens on screen:
    // an idle desktop sends nothing.
    if (!FScaleFixed) XSelectInput(FDisplay, FRoot, PropertyChangeMask);

    Bool supported = False;
    FDetectableRepeat = XkbSetDetectableAutoRepeat(FDisplay, True, &supported) && supported;
}

X11Driver::~X11Driver() {
    while (!FWindows.empty()) DestroyTopLevel(FWindows.begin()->first);
    for (auto& [shape, cursor] : FCursors) XFreeCursor(FDisplay, cursor);
    if (FIM) XCloseIM(FIM);
    XDestroyWindow(FDisplay, FHelper);
    XFreeGC(FDisplay, FGC);
    XCloseDisplay(FDisplay);
    // FSystem goes next: it reaps the programs that have ended meanwhile.
}

int64_t X11Driver::Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

TopLevel* X11Driver::Find(DriverWindowId id) {
    auto it = FWindows.find(static_cast<Window>(id));
    return it == FWindows.end() ? nullptr : &it->second;
}

} // namespace x11

std::unique_ptr<Driver> CreateX11Driver(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (!display) {
        const char* name = displayName ? displayName : std::getenv("DISPLAY");
        throw Exception(std::string("cannot open display \"") + (name ? name : "") +
                        "\" (is an X server running and DISPLAY set?)");
    }
    return std::make_unique<x11::X11Driver>(display);
}

int64_t X11DriverWaitCount(Driver& driver) {
    auto* x = dynamic_cast<x11::X11Driver*>(&driver);
    return x ? x->WaitCount() : -1;
}

std::string X11RootWindowString(Driver& driver, const char* property) {
    auto* x = dynamic_cast<x11::X11Driver*>(&driver);
    return x ? x->RootWindowString(property) : std::string();
}

bool X11DriverInputMethodOpened(Driver& driver) {
    auto* x = dynamic_cast<x11::X11Driver*>(&driver);
    return x && x->InputMethodOpened();
}

}  // namespace lumivane
