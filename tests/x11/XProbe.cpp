#include "tests/x11/XProbe.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstring>


namespace {
Display* D(void* p) { return static_cast<Display*>(p); }
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }
} // namespace

XProbe::XProbe() {
    FDisplay = XOpenDisplay(nullptr);
    if (FDisplay) XSetErrorHandler(IgnoreErrors);
}

XProbe::~XProbe() {
    if (FDisplay) XCloseDisplay(D(FDisplay));
}

void XProbe::Sync() { XSync(D(FDisplay), False); }

std::vector<uint32_t> XProbe::Pixels(uint64_t window, int x, int y, int width, int height) {
    std::vector<uint32_t> out;
    XImage* img = XGetImage(D(FDisplay), window, x, y, width, height, AllPlanes, ZPixmap);
    if (!img) return out;
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) out.push_back(XGetPixel(img, i, j) & 0xFFFFFF);
    XDestroyImage(img);
    return out;
}

std::string XProbe::Text(uint64_t window, const char* property, std::string* type) {
    ::Atom actual = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    std::string out;
    if (XGetWindowProperty(D(FDisplay), window, Atom(property), 0, 1 << 20, False, AnyPropertyType,
                           &actual, &format, &n, &after, &data) == Success && data) {
        if (format == 8) out.assign(reinterpret_cast<char*>(data), n);
        XFree(data);
    }
    if (type) *type = actual ? AtomName(actual) : "";
    return out;
}

std::vector<unsigned long> XProbe::Longs(uint64_t window, const char* property) {
    ::Atom actual = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> out;
    if (XGetWindowProperty(D(FDisplay), window, Atom(property), 0, 1 << 22, False, AnyPropertyType,
                           &actual, &format, &n, &after, &data) == Success && data) {
        if (format == 32) {
            // Xlib hands 32-bit items over as longs, sign-extended.
            const auto* v = reinterpret_cast<const unsigned long*>(data);
            for (unsigned long i = 0; i < n; ++i) out.push_back(v[i] & 0xFFFFFFFFul);
        }
        XFree(data);
    }
    return out;
}

void XProbe::SetRootText(const char* property, const char* text) {
    Display* d = D(FDisplay);
    if (text)
        XChangeProperty(d, DefaultRootWindow(d), Atom(property), Atom("STRING"), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text), static_cast<int>(std::strlen(text)));
    else
        XDeleteProperty(d, DefaultRootWindow(d), Atom(property));
    XSync(d, False);
}

std::string XProbe::AtomName(unsigned long atom) {
    char* name = XGetAtomName(D(FDisplay), atom);
    std::string out = name ? name : "";
    if (name) XFree(name);
    return out;
}

unsigned long XProbe::Atom(const char* name) { return XInternAtom(D(FDisplay), name, False); }

bool XProbe::OverrideRedirect(uint64_t window) {
    XWindowAttributes a{};
    return XGetWindowAttributes(D(FDisplay), window, &a) && a.override_redirect;
}

bool XProbe::Viewable(uint64_t window) {
    XWindowAttributes a{};
    return XGetWindowAttributes(D(FDisplay), window, &a) && a.map_state == IsViewable;
}

uint64_t XProbe::SelectionOwner(const char* selection) {
    return XGetSelectionOwner(D(FDisplay), Atom(selection));
}

void XProbe::MovePointer(int x, int y) {
    XTestFakeMotionEvent(D(FDisplay), -1, x, y, CurrentTime);
    Sync();
}

void XProbe::Button(int button, bool down) {
    XTestFakeButtonEvent(D(FDisplay), button, down, CurrentTime);
    Sync();
}

void XProbe::Key(const char* keysym, bool down) {
    const KeyCode code = XKeysymToKeycode(D(FDisplay), XStringToKeysym(keysym));
    if (!code) return;
    XTestFakeKeyEvent(D(FDisplay), code, down, CurrentTime);
    Sync();
}

void XProbe::MapSpareKey(const char* keysym) {
    Display* d = D(FDisplay);
    const KeySym sym = XStringToKeysym(keysym);
    if (XKeysymToKeycode(d, sym)) return;
    int minCode = 0, maxCode = 0, per = 0;
    XDisplayKeycodes(d, &minCode, &maxCode);
    // The highest keycode with nothing on it.
    for (int code = maxCode; code >= minCode; --code) {
        KeySym* syms = XGetKeyboardMapping(d, static_cast<KeyCode>(code), 1, &per);
        bool empty = true;
        for (int i = 0; i < per; ++i) empty = empty && syms[i] == NoSymbol;
        XFree(syms);
        if (!empty) continue;
        KeySym both[2] = {sym, sym};
        XChangeKeyboardMapping(d, code, 2, both, 1);
        Sync();
        return;
    }
}

void XProbe::Focus(uint64_t window) {
    XSetInputFocus(D(FDisplay), window, RevertToPointerRoot, CurrentTime);
    Sync();
}

void XProbe::MoveResize(uint64_t window, int x, int y, int width, int height) {
    XMoveResizeWindow(D(FDisplay), window, x, y, width, height);
    Sync();
}

void XProbe::Remap(uint64_t window) {
    XUnmapWindow(D(FDisplay), window);
    XMapWindow(D(FDisplay), window);
    Sync();
}
