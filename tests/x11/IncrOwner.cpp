#include "tests/x11/IncrOwner.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>


void ServeClipboardIncrementally(const std::string& text, size_t piece, int readyFd, size_t stopAfter) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) _exit(2);
    const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    const Atom incr = XInternAtom(d, "INCR", False);
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(d, clipboard, w, CurrentTime);
    XSync(d, False);
    if (write(readyFd, "r", 1) != 1) _exit(2);
    close(readyFd);

    Window requestor = 0;
    Atom property = None;
    size_t sent = 0, pieces = 0;
    bool finished = false;
    for (int idle = 0; idle < 100 && !finished;) {
        if (!XPending(d)) {
            pollfd p{ConnectionNumber(d), POLLIN, 0};
            if (poll(&p, 1, 100) == 0) ++idle;
            continue;
        }
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type == SelectionRequest && ev.xselectionrequest.target == utf8 && !requestor) {
            const XSelectionRequestEvent& req = ev.xselectionrequest;
            requestor = req.requestor;
            property = req.property;
            XSelectInput(d, requestor, PropertyChangeMask);
            const long size = static_cast<long>(text.size());
            XChangeProperty(d, requestor, property, incr, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&size), 1);
            XSelectionEvent reply{};
            reply.type = SelectionNotify;
            reply.requestor = requestor;
            reply.selection = req.selection;
            reply.target = req.target;
            reply.property = property;
            reply.time = req.time;
            XSendEvent(d, requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
            XFlush(d);
        } else if (ev.type == SelectionRequest) {
            XSelectionEvent reply{};
            reply.type = SelectionNotify;
            reply.requestor = ev.xselectionrequest.requestor;
            reply.selection = ev.xselectionrequest.selection;
            reply.target = ev.xselectionrequest.target;
            reply.property = None;
            reply.time = ev.xselectionrequest.time;
            XSendEvent(d, reply.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
            XFlush(d);
        } else if (ev.type == PropertyNotify && ev.xproperty.window == requestor &&
                   ev.xproperty.atom == property && ev.xproperty.state == PropertyDelete && pieces < stopAfter) {
            // The requestor took the last piece: send the next one, or the empty end marker.
            const size_t n = std::min(piece, text.size() - sent);
            XChangeProperty(d, requestor, property, utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text.data() + sent), static_cast<int>(n));
            XFlush(d);
            if (n == 0) finished = true;
            sent += n;
            ++pieces;
            idle = 0;
        }
    }
    XSync(d, False);
    _exit(finished ? 0 : 1);
}
