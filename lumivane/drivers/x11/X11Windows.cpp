// Top-level windows: creating them with the hints a window manager reads (size, type, Motif
// decorations, protocols), titles, icons, places and sizes.
#include "lumivane/drivers/x11/X11DriverImpl.h"

#include <X11/Xatom.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "lumivane/drivers/x11/X11Text.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace x11 {

namespace {

constexpr int kMaxIconSide = 1024;
// Smallest client area a window manager may shrink a sizeable window to (never more than the
// window's first size).
constexpr int kMinTrackWidth = 112, kMinTrackHeight = 27;

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

} // namespace

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
            // The smallest size a person may drag it to, in the display's pixels.
            hints->min_width = std::min(width, kMinTrackWidth * FScale);
            hints->min_height = std::min(height, kMinTrackHeight * FScale);
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
    const int n = static_cast<int>(FitUtf8(utf8, 65536));
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

// The place the events reported last (or the one asked for): asking the server instead could
// catch a window manager's frame on its way to its place.
TPoint X11Driver::ClientOrigin(DriverWindowId id) {
    TopLevel* w = Find(id);
    return w ? TPoint{w->x, w->y} : TPoint{};
}

TSize X11Driver::ScreenSize() {
    return {DisplayWidth(FDisplay, FScreen), DisplayHeight(FDisplay, FScreen)};
}

} // namespace x11

}  // namespace lumivane
