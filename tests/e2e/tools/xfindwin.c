/* xfindwin TITLE: prints the id (decimal) of each window whose _NET_WM_NAME or WM_NAME equals
 * TITLE, looking below window-manager frames too. Exit status 1 when there is none. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <string.h>

static int title_is(Display* d, Window w, Atom prop, Atom type, const char* title) {
    Atom actual = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = NULL;
    int match = 0;
    if (XGetWindowProperty(d, w, prop, 0, 4096, False, type, &actual, &format, &n, &after, &data) ==
            Success && data) {
        match = format == 8 && actual == type && n == strlen(title) && memcmp(data, title, n) == 0;
        XFree(data);
    }
    return match;
}

static int on_error(Display* d, XErrorEvent* e) {
    (void)d; (void)e; /* windows come and go while we look */
    return 0;
}

static int search(Display* d, Window w, Atom netName, Atom utf8, const char* title, int depth) {
    int found = 0;
    if (title_is(d, w, netName, utf8, title) || title_is(d, w, XA_WM_NAME, XA_STRING, title)) {
        printf("%lu\n", (unsigned long)w);
        found = 1;
    }
    Window root = 0, parent = 0, *kids = NULL;
    unsigned n = 0;
    if (depth < 4 && XQueryTree(d, w, &root, &parent, &kids, &n)) {
        for (unsigned i = 0; i < n; ++i) found |= search(d, kids[i], netName, utf8, title, depth + 1);
    }
    if (kids) XFree(kids);
    return found;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: xfindwin TITLE\n");
        return 2;
    }
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "xfindwin: cannot open display\n");
        return 2;
    }
    XSetErrorHandler(on_error);
    Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    int found = search(d, DefaultRootWindow(d), netName, utf8, argv[1], 0);
    XCloseDisplay(d);
    return found ? 0 : 1;
}
