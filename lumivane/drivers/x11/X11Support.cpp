// What every unit of the X11 driver leans on: error handling, the atoms' names, the locale.
#include "lumivane/drivers/x11/X11DriverImpl.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace lumivane {

namespace x11 {

const char* const kAtomNames[A_COUNT] = {
    "WM_PROTOCOLS", "WM_DELETE_WINDOW", "_NET_WM_PING", "_NET_WM_NAME", "_NET_WM_ICON_NAME",
    "_NET_WM_ICON", "_NET_WM_PID", "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL",
    "_NET_WM_WINDOW_TYPE_DIALOG", "_NET_WM_WINDOW_TYPE_TOOLTIP", "_MOTIF_WM_HINTS", "UTF8_STRING",
    "CLIPBOARD", "TARGETS", "TEXT", "TIMESTAMP", "INCR", "_LUMI_CLIPBOARD", "_LUMI_TIMESTAMP",
    "WM_LOCALE_NAME",
};

namespace {

int gTrapDepth = 0;
int gTrappedError = 0;

int OnXError(Display* display, XErrorEvent* e) {
    if (gTrapDepth > 0) {
        gTrappedError = e->error_code;
        return 0;
    }
    char text[160] = {};
    XGetErrorText(display, e->error_code, text, sizeof text);
    std::fprintf(stderr, "%s: X error: %s (request %d.%d, resource 0x%lx)\n",
                 program_invocation_short_name, text, e->request_code, e->minor_code,
                 e->resourceid);
    return 0;
}

int OnXIOError(Display*) { ConnectionLost(); }

bool IsPlainCtype(const char* ctype) {
    return !ctype || std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0;
}

} // namespace

ErrorTrap::ErrorTrap(Display* d) : FDisplay(d) {
    ++gTrapDepth;
    gTrappedError = 0;
}

ErrorTrap::~ErrorTrap() { --gTrapDepth; }

bool ErrorTrap::Ok() {
    XSync(FDisplay, False);
    return gTrappedError == 0;
}

void InstallErrorHandlers() {
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXIOError);
}

void ConnectionLost() {
    std::fprintf(stderr, "%s: lost the connection to the X display\n", program_invocation_short_name);
    std::fflush(stderr);
    _exit(3);
}

void EnsureCtypeLocale() {
    if (IsPlainCtype(std::setlocale(LC_CTYPE, nullptr))) std::setlocale(LC_CTYPE, "");
}

std::string CtypeLocaleName() {
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    if (!IsPlainCtype(ctype)) return ctype;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* v = std::getenv(name); v && *v) return v;
    return ctype ? ctype : "C";
}

} // namespace x11

}  // namespace lumivane
