/* xclose WINDOW_ID: asks a window to close the way a window manager does, by sending it
 * WM_PROTOCOLS / WM_DELETE_WINDOW. Without a window manager (Xvfb) nothing else does.
 * The id may be decimal or hexadecimal (0x...). Exit status 0 when the message was sent. */
#include <X11/Xlib.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failed;

static int on_error(Display* d, XErrorEvent* e) {
    char text[160];
    XGetErrorText(d, e->error_code, text, sizeof text);
    fprintf(stderr, "xclose: %s\n", text);
    failed = 1;
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: xclose WINDOW_ID\n");
        return 2;
    }
    char* end = NULL;
    errno = 0;
    unsigned long id = strtoul(argv[1], &end, 0);
    if (errno || !end || *end || id == 0) {
        fprintf(stderr, "xclose: not a window id: %s\n", argv[1]);
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "xclose: cannot open display\n");
        return 1;
    }
    XSetErrorHandler(on_error);
    XEvent ev;
    memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = (Window)id;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, (Window)id, False, NoEventMask, &ev);
    XSync(d, False);
    XCloseDisplay(d);
    return failed ? 1 : 0;
}
