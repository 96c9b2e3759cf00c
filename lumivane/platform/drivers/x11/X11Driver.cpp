#include "lumivane/platform/drivers/x11/X11Driver.h"

// Xlib defines Expose, FocusIn and FocusOut as macros: name our events before it does.
namespace {
constexpr DriverEvent::Type kEvExpose = DriverEvent::Expose;
constexpr DriverEvent::Type kEvFocusIn = DriverEvent::FocusIn;
constexpr DriverEvent::Type kEvFocusOut = DriverEvent::FocusOut;
} // namespace

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/keysym.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <bitset>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <unordered_map>

#include "lumivane/platform/Messages.h"
#include "lumivane/platform/base/Exception.h"
#include "lumivane/platform/drivers/x11/X11Keys.h"
#include "lumivane/platform/drivers/x11/X11Text.h"

extern char** environ;

namespace {

// Errors the driver provokes knowingly (probing shared memory, answering a requestor that may
// be gone) are caught here instead of being logged.
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

// SIGTERM, SIGINT and SIGHUP (the session ends, the terminal closes) end the program the way
// closing it does: the handler only writes a byte to a pipe that the event wait polls, and the
// loop turns it into a Terminate event. The orderly way out talks to the X server (destroying
// windows, closing the display waits for its answer); a server that is frozen, not gone, would
// hold the program for as long as it stays frozen. So the handler also sets a deadline: a second
// later the program ends at once, whatever the server does.
int gTerminatePipe[2] = {-1, -1};
constexpr unsigned kTerminateDeadlineSeconds = 1;

void OnTerminateDeadline(int) { _exit(0); }

void OnTerminateSignal(int) {
    const int saved = errno;
    const char b = 1;
    [[maybe_unused]] ssize_t n = write(gTerminatePipe[1], &b, 1);
    // The first request sets the deadline; later ones do not push it back.
    static volatile sig_atomic_t deadlineSet = 0;
    if (!deadlineSet) {
        deadlineSet = 1;
        alarm(kTerminateDeadlineSeconds);
    }
    errno = saved;
}

void InstallTerminateHandler() {
    if (gTerminatePipe[0] >= 0) return;
    if (pipe2(gTerminatePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = OnTerminateSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    struct sigaction deadline {};
    deadline.sa_handler = OnTerminateDeadline;
    sigemptyset(&deadline.sa_mask);
    sigaction(SIGALRM, &deadline, nullptr);
}

// True once when a termination signal arrived since the last call.
bool TakeTerminateRequest() {
    if (gTerminatePipe[0] < 0) return false;
    char buf[16];
    bool any = false;
    while (read(gTerminatePipe[0], buf, sizeof buf) > 0) any = true;
    return any;
}

[[noreturn]] void ConnectionLost() {
    std::fprintf(stderr, "%s: lost the connection to the X display\n", program_invocation_short_name);
    std::fflush(stderr);
    _exit(3);
}

int OnXIOError(Display*) { ConnectionLost(); }

class ErrorTrap {
public:
    explicit ErrorTrap(Display* d) : FDisplay(d) { ++gTrapDepth; gTrappedError = 0; }
    ~ErrorTrap() { --gTrapDepth; }
    // Waits for the server to process everything so far; true when none of it failed.
    bool Ok() { XSync(FDisplay, False); return gTrappedError == 0; }

private:
    Display* FDisplay;
};

// Atoms the driver uses, interned in one round trip.
enum AtomIndex {
    A_WM_PROTOCOLS, A_WM_DELETE_WINDOW, A_NET_WM_PING, A_NET_WM_NAME, A_NET_WM_ICON_NAME,
    A_NET_WM_ICON, A_NET_WM_PID, A_NET_WM_WINDOW_TYPE, A_NET_WM_WINDOW_TYPE_NORMAL,
    A_NET_WM_WINDOW_TYPE_DIALOG, A_NET_WM_WINDOW_TYPE_TOOLTIP, A_MOTIF_WM_HINTS, A_UTF8_STRING,
    A_CLIPBOARD, A_TARGETS, A_TEXT, A_TIMESTAMP, A_INCR, A_LUMI_CLIP, A_LUMI_TIME, A_WM_LOCALE_NAME,
    A_COUNT
};
const char* const kAtomNames[A_COUNT] = {
    "WM_PROTOCOLS", "WM_DELETE_WINDOW", "_NET_WM_PING", "_NET_WM_NAME", "_NET_WM_ICON_NAME",
    "_NET_WM_ICON", "_NET_WM_PID", "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL",
    "_NET_WM_WINDOW_TYPE_DIALOG", "_NET_WM_WINDOW_TYPE_TOOLTIP", "_MOTIF_WM_HINTS", "UTF8_STRING",
    "CLIPBOARD", "TARGETS", "TEXT", "TIMESTAMP", "INCR", "_LUMI_CLIPBOARD", "_LUMI_TIMESTAMP",
    "WM_LOCALE_NAME",
};

// Clipboard text we accept from other programs; more is cut off.
constexpr size_t kClipboardCap = 1 << 20;
constexpr int kClipboardTimeoutMs = 1000;
constexpr int kMaxIconSide = 1024;
// Smallest client area a window manager may shrink a sizeable window to (never more than the
// window's first size).
constexpr int kMinTrackWidth = 112, kMinTrackHeight = 27;
// Windows of fewer pixels than this are presented straight from the caller's surface with
// XPutImage and the driver keeps no copy: the window system presents exposed parts again from its
// surface. Larger windows go through a shared-memory image (when the server has the extension),
// which saves sending every frame down the socket and keeps their pixels for exposures.
constexpr int64_t kShmMinPixels = 512 * 512;

struct MotifHints {
    unsigned long flags, functions, decorations;
    long inputMode;
    unsigned long status;
};
enum : unsigned long {
    MWM_HINTS_FUNCTIONS = 1, MWM_HINTS_DECORATIONS = 2,
    MWM_FUNC_RESIZE = 2, MWM_FUNC_MOVE = 4, MWM_FUNC_MINIMIZE = 8, MWM_FUNC_MAXIMIZE = 16,
    MWM_FUNC_CLOSE = 32,
    MWM_DECOR_BORDER = 2, MWM_DECOR_RESIZEH = 4, MWM_DECOR_TITLE = 8, MWM_DECOR_MENU = 16,
    MWM_DECOR_MINIMIZE = 32, MWM_DECOR_MAXIMIZE = 64,
};

struct TopLevel {
    Window xid = 0;
    TopLevelKind kind = TopLevelKind::Normal;
    bool sizeable = true;
    XIC ic = nullptr;          // while the window's focus takes typed text
    long eventMask = 0;        // what the window selected, before the input method adds its own
    bool focused = false;      // has the keyboard focus (as its last FocusIn/FocusOut said)
    int width = 0, height = 0; // last known client size
    int x = 0, y = 0;          // last known screen position of the client area
    XImage* image = nullptr;   // the pixels last presented, window-sized
    XShmSegmentInfo shm{};
    bool shmImage = false;
    bool shmBusy = false;      // the server may still be reading the shared image
    bool hasPixels = false;
    int cursor = INT_MIN;
};

int64_t MonotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::string Utf8Of(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

bool IsPlainCtype(const char* ctype) {
    return !ctype || std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0;
}

// Xlib's input methods and its COMPOUND_TEXT conversions work only under a locale it supports:
// when LC_CTYPE is still "C", take it from the environment. Only done when one of them is needed
// (loading the locale costs memory and time a window of buttons does without).
void EnsureCtypeLocale() {
    if (IsPlainCtype(std::setlocale(LC_CTYPE, nullptr))) std::setlocale(LC_CTYPE, "");
}

// The character-type locale the program runs in: the one set, or else the one EnsureCtypeLocale
// would set (the first of LC_ALL, LC_CTYPE and LANG that is not empty), without loading it.
std::string CtypeLocaleName() {
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    if (!IsPlainCtype(ctype)) return ctype;
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char* v = std::getenv(name); v && *v) return v;
    return ctype ? ctype : "C";
}

unsigned ShiftState(unsigned state) {
    unsigned s = 0;
    if (state & ShiftMask) s |= MK_SHIFT;
    if (state & ControlMask) s |= MK_CONTROL;
    if (state & Mod1Mask) s |= DRIVER_ALT;
    return s;
}

class X11Driver final : public Driver {
public:
    explicit X11Driver(Display* display);
    ~X11Driver() override;

    DriverWindowId CreateTopLevel(const TopLevelSpec& request) override;
    void DestroyTopLevel(DriverWindowId id) override;
    void ShowTopLevel(DriverWindowId id, bool visible) override;
    void SetTitle(DriverWindowId id, const std::string& utf8) override;
    void SetIcon(DriverWindowId id, int width, int height, const std::vector<uint32_t>& argb) override;
    void SetBounds(DriverWindowId id, const TRect& bounds) override;
    TPoint ClientOrigin(DriverWindowId id) override;
    TSize ScreenSize() override;
    void Present(DriverWindowId id, const Surface& surface, const std::vector<TRect>& rects) override;
    int64_t Now() override { return MonotonicMs(); }
    void WaitEvents(int64_t deadline, std::vector<DriverEvent>& out) override;
    bool GetCursorPos(TPoint& p) override;
    void SetCursor(DriverWindowId id, int cursor) override;
    void SetClipboardText(const std::string& cp1252) override;
    bool GetClipboardText(std::string& cp1252) override;
    void OpenAddress(const std::string& address) override;
    void SetTextInput(DriverWindowId id, bool on) override;
    void WatchReadable(int fd, bool watch) override;

    int64_t WaitCount() const { return FWaitCount; }
    bool InputMethodOpened() const { return FIMOpened; }

private:
    TopLevel* Find(DriverWindowId id);
    void SetSizeHints(TopLevel& w, int x, int y, int width, int height, bool minFromSize);
    void SetWindowType(TopLevel& w, Atom type);
    void SetMotifHints(TopLevel& w, const TopLevelSpec& request);
    void CreateInputContext(TopLevel& w);
    void OpenInputMethod();

    // Pixels.
    bool EnsureImage(TopLevel& w, int width, int height);
    XImage* CreateShmImage(TopLevel& w, int width, int height);
    void FreeImage(TopLevel& w);
    void CopyToImage(TopLevel& w, const Surface& s, const TRect& r);
    void PutImage(TopLevel& w, const TRect& r, bool last);
    void PutSurface(TopLevel& w, const Surface& s, const std::vector<TRect>& rects);

    // Events.
    void Drain(std::vector<DriverEvent>& out);
    void Translate(XEvent& ev, std::vector<DriverEvent>& out);
    void TranslateKey(TopLevel& w, XKeyEvent& ev, std::vector<DriverEvent>& out);
    void TranslateExpose(TopLevel& w, const XExposeEvent& ev, std::vector<DriverEvent>& out);
    void TranslateConfigure(TopLevel& w, const XConfigureEvent& ev, std::vector<DriverEvent>& out);
    // Waits for an event `match` accepts, queueing every other event for the next WaitEvents.
    bool WaitForEvent(XEvent& found, const std::function<bool(const XEvent&)>& match, int64_t deadline);
    void PollDisplay(int timeoutMs);

    // Clipboard.
    Time ServerTime();
    void AnswerSelectionRequest(const XSelectionRequestEvent& req);
    bool ConvertClipboard(Atom target, std::string& bytes, Atom& type);
    bool ReadProperty(Atom prop, std::string& bytes, Atom& type, int& format);

    // Children started by OpenAddress.
    void ReapChildren();

    Display* FDisplay;
    int FScreen;
    Window FRoot;
    Visual* FVisual;
    int FDepth;
    GC FGC;
    Atom FAtoms[A_COUNT] = {};
    Window FHelper; // unmapped: owns the clipboard and receives conversions
    bool FShm = false;
    int FShmCompletion = -1;
    bool FFastPixels = false; // the visual takes 0x00RRGGBB words as they are
    int FShift[3] = {}, FBits[3] = {};
    XIM FIM = nullptr;
    bool FIMOpened = false; // the input method is opened when an edit first gets the focus
    bool FDetectableRepeat = false;
    std::bitset<256> FKeysDown;
    std::unordered_map<Window, TopLevel> FWindows;
    std::map<int, Cursor> FCursors;
    std::vector<DriverEvent> FQueued; // events read while the clipboard waited
    Time FLastTime = CurrentTime;
    bool FOwnClipboard = false;
    std::string FClipText;
    Time FClipTime = CurrentTime;
    struct Child { pid_t pid; int pidfd; };
    std::vector<Child> FChildren;
    std::vector<int> FWatched;   // fds whose data ends a wait
    std::vector<int> FReadable;  // of those, the ones found readable, to report
    int64_t FWaitCount = 0;
};

X11Driver::X11Driver(Display* display) : FDisplay(display) {
    XSetErrorHandler(OnXError);
    XSetIOErrorHandler(OnXIOError);
    InstallTerminateHandler();
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

    // Surfaces hold 0x00RRGGBB words; most TrueColor visuals take them unchanged.
    const unsigned long masks[3] = {FVisual->red_mask, FVisual->green_mask, FVisual->blue_mask};
    for (int c = 0; c < 3; ++c) {
        unsigned long m = masks[c];
        int shift = 0, bits = 0;
        while (m && !(m & 1)) { m >>= 1; ++shift; }
        while (m & 1) { m >>= 1; ++bits; }
        FShift[c] = shift;
        FBits[c] = bits;
    }
    int formats = 0;
    int bpp = 0;
    if (XPixmapFormatValues* pf = XListPixmapFormats(FDisplay, &formats)) {
        for (int i = 0; i < formats; ++i)
            if (pf[i].depth == FDepth) bpp = pf[i].bits_per_pixel;
        XFree(pf);
    }
    const uint16_t probe = 1;
    const bool hostLsb = *reinterpret_cast<const uint8_t*>(&probe) == 1;
    FFastPixels = bpp == 32 && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF &&
                  (ImageByteOrder(FDisplay) == LSBFirst) == hostLsb;

    Bool supported = False;
    FDetectableRepeat = XkbSetDetectableAutoRepeat(FDisplay, True, &supported) && supported;
}

// Opening an input method loads Xlib's locale support and reads the locale's whole compose table
// (most of a megabyte, several milliseconds): a window whose focus never takes typed text does
// without, and keys there give Latin-1 characters straight from their keysyms. The first edit to
// get the focus opens it, before any key is typed there.
void X11Driver::OpenInputMethod() {
    if (FIMOpened) return;
    FIMOpened = true;
    EnsureCtypeLocale();
    if (!XSupportsLocale()) return;
    XSetLocaleModifiers("");
    FIM = XOpenIM(FDisplay, nullptr, nullptr, nullptr);
    if (!FIM) {
        // XMODIFIERS names a server that is not running: use Xlib's own.
        XSetLocaleModifiers("@im=none");
        FIM = XOpenIM(FDisplay, nullptr, nullptr, nullptr);
    }
}

void X11Driver::SetTextInput(DriverWindowId id, bool on) {
    TopLevel* w = Find(id);
    if (!w || w->kind == TopLevelKind::Popup) return;
    if (on) {
        OpenInputMethod();
        CreateInputContext(*w);
        return;
    }
    if (!w->ic) return;
    // A compose sequence left half typed is dropped with the context.
    XDestroyIC(w->ic);
    w->ic = nullptr;
    XSelectInput(FDisplay, w->xid, w->eventMask);
}

X11Driver::~X11Driver() {
    while (!FWindows.empty()) DestroyTopLevel(FWindows.begin()->first);
    for (auto& [shape, cursor] : FCursors) XFreeCursor(FDisplay, cursor);
    if (FIM) XCloseIM(FIM);
    XDestroyWindow(FDisplay, FHelper);
    XFreeGC(FDisplay, FGC);
    XCloseDisplay(FDisplay);
    ReapChildren();
    for (const Child& c : FChildren)
        if (c.pidfd >= 0) close(c.pidfd);
}

TopLevel* X11Driver::Find(DriverWindowId id) {
    auto it = FWindows.find(static_cast<Window>(id));
    return it == FWindows.end() ? nullptr : &it->second;
}

// ---------------------------------------------------------------------------------------------
// Windows

DriverWindowId X11Driver::CreateTopLevel(const TopLevelSpec& request) {
    const int width = std::clamp(request.bounds.Width(), 1, Surface::kMaxSide);
    const int height = std::clamp(request.bounds.Height(), 1, Surface::kMaxSide);
    int x = request.bounds.Left, y = request.bounds.Top;
    if (request.centred) {
        const TSize screen = ScreenSize();
        x = (screen.cx - width) / 2;
        y = (screen.cy - height) / 2;
    }
    const bool popup = request.kind == TopLevelKind::Popup;

    const long eventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                           ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                           LeaveWindowMask | StructureNotifyMask | FocusChangeMask;
    XSetWindowAttributes attrs{};
    attrs.background_pixmap = None; // we paint every pixel; the server's fill would flicker
    attrs.bit_gravity = NorthWestGravity;
    attrs.border_pixel = 0;
    attrs.event_mask = eventMask;
    attrs.override_redirect = popup ? True : False;
    attrs.save_under = popup ? True : False;
    const Window xid = XCreateWindow(FDisplay, FRoot, x, y, width, height, 0, CopyFromParent,
                                     InputOutput, CopyFromParent,
                                     CWBackPixmap | CWBitGravity | CWBorderPixel | CWEventMask |
                                         CWOverrideRedirect | CWSaveUnder, &attrs);
    TopLevel& w = FWindows[xid];
    w.xid = xid;
    w.kind = request.kind;
    w.sizeable = request.sizeable;
    w.eventMask = eventMask;
    w.width = width;
    w.height = height;
    w.x = x;
    w.y = y;

    XClassHint classHint{};
    classHint.res_name = program_invocation_short_name;
    classHint.res_class = const_cast<char*>("Lumivane");
    XWMHints wmHints{};
    wmHints.flags = InputHint | StateHint;
    wmHints.input = popup ? False : True; // popups (hints) never take the focus
    wmHints.initial_state = NormalState;
    // Sets WM_CLIENT_MACHINE (which _NET_WM_PID needs), WM_HINTS and WM_CLASS; SetTitle sets the
    // names, and WM_LOCALE_NAME tells in which locale they are.
    XSetWMProperties(FDisplay, xid, nullptr, nullptr, nullptr, 0, nullptr, &wmHints, &classHint);
    const std::string locale = CtypeLocaleName();
    XChangeProperty(FDisplay, xid, FAtoms[A_WM_LOCALE_NAME], XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(locale.data()), static_cast<int>(locale.size()));
    SetTitle(xid, request.title);
    SetSizeHints(w, x, y, width, height, true);
    const long pid = getpid();
    XChangeProperty(FDisplay, xid, FAtoms[A_NET_WM_PID], XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    if (!popup) {
        Atom protocols[2] = {FAtoms[A_WM_DELETE_WINDOW], FAtoms[A_NET_WM_PING]};
        XSetWMProtocols(FDisplay, xid, protocols, 2);
        SetMotifHints(w, request);
    }
    switch (request.kind) {
    case TopLevelKind::Normal: SetWindowType(w, FAtoms[A_NET_WM_WINDOW_TYPE_NORMAL]); break;
    case TopLevelKind::Dialog:
        SetWindowType(w, FAtoms[A_NET_WM_WINDOW_TYPE_DIALOG]);
        if (request.owner) XSetTransientForHint(FDisplay, xid, static_cast<Window>(request.owner));
        break;
    case TopLevelKind::Popup: SetWindowType(w, FAtoms[A_NET_WM_WINDOW_TYPE_TOOLTIP]); break;
    }
    XFlush(FDisplay);
    return xid;
}

void X11Driver::CreateInputContext(TopLevel& w) {
    if (!FIM || w.ic) return;
    w.ic = XCreateIC(FIM, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow,
                     w.xid, XNFocusWindow, w.xid, nullptr);
    if (!w.ic) return;
    // The input method may need events of its own on our window.
    long imMask = 0;
    if (!XGetICValues(w.ic, XNFilterEvents, &imMask, nullptr) && (imMask & ~w.eventMask))
        XSelectInput(FDisplay, w.xid, w.eventMask | imMask);
    if (w.focused) XSetICFocus(w.ic);
}

void X11Driver::SetSizeHints(TopLevel& w, int x, int y, int width, int height, bool minFromSize) {
    XSizeHints* hints = XAllocSizeHints();
    if (!hints) return;
    // The requested place is the client area's own (StaticGravity), not the frame's.
    hints->flags = USPosition | PPosition | USSize | PSize | PMinSize | PWinGravity;
    hints->x = x;
    hints->y = y;
    hints->width = width;
    hints->height = height;
    hints->win_gravity = StaticGravity;
    if (w.sizeable) {
        XSizeHints old{};
        long supplied = 0;
        if (!minFromSize && XGetWMNormalHints(FDisplay, w.xid, &old, &supplied) &&
            (old.flags & PMinSize)) {
            hints->min_width = old.min_width;
            hints->min_height = old.min_height;
        } else {
            hints->min_width = std::min(width, kMinTrackWidth);
            hints->min_height = std::min(height, kMinTrackHeight);
        }
    } else {
        hints->flags |= PMaxSize;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
    }
    XSetWMNormalHints(FDisplay, w.xid, hints);
    XFree(hints);
}

void X11Driver::SetWindowType(TopLevel& w, Atom type) {
    XChangeProperty(FDisplay, w.xid, FAtoms[A_NET_WM_WINDOW_TYPE], XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);
}

void X11Driver::SetMotifHints(TopLevel& w, const TopLevelSpec& request) {
    // Window managers that read these show exactly the boxes asked for (no maximise box).
    MotifHints m{};
    m.flags = MWM_HINTS_FUNCTIONS | MWM_HINTS_DECORATIONS;
    m.functions = MWM_FUNC_MOVE | MWM_FUNC_CLOSE;
    m.decorations = MWM_DECOR_BORDER | MWM_DECOR_TITLE | MWM_DECOR_MENU;
    if (request.sizeable) {
        m.functions |= MWM_FUNC_RESIZE;
        m.decorations |= MWM_DECOR_RESIZEH;
    }
    if (request.minimizeBox) {
        m.functions |= MWM_FUNC_MINIMIZE;
        m.decorations |= MWM_DECOR_MINIMIZE;
    }
    if (request.maximizeBox && request.sizeable) {
        m.functions |= MWM_FUNC_MAXIMIZE;
        m.decorations |= MWM_DECOR_MAXIMIZE;
    }
    XChangeProperty(FDisplay, w.xid, FAtoms[A_MOTIF_WM_HINTS], FAtoms[A_MOTIF_WM_HINTS], 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&m), 5);
}

void X11Driver::DestroyTopLevel(DriverWindowId id) {
    TopLevel* w = Find(id);
    if (!w) return;
    FreeImage(*w);
    if (w->ic) XDestroyIC(w->ic);
    const Window xid = w->xid;
    XDestroyWindow(FDisplay, xid);
    FWindows.erase(xid);
    XFlush(FDisplay);
}

void X11Driver::ShowTopLevel(DriverWindowId id, bool visible) {
    TopLevel* w = Find(id);
    if (!w) return;
    if (visible)
        XMapRaised(FDisplay, w->xid);
    else if (w->kind == TopLevelKind::Popup)
        XUnmapWindow(FDisplay, w->xid);
    else
        XWithdrawWindow(FDisplay, w->xid, FScreen); // tells the window manager too
    XFlush(FDisplay);
}

void X11Driver::SetTitle(DriverWindowId id, const std::string& utf8) {
    TopLevel* w = Find(id);
    if (!w) return;
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    const int n = static_cast<int>(std::min<size_t>(utf8.size(), 65536));
    XChangeProperty(FDisplay, w->xid, FAtoms[A_NET_WM_NAME], FAtoms[A_UTF8_STRING], 8,
                    PropModeReplace, bytes, n);
    XChangeProperty(FDisplay, w->xid, FAtoms[A_NET_WM_ICON_NAME], FAtoms[A_UTF8_STRING], 8,
                    PropModeReplace, bytes, n);
    // WM_NAME for older window managers, as STRING or COMPOUND_TEXT. A Latin-1 title is written
    // as Xlib would write it, without loading Xlib's locale support for it.
    std::string copy = utf8.substr(0, n);
    std::string latin1;
    XTextProperty text{};
    if (Utf8ToPrintableLatin1(copy, latin1)) {
        text.value = reinterpret_cast<unsigned char*>(latin1.data());
        text.encoding = XA_STRING;
        text.format = 8;
        text.nitems = latin1.size();
        XSetWMName(FDisplay, w->xid, &text);
        XSetWMIconName(FDisplay, w->xid, &text);
    } else {
        EnsureCtypeLocale();
        char* list[1] = {copy.data()};
        if (Xutf8TextListToTextProperty(FDisplay, list, 1, XStdICCTextStyle, &text) >= Success) {
            XSetWMName(FDisplay, w->xid, &text);
            XSetWMIconName(FDisplay, w->xid, &text);
            XFree(text.value);
        }
    }
    XFlush(FDisplay);
}

void X11Driver::SetIcon(DriverWindowId id, int width, int height, const std::vector<uint32_t>& argb) {
    TopLevel* w = Find(id);
    if (!w) return;
    if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide ||
        argb.size() < static_cast<size_t>(width) * height)
        return; // not an icon we can show; the window keeps the one it has
    // Format-32 properties travel as longs on the client side, whatever their size.
    std::vector<unsigned long> data;
    data.reserve(2 + argb.size());
    data.push_back(static_cast<unsigned long>(width));
    data.push_back(static_cast<unsigned long>(height));
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) data.push_back(argb[i]);
    XChangeProperty(FDisplay, w->xid, FAtoms[A_NET_WM_ICON], XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    XFlush(FDisplay);
}

void X11Driver::SetBounds(DriverWindowId id, const TRect& bounds) {
    TopLevel* w = Find(id);
    if (!w) return;
    const int width = std::clamp(bounds.Width(), 1, Surface::kMaxSide);
    const int height = std::clamp(bounds.Height(), 1, Surface::kMaxSide);
    if (w->kind != TopLevelKind::Popup) SetSizeHints(*w, bounds.Left, bounds.Top, width, height, false);
    XMoveResizeWindow(FDisplay, w->xid, bounds.Left, bounds.Top, width, height);
    // The caller knows about this change; only the window manager's corrections are reported.
    w->width = width;
    w->height = height;
    w->x = bounds.Left;
    w->y = bounds.Top;
    XFlush(FDisplay);
}

TPoint X11Driver::ClientOrigin(DriverWindowId id) {
    TopLevel* w = Find(id);
    if (!w) return {};
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(FDisplay, w->xid, FRoot, 0, 0, &x, &y, &child)) return {w->x, w->y};
    return {x, y};
}

TSize X11Driver::ScreenSize() {
    return {DisplayWidth(FDisplay, FScreen), DisplayHeight(FDisplay, FScreen)};
}

// ---------------------------------------------------------------------------------------------
// Pixels

XImage* X11Driver::CreateShmImage(TopLevel& w, int width, int height) {
    XShmSegmentInfo& shm = w.shm;
    XImage* img = XShmCreateImage(FDisplay, FVisual, FDepth, ZPixmap, nullptr, &shm, width, height);
    if (!img) return nullptr;
    shm.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(img->bytes_per_line) * height, IPC_CREAT | 0600);
    if (shm.shmid < 0) {
        XDestroyImage(img);
        return nullptr;
    }
    shm.shmaddr = img->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
    shm.readOnly = False;
    bool ok = shm.shmaddr != reinterpret_cast<char*>(-1);
    if (ok) {
        // A server on another machine says it has the extension but cannot attach.
        ErrorTrap trap(FDisplay);
        XShmAttach(FDisplay, &shm);
        ok = trap.Ok();
    }
    // Marked for removal now, so the segment goes away with the last process using it.
    shmctl(shm.shmid, IPC_RMID, nullptr);
    if (!ok) {
        if (shm.shmaddr != reinterpret_cast<char*>(-1)) shmdt(shm.shmaddr);
        img->data = nullptr;
        XDestroyImage(img);
        return nullptr;
    }
    return img;
}

bool X11Driver::EnsureImage(TopLevel& w, int width, int height) {
    if (w.image && w.image->width == width && w.image->height == height) return true;
    FreeImage(w);
    if (FShm) {
        w.image = CreateShmImage(w, width, height);
        if (w.image) {
            w.shmImage = true;
            return true;
        }
        FShm = false; // not on this display; don't try again
    }
    XImage* img = XCreateImage(FDisplay, FVisual, FDepth, ZPixmap, 0, nullptr, width, height, 32, 0);
    if (!img) return false;
    img->data = static_cast<char*>(std::calloc(static_cast<size_t>(img->bytes_per_line), height));
    if (!img->data) {
        XDestroyImage(img);
        return false;
    }
    w.image = img;
    w.shmImage = false;
    return true;
}

void X11Driver::FreeImage(TopLevel& w) {
    if (!w.image) return;
    if (w.shmImage) {
        XShmDetach(FDisplay, &w.shm);
        XSync(FDisplay, False);
        XDestroyImage(w.image); // frees the header only
        shmdt(w.shm.shmaddr);
    } else {
        XDestroyImage(w.image);
    }
    w.image = nullptr;
    w.shmImage = w.shmBusy = w.hasPixels = false;
}

void X11Driver::CopyToImage(TopLevel& w, const Surface& s, const TRect& r) {
    XImage* img = w.image;
    for (int y = r.Top; y < r.Bottom; ++y) {
        const Pixel* src = s.Row(y) + r.Left;
        if (FFastPixels) {
            auto* dst = reinterpret_cast<uint32_t*>(img->data + static_cast<size_t>(y) * img->bytes_per_line) + r.Left;
            std::memcpy(dst, src, static_cast<size_t>(r.Width()) * 4);
            continue;
        }
        for (int x = 0; x < r.Width(); ++x) {
            const Pixel p = src[x];
            const unsigned channel[3] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
            unsigned long v = 0;
            for (int c = 0; c < 3; ++c) {
                const unsigned long scaled = FBits[c] >= 8 ? static_cast<unsigned long>(channel[c]) << (FBits[c] - 8)
                                                           : channel[c] >> (8 - FBits[c]);
                v |= scaled << FShift[c];
            }
            XPutPixel(img, r.Left + x, y, v);
        }
    }
}

void X11Driver::PutImage(TopLevel& w, const TRect& r, bool last) {
    if (w.shmImage) {
        // Ask for a completion event after the last piece: until then the segment is the server's.
        XShmPutImage(FDisplay, w.xid, FGC, w.image, r.Left, r.Top, r.Left, r.Top, r.Width(),
                     r.Height(), last ? True : False);
        if (last) w.shmBusy = true;
    } else {
        XPutImage(FDisplay, w.xid, FGC, w.image, r.Left, r.Top, r.Left, r.Top, r.Width(), r.Height());
    }
}

void X11Driver::PutSurface(TopLevel& w, const Surface& s, const std::vector<TRect>& rects) {
    // An image header over the surface's own rows: XPutImage has sent them when it returns.
    const Pixel* pixels = s.Row(0);
    XImage* img = XCreateImage(FDisplay, FVisual, FDepth, ZPixmap, 0,
                               reinterpret_cast<char*>(const_cast<Pixel*>(pixels)), s.Width(),
                               s.Height(), 32, s.Width() * 4);
    if (!img) return;
    for (const TRect& r : rects) {
        const TRect c = r.Intersect(s.Bounds());
        if (!c.IsEmpty())
            XPutImage(FDisplay, w.xid, FGC, img, c.Left, c.Top, c.Left, c.Top, c.Width(), c.Height());
    }
    img->data = nullptr; // the surface's
    XDestroyImage(img);
}

void X11Driver::Present(DriverWindowId id, const Surface& surface, const std::vector<TRect>& rects) {
    TopLevel* w = Find(id);
    if (!w || surface.Width() <= 0 || surface.Height() <= 0) return;
    if (FFastPixels && (!FShm || int64_t{surface.Width()} * surface.Height() < kShmMinPixels)) {
        FreeImage(*w); // kept from a larger size; exposures are the window system's now
        PutSurface(*w, surface, rects);
        XFlush(FDisplay);
        return;
    }
    const bool fresh = !w->image || w->image->width != surface.Width() || w->image->height != surface.Height();
    if (!EnsureImage(*w, surface.Width(), surface.Height())) return;
    if (w->shmBusy) {
        XSync(FDisplay, False); // the server has read the last frame once this returns
        w->shmBusy = false;
    }
    std::vector<TRect> parts;
    if (fresh) {
        // A new image must not show stale memory where the caller presents nothing this time.
        parts.push_back(surface.Bounds());
    } else {
        for (const TRect& r : rects) {
            const TRect c = r.Intersect(surface.Bounds());
            if (!c.IsEmpty()) parts.push_back(c);
        }
    }
    for (const TRect& r : parts) CopyToImage(*w, surface, r);
    for (size_t i = 0; i < parts.size(); ++i) PutImage(*w, parts[i], i + 1 == parts.size());
    w->hasPixels = true;
    XFlush(FDisplay);
}

// ---------------------------------------------------------------------------------------------
// Events

void X11Driver::WaitEvents(int64_t deadline, std::vector<DriverEvent>& out) {
    const size_t before = out.size();
    for (;;) {
        ReapChildren();
        if (!FQueued.empty()) {
            out.insert(out.end(), FQueued.begin(), FQueued.end());
            FQueued.clear();
        }
        Drain(out);
        for (int fd : FReadable) {
            DriverEvent e;
            e.type = DriverEvent::Readable;
            e.x = fd;
            out.push_back(e);
        }
        FReadable.clear();
        if (TakeTerminateRequest()) {
            DriverEvent e;
            e.type = DriverEvent::Terminate;
            out.push_back(e);
        }
        if (out.size() > before) return;
        int timeout = -1;
        if (deadline >= 0) {
            const int64_t left = deadline - Now();
            if (left <= 0) return;
            timeout = static_cast<int>(std::min<int64_t>(left, INT_MAX));
        }
        PollDisplay(timeout);
        if (deadline >= 0 && Now() >= deadline && XPending(FDisplay) == 0) {
            ReapChildren();
            return;
        }
    }
}

// Sleeps until the display has data, a child we started ends, or the timeout (ms, -1: none).
void X11Driver::PollDisplay(int timeoutMs) {
    XFlush(FDisplay);
    std::vector<pollfd> fds;
    fds.push_back({ConnectionNumber(FDisplay), POLLIN, 0});
    if (gTerminatePipe[0] >= 0) fds.push_back({gTerminatePipe[0], POLLIN, 0});
    for (const Child& c : FChildren)
        if (c.pidfd >= 0) fds.push_back({c.pidfd, POLLIN, 0});
    const size_t watchedFrom = fds.size();
    for (int fd : FWatched) fds.push_back({fd, POLLIN, 0});
    ++FWaitCount;
    const int r = poll(fds.data(), fds.size(), timeoutMs);
    if (r < 0) return; // EINTR: the caller looks again
    const short bad = POLLHUP | POLLERR | POLLNVAL;
    if ((fds[0].revents & bad) && !(fds[0].revents & POLLIN)) ConnectionLost();
    // A watched fd is reported once (at its end or on an error too) and left alone until asked
    // for again: the loop would otherwise spin on data nobody has read yet.
    for (size_t i = watchedFrom; i < fds.size(); ++i)
        if (fds[i].revents) {
            FReadable.push_back(fds[i].fd);
            std::erase(FWatched, fds[i].fd);
        }
}

void X11Driver::Drain(std::vector<DriverEvent>& out) {
    while (XPending(FDisplay) > 0) {
        XEvent ev;
        XNextEvent(FDisplay, &ev);
        if (FIM && XFilterEvent(&ev, None)) continue; // the input method's
        Translate(ev, out);
    }
}

bool X11Driver::WaitForEvent(XEvent& found, const std::function<bool(const XEvent&)>& match,
                             int64_t deadline) {
    for (;;) {
        while (XPending(FDisplay) > 0) {
            XEvent ev;
            XNextEvent(FDisplay, &ev);
            if (match(ev)) {
                found = ev;
                return true;
            }
            if (FIM && XFilterEvent(&ev, None)) continue;
            Translate(ev, FQueued); // input arriving meanwhile is kept, in order
        }
        const int64_t left = deadline - Now();
        if (left <= 0) return false;
        PollDisplay(static_cast<int>(left));
        ReapChildren();
    }
}

void X11Driver::Translate(XEvent& ev, std::vector<DriverEvent>& out) {
    switch (ev.type) {
    case SelectionRequest: AnswerSelectionRequest(ev.xselectionrequest); return;
    case SelectionClear:
        if (ev.xselectionclear.selection == FAtoms[A_CLIPBOARD] && ev.xselectionclear.window == FHelper) {
            FOwnClipboard = false;
            FClipText.clear();
        }
        return;
    case MappingNotify:
        if (ev.xmapping.request == MappingKeyboard || ev.xmapping.request == MappingModifier)
            XRefreshKeyboardMapping(&ev.xmapping);
        return;
    case PropertyNotify: FLastTime = ev.xproperty.time; return;
    default: break;
    }
    if (ev.type == FShmCompletion) {
        const auto& done = reinterpret_cast<const XShmCompletionEvent&>(ev);
        if (TopLevel* w = Find(done.drawable)) w->shmBusy = false;
        return;
    }
    TopLevel* w = Find(ev.xany.window);
    if (!w) return;
    DriverEvent e;
    e.window = w->xid;
    switch (ev.type) {
    case MotionNotify:
        FLastTime = ev.xmotion.time;
        e.type = DriverEvent::PointerMove;
        e.x = ev.xmotion.x;
        e.y = ev.xmotion.y;
        e.shift = ShiftState(ev.xmotion.state);
        // Only the latest position of a run of moves matters.
        if (!out.empty() && out.back().type == DriverEvent::PointerMove && out.back().window == e.window) {
            out.back() = e;
            return;
        }
        break;
    case ButtonPress:
    case ButtonRelease: {
        FLastTime = ev.xbutton.time;
        const unsigned b = ev.xbutton.button;
        e.x = ev.xbutton.x;
        e.y = ev.xbutton.y;
        e.shift = ShiftState(ev.xbutton.state);
        if (b == Button4 || b == Button5) {
            if (ev.type == ButtonRelease) return; // a wheel step is one press
            e.type = DriverEvent::Wheel;
            e.delta = b == Button4 ? 1 : -1;
        } else if (b >= Button1 && b <= Button3) {
            e.type = ev.type == ButtonPress ? DriverEvent::ButtonDown : DriverEvent::ButtonUp;
            e.button = static_cast<int>(b);
        } else {
            return;
        }
        break;
    }
    case EnterNotify:
    case LeaveNotify:
        FLastTime = ev.xcrossing.time;
        if (ev.xcrossing.detail == NotifyInferior) return;
        e.type = ev.type == EnterNotify ? DriverEvent::PointerEnter : DriverEvent::PointerLeave;
        e.x = ev.xcrossing.x;
        e.y = ev.xcrossing.y;
        e.shift = ShiftState(ev.xcrossing.state);
        break;
    case KeyPress:
    case KeyRelease: TranslateKey(*w, ev.xkey, out); return;
    case FocusIn:
    case FocusOut:
        // Grabs by the window manager (a move, a key binding) are not focus changes.
        if (ev.xfocus.mode == NotifyGrab || ev.xfocus.mode == NotifyUngrab) return;
        if (ev.xfocus.detail == NotifyPointer) return;
        w->focused = ev.type == FocusIn;
        if (ev.type == FocusIn) {
            if (w->ic) XSetICFocus(w->ic);
        } else {
            if (w->ic) XUnsetICFocus(w->ic);
            FKeysDown.reset(); // their releases go elsewhere now
        }
        e.type = ev.type == FocusIn ? kEvFocusIn : kEvFocusOut;
        break;
    case Expose: TranslateExpose(*w, ev.xexpose, out); return;
    case ConfigureNotify: TranslateConfigure(*w, ev.xconfigure, out); return;
    case ClientMessage:
        if (ev.xclient.message_type != FAtoms[A_WM_PROTOCOLS] || ev.xclient.format != 32) return;
        if (static_cast<Atom>(ev.xclient.data.l[0]) == FAtoms[A_WM_DELETE_WINDOW]) {
            e.type = DriverEvent::CloseRequest;
            break;
        }
        if (static_cast<Atom>(ev.xclient.data.l[0]) == FAtoms[A_NET_WM_PING]) {
            // "Still alive": the window manager's ping goes back to the root.
            XEvent reply = ev;
            reply.xclient.window = FRoot;
            XSendEvent(FDisplay, FRoot, False, SubstructureNotifyMask | SubstructureRedirectMask, &reply);
        }
        return;
    default: return;
    }
    out.push_back(e);
}

void X11Driver::TranslateKey(TopLevel& w, XKeyEvent& ev, std::vector<DriverEvent>& out) {
    FLastTime = ev.time;
    const unsigned code = ev.keycode & 0xFF;
    // The key's code does not depend on Shift: level 0, except the keypad under Num Lock.
    KeySym sym = XLookupKeysym(&ev, 0);
    if (IsKeypadKey(sym)) {
        const KeySym shifted = XLookupKeysym(&ev, 1);
        if ((ev.state & Mod2Mask) && IsKeypadKey(shifted)) sym = shifted;
    }
    DriverEvent e;
    e.window = w.xid;
    e.vk = KeysymToVk(sym);
    e.shift = ShiftState(ev.state);
    if (ev.type == KeyRelease) {
        // Without detectable auto-repeat a held key sends release/press pairs with one time.
        if (!FDetectableRepeat && XEventsQueued(FDisplay, QueuedAfterReading)) {
            XEvent next;
            XPeekEvent(FDisplay, &next);
            if (next.type == KeyPress && next.xkey.keycode == ev.keycode && next.xkey.time == ev.time)
                return;
        }
        FKeysDown.reset(code);
        e.type = DriverEvent::KeyUp;
        if (e.vk) out.push_back(e);
        return;
    }
    e.type = DriverEvent::KeyDown;
    e.repeat = FKeysDown.test(code);
    FKeysDown.set(code);
    if (e.vk) out.push_back(e);

    std::string chars;
    KeySym charSym = NoSymbol;
    if (w.ic) {
        char buf[64];
        Status status = 0;
        int n = Xutf8LookupString(w.ic, &ev, buf, sizeof buf, &charSym, &status);
        if (status == XBufferOverflow && n > 0 && n <= 4096) {
            std::string big(static_cast<size_t>(n), '\0');
            n = Xutf8LookupString(w.ic, &ev, big.data(), n, &charSym, &status);
            if (status == XLookupChars || status == XLookupBoth) chars = Utf8ToCp1252(big.substr(0, std::max(n, 0)));
        } else if ((status == XLookupChars || status == XLookupBoth) && n > 0) {
            chars = Utf8ToCp1252(std::string(buf, std::min<size_t>(n, sizeof buf)));
        }
    } else {
        // Not XLookupString: it loads Xlib's locale support (its alias and locale tables) at the
        // first key, which a window of buttons pays for on the Return that closes it.
        unsigned mods = 0;
        if (XkbLookupKeySym(FDisplay, static_cast<KeyCode>(ev.keycode), ev.state, &mods, &charSym)) {
            const char32_t c = KeysymToChar(charSym, ev.state & ControlMask);
            if (c) chars = Utf8ToCp1252(Utf8Of(c));
        }
    }
    for (char c : chars) {
        // Delete produces DEL (0x7F) in X but no character for the window system.
        if (c == 0x7F && (charSym == XK_Delete || charSym == XK_KP_Delete)) continue;
        DriverEvent ch = e;
        ch.type = DriverEvent::Char;
        ch.vk = 0;
        ch.ch = static_cast<unsigned char>(c);
        out.push_back(ch);
    }
}

void X11Driver::TranslateExpose(TopLevel& w, const XExposeEvent& ev, std::vector<DriverEvent>& out) {
    const TRect exposed{ev.x, ev.y, ev.x + ev.width, ev.y + ev.height};
    TRect kept;
    if (w.hasPixels && w.image) {
        kept = exposed.Intersect({0, 0, w.image->width, w.image->height});
        if (!kept.IsEmpty()) {
            if (w.shmBusy) {
                XSync(FDisplay, False);
                w.shmBusy = false;
            }
            PutImage(w, kept, true);
        }
    }
    if (kept == exposed) return;
    // Parts we hold no pixels for: the window system presents them. One band per side of the
    // part we repainted, or the whole rectangle when we had nothing.
    auto report = [&](const TRect& r) {
        if (r.IsEmpty()) return;
        DriverEvent e;
        e.type = kEvExpose;
        e.window = w.xid;
        e.rect = r;
        out.push_back(e);
    };
    if (kept.IsEmpty()) {
        report(exposed);
        return;
    }
    report({exposed.Left, exposed.Top, exposed.Right, kept.Top});
    report({exposed.Left, kept.Bottom, exposed.Right, exposed.Bottom});
    report({exposed.Left, kept.Top, kept.Left, kept.Bottom});
    report({kept.Right, kept.Top, exposed.Right, kept.Bottom});
}

void X11Driver::TranslateConfigure(TopLevel& w, const XConfigureEvent& ev, std::vector<DriverEvent>& out) {
    if (ev.window != w.xid) return;
    if (ev.width != w.width || ev.height != w.height) {
        w.width = ev.width;
        w.height = ev.height;
        DriverEvent e;
        e.type = DriverEvent::Resize;
        e.window = w.xid;
        e.width = ev.width;
        e.height = ev.height;
        out.push_back(e);
    }
    // Under a reparenting window manager the event's place is relative to the frame.
    TPoint origin{ev.x, ev.y};
    if (!ev.send_event) {
        Window child = 0;
        XTranslateCoordinates(FDisplay, w.xid, FRoot, 0, 0, &origin.x, &origin.y, &child);
    }
    if (origin.x != w.x || origin.y != w.y) {
        w.x = origin.x;
        w.y = origin.y;
        DriverEvent e;
        e.type = DriverEvent::Move;
        e.window = w.xid;
        e.x = origin.x;
        e.y = origin.y;
        out.push_back(e);
    }
}

// ---------------------------------------------------------------------------------------------
// Pointer

bool X11Driver::GetCursorPos(TPoint& p) {
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    if (!XQueryPointer(FDisplay, FRoot, &root, &child, &rx, &ry, &wx, &wy, &mask)) return false;
    p = {rx, ry};
    return true;
}

void X11Driver::SetCursor(DriverWindowId id, int cursor) {
    TopLevel* w = Find(id);
    if (!w || w->cursor == cursor) return;
    auto it = FCursors.find(cursor);
    if (it == FCursors.end()) {
        Cursor c = 0;
        if (cursor == -1) {
            // crNone: an empty one-pixel cursor.
            char zero = 0;
            const Pixmap blank = XCreateBitmapFromData(FDisplay, FRoot, &zero, 1, 1);
            XColor black{};
            c = XCreatePixmapCursor(FDisplay, blank, blank, &black, &black, 0, 0);
            XFreePixmap(FDisplay, blank);
        } else {
            unsigned shape = XC_left_ptr;
            switch (cursor) {
            case -3: shape = XC_crosshair; break;               // crCross
            case -4: shape = XC_xterm; break;                   // crIBeam
            case -6: shape = XC_bottom_left_corner; break;      // crSizeNESW
            case -7: case -15: shape = XC_sb_v_double_arrow; break; // crSizeNS, crVSplit
            case -8: shape = XC_bottom_right_corner; break;     // crSizeNWSE
            case -9: case -14: shape = XC_sb_h_double_arrow; break; // crSizeWE, crHSplit
            case -10: shape = XC_sb_up_arrow; break;            // crUpArrow
            case -11: case -17: case -19: shape = XC_watch; break; // crHourGlass, crSQLWait, crAppStart
            case -13: case -18: shape = XC_X_cursor; break;     // crNoDrop, crNo
            case -20: shape = XC_question_arrow; break;         // crHelp
            case -21: shape = XC_hand2; break;                  // crHandPoint
            case -22: shape = XC_fleur; break;                  // crSizeAll
            default: break;                                     // crDefault, crArrow, others
            }
            c = XCreateFontCursor(FDisplay, shape);
        }
        it = FCursors.emplace(cursor, c).first;
    }
    XDefineCursor(FDisplay, w->xid, it->second);
    w->cursor = cursor;
    XFlush(FDisplay);
}

// ---------------------------------------------------------------------------------------------
// Clipboard

Time X11Driver::ServerTime() {
    if (FLastTime != CurrentTime) return FLastTime;
    // No event has told us the time yet: an empty append makes the server stamp one.
    XChangeProperty(FDisplay, FHelper, FAtoms[A_LUMI_TIME], XA_STRING, 8, PropModeAppend, nullptr, 0);
    XEvent ev;
    const Atom prop = FAtoms[A_LUMI_TIME];
    const Window helper = FHelper;
    if (WaitForEvent(ev, [&](const XEvent& e) {
            return e.type == PropertyNotify && e.xproperty.window == helper && e.xproperty.atom == prop;
        }, Now() + kClipboardTimeoutMs))
        FLastTime = ev.xproperty.time;
    return FLastTime;
}

void X11Driver::SetClipboardText(const std::string& cp1252) {
    FClipText = cp1252;
    FClipTime = ServerTime();
    XSetSelectionOwner(FDisplay, FAtoms[A_CLIPBOARD], FHelper, FClipTime);
    FOwnClipboard = XGetSelectionOwner(FDisplay, FAtoms[A_CLIPBOARD]) == FHelper;
    if (!FOwnClipboard) FClipText.clear();
}

void X11Driver::AnswerSelectionRequest(const XSelectionRequestEvent& req) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = FDisplay;
    reply.requestor = req.requestor;
    reply.selection = req.selection;
    reply.target = req.target;
    reply.time = req.time;
    reply.property = None;
    // Old clients leave the property out: the target's name is used then.
    const Atom prop = req.property != None ? req.property : req.target;
    const bool ours = req.selection == FAtoms[A_CLIPBOARD] && req.owner == FHelper && FOwnClipboard &&
                      (req.time == CurrentTime || FClipTime == CurrentTime || req.time >= FClipTime);
    ErrorTrap trap(FDisplay); // the requestor may be gone already
    if (ours) {
        const Atom target = req.target;
        const long maxBytes = (XExtendedMaxRequestSize(FDisplay) ? XExtendedMaxRequestSize(FDisplay)
                                                                : XMaxRequestSize(FDisplay)) * 4 - 256;
        if (target == FAtoms[A_TARGETS]) {
            const Atom targets[] = {FAtoms[A_TARGETS], FAtoms[A_TIMESTAMP], FAtoms[A_UTF8_STRING],
                                    XA_STRING, FAtoms[A_TEXT]};
            XChangeProperty(FDisplay, req.requestor, prop, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(targets), 5);
            reply.property = prop;
        } else if (target == FAtoms[A_TIMESTAMP]) {
            const long t = static_cast<long>(FClipTime);
            XChangeProperty(FDisplay, req.requestor, prop, XA_INTEGER, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&t), 1);
            reply.property = prop;
        } else if (target == FAtoms[A_UTF8_STRING] || target == FAtoms[A_TEXT] || target == XA_STRING) {
            const bool latin1 = target == XA_STRING;
            const std::string data = latin1 ? Cp1252ToLatin1(FClipText) : Cp1252ToUtf8(FClipText);
            // Texts beyond one request would need the incremental protocol; ours never get there.
            if (static_cast<long>(data.size()) <= maxBytes) {
                XChangeProperty(FDisplay, req.requestor, prop, latin1 ? XA_STRING : FAtoms[A_UTF8_STRING],
                                8, PropModeReplace, reinterpret_cast<const unsigned char*>(data.data()),
                                static_cast<int>(data.size()));
                reply.property = prop;
            }
        }
    }
    XSendEvent(FDisplay, req.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    trap.Ok();
}

bool X11Driver::ReadProperty(Atom prop, std::string& bytes, Atom& type, int& format) {
    bytes.clear();
    unsigned char* data = nullptr;
    unsigned long items = 0, after = 0;
    // Ask for at most the cap (in 32-bit units); anything beyond is cut off.
    const long units = static_cast<long>(kClipboardCap / 4 + 1);
    if (XGetWindowProperty(FDisplay, FHelper, prop, 0, units, True, AnyPropertyType, &type, &format,
                           &items, &after, &data) != Success) {
        type = None;
        return false;
    }
    if (format == 8 && data) bytes.assign(reinterpret_cast<char*>(data), std::min<size_t>(items, kClipboardCap));
    if (data) XFree(data);
    if (after) XDeleteProperty(FDisplay, FHelper, prop); // the owner waits for the deletion
    return type != None;
}

bool X11Driver::ConvertClipboard(Atom target, std::string& bytes, Atom& type) {
    const Atom prop = FAtoms[A_LUMI_CLIP];
    const Window helper = FHelper;
    XDeleteProperty(FDisplay, helper, prop);
    XConvertSelection(FDisplay, FAtoms[A_CLIPBOARD], target, prop, helper, ServerTime());
    XEvent ev;
    if (!WaitForEvent(ev, [&](const XEvent& e) {
            return e.type == SelectionNotify && e.xselection.requestor == helper;
        }, Now() + kClipboardTimeoutMs))
        return false;
    if (ev.xselection.property == None) return false;
    int format = 0;
    if (!ReadProperty(prop, bytes, type, format)) return false;
    if (type != FAtoms[A_INCR]) return format == 8;

    // Incremental transfer: deleting the INCR property (done by the read) asks for the first
    // piece; each piece arrives as a new value; an empty one ends it.
    std::string piece;
    bytes.clear();
    Atom pieceType = None;
    for (;;) {
        if (!WaitForEvent(ev, [&](const XEvent& e) {
                return e.type == PropertyNotify && e.xproperty.window == helper &&
                       e.xproperty.atom == prop && e.xproperty.state == PropertyNewValue;
            }, Now() + kClipboardTimeoutMs))
            return false;
        if (!ReadProperty(prop, piece, pieceType, format)) return false;
        if (piece.empty()) break;
        type = pieceType;
        if (bytes.size() < kClipboardCap) bytes.append(piece, 0, kClipboardCap - bytes.size());
    }
    return true;
}

bool X11Driver::GetClipboardText(std::string& cp1252) {
    // Asked directly: a SelectionClear may still be waiting in the queue.
    const Window owner = XGetSelectionOwner(FDisplay, FAtoms[A_CLIPBOARD]);
    if (FOwnClipboard && owner == FHelper) {
        cp1252 = FClipText;
        return true;
    }
    FOwnClipboard = false;
    FClipText.clear();
    if (owner == None) return false;
    std::string bytes;
    Atom type = None;
    if (ConvertClipboard(FAtoms[A_UTF8_STRING], bytes, type) && type == FAtoms[A_UTF8_STRING]) {
        cp1252 = Utf8ToCp1252(bytes);
        return true;
    }
    if (ConvertClipboard(XA_STRING, bytes, type) && type == XA_STRING) {
        cp1252 = Latin1ToCp1252(bytes);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Shell

void X11Driver::OpenAddress(const std::string& address) {
    // An address that starts with '-' would be read as an option.
    if (address.empty() || address[0] == '-' || address.find('\0') != std::string::npos) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Whatever xdg-open says (no browser...) is not ours to show.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::string arg = address;
    char* argv[] = {const_cast<char*>("xdg-open"), arg.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", &actions, &attr, argv, environ) == 0) {
        // A descriptor that becomes readable when the child ends wakes the wait to reap it.
        const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
        FChildren.push_back({pid, pidfd});
    }
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
}

void X11Driver::ReapChildren() {
    for (size_t i = 0; i < FChildren.size();) {
        const pid_t r = waitpid(FChildren[i].pid, nullptr, WNOHANG);
        if (r == 0) {
            ++i;
            continue;
        }
        if (FChildren[i].pidfd >= 0) close(FChildren[i].pidfd);
        FChildren.erase(FChildren.begin() + static_cast<long>(i));
    }
}

} // namespace

std::unique_ptr<Driver> CreateX11Driver(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (!display) {
        const char* name = displayName ? displayName : std::getenv("DISPLAY");
        throw Exception(std::string("cannot open display \"") + (name ? name : "") +
                        "\" (is an X server running and DISPLAY set?)");
    }
    return std::make_unique<X11Driver>(display);
}

void X11Driver::WatchReadable(int fd, bool watch) {
    std::erase(FWatched, fd);
    std::erase(FReadable, fd);
    if (watch) FWatched.push_back(fd);
}

int64_t X11DriverWaitCount(Driver& driver) {
    auto* x = dynamic_cast<X11Driver*>(&driver);
    return x ? x->WaitCount() : -1;
}

bool X11DriverInputMethodOpened(Driver& driver) {
    auto* x = dynamic_cast<X11Driver*>(&driver);
    return x && x->InputMethodOpened();
}
