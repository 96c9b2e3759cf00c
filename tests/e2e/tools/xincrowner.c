/* xincrowner TEXT INTERVAL_MS: takes the CLIPBOARD and answers every request for it with an
 * incremental (INCR) transfer that never finishes, as a stuck or hostile owner does: it announces
 * a size, then sends TEXT as the next piece INTERVAL_MS after each time the requestor took one,
 * and never the empty piece that would end the transfer (INTERVAL_MS 0: only the first piece,
 * then nothing). Prints "ready" once it owns the clipboard; ends when killed, or after 60 s. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static long long now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: xincrowner TEXT INTERVAL_MS\n");
        return 2;
    }
    const char* text = argv[1];
    const long interval = strtol(argv[2], NULL, 10);
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "xincrowner: no display\n");
        return 2;
    }
    Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    Atom incr = XInternAtom(d, "INCR", False);
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(d, clipboard, w, CurrentTime);
    if (XGetSelectionOwner(d, clipboard) != w) {
        fprintf(stderr, "xincrowner: could not take the clipboard\n");
        return 1;
    }
    printf("ready\n");
    fflush(stdout);

    Window requestor = None;
    Atom property = None, target = None;
    int pieces = 0;
    long long sendAt = -1; /* when the next piece goes, once the requestor took the last one */
    const time_t end = time(NULL) + 60;
    while (time(NULL) < end) {
        if (sendAt >= 0 && now_ms() >= sendAt) {
            sendAt = -1;
            ++pieces;
            XChangeProperty(d, requestor, property, target, 8, PropModeReplace, (const unsigned char*)text,
                            (int)strlen(text));
            XFlush(d);
        }
        if (!XPending(d)) {
            struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
            long long wait = sendAt >= 0 ? sendAt - now_ms() : 200;
            poll(&p, 1, wait < 0 ? 0 : (int)wait);
            continue;
        }
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type == SelectionRequest) {
            XSelectionRequestEvent* req = &ev.xselectionrequest;
            requestor = req->requestor;
            property = req->property != None ? req->property : req->target;
            target = req->target;
            pieces = 0;
            sendAt = -1;
            XSelectInput(d, requestor, PropertyChangeMask);
            long size = 1L << 20; /* promises far more than it will ever send */
            XChangeProperty(d, requestor, property, incr, 32, PropModeReplace, (unsigned char*)&size, 1);
            XSelectionEvent reply;
            memset(&reply, 0, sizeof reply);
            reply.type = SelectionNotify;
            reply.requestor = requestor;
            reply.selection = req->selection;
            reply.target = req->target;
            reply.property = property;
            reply.time = req->time;
            XSendEvent(d, requestor, False, NoEventMask, (XEvent*)&reply);
            XFlush(d);
        } else if (ev.type == PropertyNotify && ev.xproperty.window == requestor &&
                   ev.xproperty.atom == property && ev.xproperty.state == PropertyDelete) {
            if (pieces == 0 || interval > 0) sendAt = now_ms() + (pieces == 0 ? 0 : interval);
        }
    }
    return 0;
}
