/* xwatch: one measured run of a windowed program under an X server (made for Xvfb).
 *
 *   xwatch [options] -- COMMAND [ARGS...]
 *
 * It starts COMMAND (in its own process group), waits for a top-level window with the given
 * title to be mapped and then PAINTED (the background texture, or anything neither black nor
 * white, shows at every probe square, read back with XGetImage; polled every --poll-us and on
 * every X Damage event), lets it idle, then presses the close key (XTEST, to the focused window)
 * and times the exit. It prints ONE line of key=value pairs on stdout (times in ms from the exec;
 * the program's own stdout goes to stderr) and returns 0 if the run was clean (painted, closed by
 * the key, exit code 0, nothing left running), 1 otherwise. `xwatch --help` lists the options.
 *
 * Over 500 lines: one C file that the benchmark script builds with a single cc command beside any
 * program it measures, its steps (start, wait for the paint, idle, close, reap) read top to bottom.
 */
#define _GNU_SOURCE
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#define MAX_PROBES 16

/* ---------- options ---------- */
static const char *opt_title = "Renamed to Lumivane";
static const char *opt_texture = "stucco.bmp";
static const char *opt_mode = "tiled"; /* tiled | notblank */
static const char *opt_close_key = "Return";
static const char *opt_label = "run";
static int opt_tolerance = 8;
static int opt_probe_size = 4;
static int opt_scale = 1; /* the window is drawn at this many pixels per pixel of its 1x picture */
static long opt_poll_us = 250;
static long opt_timeout_ms = 20000, opt_settle_ms = 1000, opt_idle_ms = 10000, opt_close_timeout_ms = 5000;
static int opt_focus = 1;
static pid_t opt_server_pid = 0;
static int nprobes = 0;
static int probe_x[MAX_PROBES], probe_y[MAX_PROBES];

/* ---------- small helpers ---------- */
static int64_t now_ns(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000000000 + ts.tv_nsec;
}
static double ms(int64_t ns) { return ns / 1e6; }

static void die(const char *fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    fputs("xwatch: ", stderr);
    vfprintf(stderr, fmt, ap);
    fputc('\n', stderr);
    va_end(ap);
    exit(2);
}

static volatile pid_t child_pgid = 0;
static void kill_child_group(int sig) {
    if (child_pgid > 0) kill(-child_pgid, sig);
}
static void on_signal(int sig) {
    kill_child_group(SIGKILL);
    _exit(128 + sig);
}

/* ---------- texture ---------- */
static int tex_w, tex_h;
static unsigned char *tex; /* RGB, top-down */

static void load_bmp24(const char *path) {
    FILE *f = fopen(path, "rb");
    unsigned char hd[54];
    if (!f) die("cannot open texture %s: %s", path, strerror(errno));
    if (fread(hd, 1, 54, f) != 54 || hd[0] != 'B' || hd[1] != 'M' || hd[28] != 24 || hd[30] != 0)
        die("%s: not an uncompressed 24-bit BMP", path);
    uint32_t off = hd[10] | hd[11] << 8 | hd[12] << 16 | (uint32_t)hd[13] << 24;
    int32_t w = (int32_t)(hd[18] | hd[19] << 8 | hd[20] << 16 | (uint32_t)hd[21] << 24);
    int32_t h = (int32_t)(hd[22] | hd[23] << 8 | hd[24] << 16 | (uint32_t)hd[25] << 24);
    int top_down = h < 0;
    if (top_down) h = -h;
    if (w <= 0 || h <= 0 || w > 8192 || h > 8192) die("%s: bad size", path);
    int stride = (w * 3 + 3) & ~3;
    unsigned char *row = malloc(stride);
    tex = malloc((size_t)w * h * 3);
    if (fseek(f, off, SEEK_SET) != 0) die("%s: truncated", path);
    for (int y = 0; y < h; y++) {
        if (fread(row, 1, stride, f) != (size_t)stride) die("%s: truncated", path);
        unsigned char *dst = tex + (size_t)(top_down ? y : h - 1 - y) * w * 3;
        for (int x = 0; x < w; x++) {
            dst[x * 3] = row[x * 3 + 2];
            dst[x * 3 + 1] = row[x * 3 + 1];
            dst[x * 3 + 2] = row[x * 3];
        }
    }
    free(row);
    fclose(f);
    tex_w = w, tex_h = h;
}

static int close_to(const unsigned char *a, const unsigned char *b) {
    for (int c = 0; c < 3; c++)
        if (abs(a[c] - b[c]) > opt_tolerance) return 0;
    return 1;
}

/* Is rgb, read at window point (x,y), what a painted window shows there? */
static int pixel_is_painted(int x, int y, const unsigned char *rgb) {
    x /= opt_scale, y /= opt_scale;
    if (!strcmp(opt_mode, "tiled")) /* the texture tiled from the client origin */
        return close_to(rgb, tex + ((size_t)(y % tex_h) * tex_w + x % tex_w) * 3);
    /* notblank: neither black nor white */
    int lo = rgb[0] <= opt_tolerance && rgb[1] <= opt_tolerance && rgb[2] <= opt_tolerance;
    int hi = rgb[0] >= 255 - opt_tolerance && rgb[1] >= 255 - opt_tolerance && rgb[2] >= 255 - opt_tolerance;
    return !lo && !hi;
}

/* ---------- /proc ---------- */
typedef struct {
    int64_t run_ns;   /* on-CPU time, all live threads (schedstat, ns) */
    long ticks;       /* utime+stime of the process (clock ticks, includes exited threads) */
    long minflt;      /* page faults served without reading a file (the process) */
    long vcsw, nvcsw; /* context switches, all live threads */
    int threads;
} ProcSnap;

static int read_file(const char *path, char *buf, size_t n) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    ssize_t r = read(fd, buf, n - 1);
    close(fd);
    if (r < 0) return -1;
    buf[r] = 0;
    return (int)r;
}

static long status_field(const char *buf, const char *key) {
    const char *p = strstr(buf, key);
    return p ? strtol(p + strlen(key), NULL, 10) : -1;
}

static ProcSnap proc_snap(pid_t pid) {
    ProcSnap s = {0};
    char path[320], buf[4096];
    snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
    if (read_file(path, buf, sizeof buf) > 0) {
        char *p = strrchr(buf, ')');
        long v[16] = {0};
        for (int i = 0; p && i < 13; i++) { /* fields 3..15 */
            p = strchr(p + 1, ' ');
            if (p) v[i] = strtol(p + 1, NULL, 10);
        }
        s.ticks = v[11] + v[12];
        s.minflt = v[7];
    }
    snprintf(path, sizeof path, "/proc/%d/task", (int)pid);
    DIR *d = opendir(path);
    if (!d) return s;
    struct dirent *e;
    while ((e = readdir(d))) {
        if (e->d_name[0] == '.') continue;
        s.threads++;
        snprintf(path, sizeof path, "/proc/%d/task/%s/schedstat", (int)pid, e->d_name);
        if (read_file(path, buf, sizeof buf) > 0) s.run_ns += strtoll(buf, NULL, 10);
        snprintf(path, sizeof path, "/proc/%d/task/%s/status", (int)pid, e->d_name);
        if (read_file(path, buf, sizeof buf) > 0) {
            s.vcsw += status_field(buf, "\nvoluntary_ctxt_switches:");
            s.nvcsw += status_field(buf, "\nnonvoluntary_ctxt_switches:");
        }
    }
    closedir(d);
    return s;
}

typedef struct {
    long hwm_kb, rss_kb, pss_kb, uss_kb, dirty_kb;
    int libs;     /* distinct shared objects mapped (dlopen'ed ones included) */
    long libs_kb; /* their total file size */
} MemSnap;

static int cmp_str(const void *a, const void *b) { return strcmp(*(char *const *)a, *(char *const *)b); }

static void count_mapped_libs(pid_t pid, MemSnap *m) {
    char path[64], line[4096];
    snprintf(path, sizeof path, "/proc/%d/maps", (int)pid);
    FILE *f = fopen(path, "re");
    if (!f) return;
    char **names = NULL;
    size_t n = 0, cap = 0;
    while (fgets(line, sizeof line, f)) {
        char *name = strchr(line, '/');
        if (!name) continue;
        name[strcspn(name, "\n")] = 0;
        const char *base = strrchr(name, '/') + 1;
        if (!strstr(base, ".so")) continue;
        if (n == cap) names = realloc(names, (cap = cap ? 2 * cap : 64) * sizeof *names);
        names[n++] = strdup(name);
    }
    fclose(f);
    qsort(names, n, sizeof *names, cmp_str);
    m->libs = 0, m->libs_kb = 0;
    for (size_t i = 0; i < n; i++) {
        if (i == 0 || strcmp(names[i], names[i - 1])) {
            struct stat st;
            m->libs++;
            if (stat(names[i], &st) == 0) m->libs_kb += (long)(st.st_size / 1024);
        }
    }
    for (size_t i = 0; i < n; i++) free(names[i]);
    free(names);
}

static MemSnap mem_snap(pid_t pid) {
    MemSnap m = {-1, -1, -1, -1, -1, -1, -1};
    count_mapped_libs(pid, &m);
    char path[64], buf[8192];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    if (read_file(path, buf, sizeof buf) > 0) {
        m.hwm_kb = status_field(buf, "\nVmHWM:");
        m.rss_kb = status_field(buf, "\nVmRSS:");
    }
    snprintf(path, sizeof path, "/proc/%d/smaps_rollup", (int)pid);
    if (read_file(path, buf, sizeof buf) > 0) {
        m.pss_kb = status_field(buf, "\nPss:");
        long pc = status_field(buf, "\nPrivate_Clean:"), pd = status_field(buf, "\nPrivate_Dirty:");
        if (pc >= 0 && pd >= 0) m.uss_kb = pc + pd;
        m.dirty_kb = pd;
    }
    return m;
}

/* Processes still in the child's process group (after the child itself is reaped). */
static int count_group(pid_t pgid) {
    DIR *d = opendir("/proc");
    struct dirent *e;
    int n = 0;
    char path[300], buf[1024];
    if (!d) return 0;
    while ((e = readdir(d))) {
        if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
        snprintf(path, sizeof path, "/proc/%s/stat", e->d_name);
        if (read_file(path, buf, sizeof buf) <= 0) continue;
        char *p = strrchr(buf, ')');
        int pgrp = 0;
        if (p && sscanf(p + 2, "%*c %*d %d", &pgrp) == 1 && pgrp == pgid) n++;
    }
    closedir(d);
    return n;
}

/* ---------- X ---------- */
static Display *dpy;
static Window root, target = None;
static int x_error;
static Atom a_net_wm_name, a_utf8, a_net_wm_pid;
static int damage_event_base, damage_error_base;

static int on_x_error(Display *d, XErrorEvent *e) {
    (void)d;
    x_error = e->error_code;
    return 0;
}
static int on_x_io_error(Display *d) {
    (void)d;
    fprintf(stderr, "xwatch: lost the X server\n");
    kill_child_group(SIGKILL);
    _exit(3);
}

static int title_is(Window w) {
    int ok = 0;
    Atom type;
    int fmt;
    unsigned long n, after;
    unsigned char *data = NULL;
    if (XGetWindowProperty(dpy, w, a_net_wm_name, 0, 1024, False, a_utf8, &type, &fmt, &n, &after, &data) ==
            Success &&
        data) {
        ok = type == a_utf8 && n == strlen(opt_title) && !memcmp(data, opt_title, n);
        XFree(data);
        if (ok) return 1;
    }
    XTextProperty tp;
    if (XGetWMName(dpy, w, &tp) && tp.value) {
        ok = tp.nitems == strlen(opt_title) && !memcmp(tp.value, opt_title, tp.nitems);
        XFree(tp.value);
    }
    return ok;
}

static long window_pid(Window w) {
    Atom type;
    int fmt;
    unsigned long n, after;
    unsigned char *data = NULL;
    long pid = -1;
    if (XGetWindowProperty(dpy, w, a_net_wm_pid, 0, 1, False, XA_CARDINAL, &type, &fmt, &n, &after, &data) ==
            Success &&
        data) {
        if (type == XA_CARDINAL && fmt == 32 && n == 1) pid = (long)*(unsigned long *)data;
        XFree(data);
    }
    return pid;
}

static void consider(Window w) {
    if (target == None && title_is(w)) target = w;
}

static void scan_tree(void) {
    Window r, p, *kids = NULL;
    unsigned n = 0;
    if (!XQueryTree(dpy, root, &r, &p, &kids, &n)) return;
    for (unsigned i = 0; i < n && target == None; i++) consider(kids[i]);
    if (kids) XFree(kids);
}

static int is_viewable(Window w) {
    XWindowAttributes a;
    x_error = 0;
    return XGetWindowAttributes(dpy, w, &a) && !x_error && a.map_state == IsViewable;
}

/* Reads the probe-size square at (x,y) and says whether every pixel of it is painted;
 * a square, not a pixel, so a texture at the wrong tiling phase cannot pass by chance.
 * rgb gets the first pixel (for diagnostics). Returns -1 if it could not be read. */
static int probe_painted(Window w, int x, int y, Visual *vis, unsigned char *rgb) {
    x_error = 0;
    XImage *im = XGetImage(dpy, w, x, y, opt_probe_size, opt_probe_size, AllPlanes, ZPixmap);
    if (!im) return -1;
    unsigned long masks[3] = {vis->red_mask, vis->green_mask, vis->blue_mask};
    int shifts[3];
    for (int c = 0; c < 3; c++) {
        shifts[c] = 0;
        while (masks[c] && !(masks[c] >> shifts[c] & 1)) shifts[c]++;
    }
    int ok = 1;
    for (int j = 0; j < opt_probe_size && ok; j++)
        for (int i = 0; i < opt_probe_size && ok; i++) {
            unsigned long p = XGetPixel(im, i, j);
            unsigned char px[3];
            for (int c = 0; c < 3; c++) {
                unsigned long m = masks[c] >> shifts[c];
                px[c] = (unsigned char)(m ? ((p >> shifts[c]) & m) * 255 / m : 0);
            }
            if (i == 0 && j == 0) memcpy(rgb, px, 3);
            ok = pixel_is_painted(x + i, y + j, px);
        }
    XDestroyImage(im);
    return ok;
}

/* ---------- event pump ---------- */
typedef struct {
    long count;      /* Damage notifications seen */
    int64_t last_ns; /* when the last one arrived */
} DamageLog;
static DamageLog dmg;
static Damage damage = None;
static int mapped_now = 0;   /* a MapNotify for target arrived since last check */
static int target_gone = 0;  /* target was destroyed (e.g. SDL recreating it for OpenGL) */
static int target_unmapped = 0;

static void handle_event(XEvent *e) {
    if (e->type == damage_event_base + XDamageNotify) {
        dmg.count++;
        dmg.last_ns = now_ns();
        XDamageSubtract(dpy, ((XDamageNotifyEvent *)e)->damage, None, None);
        return;
    }
    switch (e->type) {
    case CreateNotify:
        if (e->xcreatewindow.parent == root && target == None) {
            XSelectInput(dpy, e->xcreatewindow.window, PropertyChangeMask | StructureNotifyMask);
            consider(e->xcreatewindow.window); /* after selecting: no rename can slip by */
        }
        break;
    case PropertyNotify:
        if (e->xproperty.atom == XA_WM_NAME || e->xproperty.atom == a_net_wm_name) consider(e->xproperty.window);
        break;
    case MapNotify:
        consider(e->xmap.window);
        if (e->xmap.window == target) mapped_now = 1;
        break;
    case UnmapNotify:
        if (e->xunmap.window == target) target_unmapped = 1;
        break;
    case DestroyNotify:
        if (e->xdestroywindow.window == target) target_gone = 1;
        break;
    default:
        break;
    }
}

static void pump(void) {
    while (XPending(dpy)) {
        XEvent e;
        XNextEvent(dpy, &e);
        handle_event(&e);
    }
}

/* Waits until the X connection or the child's pidfd is readable, or timeout_ns passed.
 * Returns 1 if the child has exited (pidfd readable). */
static int wait_io(int pidfd, pid_t pid, int64_t timeout_ns) {
    if (timeout_ns < 0) timeout_ns = 0;
    struct pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {pidfd, POLLIN, 0}};
    struct timespec ts = {timeout_ns / 1000000000, timeout_ns % 1000000000};
    int n = ppoll(fds, pidfd >= 0 ? 2 : 1, &ts, NULL);
    if (pidfd >= 0) return n > 0 && (fds[1].revents & POLLIN);
    siginfo_t si = {0};
    return waitid(P_PID, pid, &si, WEXITED | WNOHANG | WNOWAIT) == 0 && si.si_pid == pid;
}

/* Handles X events until the child exits (returns 1) or the clock reaches limit_ns (returns 0). */
static int wait_exit(int pidfd, pid_t pid, int64_t limit_ns) {
    while (now_ns() < limit_ns) {
        if (wait_io(pidfd, pid, limit_ns - now_ns())) return 1;
        pump();
    }
    return 0;
}

static void usage(void) {
    fputs("usage: xwatch [options] -- COMMAND [ARGS...]\n"
          "  --title STR          window title to wait for [Renamed to Lumivane]\n"
          "  --texture FILE.bmp   24-bit BMP expected at the probe points [stucco.bmp]\n"
          "  --probe X,Y          top-left of a probe square, window coordinates (repeat;\n"
          "                       default 4 spots of bare background: 4,4 470,60 240,315 60,180)\n"
          "  --mode M             tiled: texture tiled from the window origin (default);\n"
          "                       notblank: neither black nor white\n"
          "  --probe-size N       each probe checks an NxN square [4]\n"
          "  --scale N            the window shows its 1x picture at N times the size: probe\n"
          "                       places are multiplied by N, the texture is looked up at x/N [1]\n"
          "  --tolerance N        per-channel colour tolerance [8]\n"
          "  --poll-us N          pixel poll period once mapped, besides DAMAGE events [250];\n"
          "                       0: only on DAMAGE events (least intrusive)\n"
          "  --timeout-ms N       give up on the first paint after N ms [20000]\n"
          "  --settle-ms N        wait after the first paint before the idle window [1000]\n"
          "  --idle-ms N          idle window length [10000]\n"
          "  --close-key KEYSYM   key that must close the program [Return]\n"
          "  --close-timeout-ms N [5000]; then it is sent WM_DELETE_WINDOW, and SIGTERM 2 s later\n"
          "  --no-focus           do not give the window the input focus when it maps\n"
          "  --server-pid PID     X server process, to account its CPU time\n"
          "  --label NAME         echoed as label= in the output\n",
          stderr);
    exit(2);
}

int main(int argc, char **argv) {
    int i;
    for (i = 1; i < argc; i++) {
        const char *a = argv[i];
        if (!strcmp(a, "--")) {
            i++;
            break;
        }
        if (!strcmp(a, "--help") || !strcmp(a, "-h")) usage();
        if (!strcmp(a, "--no-focus")) {
            opt_focus = 0;
            continue;
        }
        if (i + 1 >= argc) usage();
        const char *v = argv[++i];
        if (!strcmp(a, "--title")) opt_title = v;
        else if (!strcmp(a, "--texture")) opt_texture = v;
        else if (!strcmp(a, "--mode")) opt_mode = v;
        else if (!strcmp(a, "--close-key")) opt_close_key = v;
        else if (!strcmp(a, "--label")) opt_label = v;
        else if (!strcmp(a, "--tolerance")) opt_tolerance = atoi(v);
        else if (!strcmp(a, "--probe-size")) opt_probe_size = atoi(v);
        else if (!strcmp(a, "--scale")) opt_scale = atoi(v);
        else if (!strcmp(a, "--poll-us")) opt_poll_us = atol(v);
        else if (!strcmp(a, "--timeout-ms")) opt_timeout_ms = atol(v);
        else if (!strcmp(a, "--settle-ms")) opt_settle_ms = atol(v);
        else if (!strcmp(a, "--idle-ms")) opt_idle_ms = atol(v);
        else if (!strcmp(a, "--close-timeout-ms")) opt_close_timeout_ms = atol(v);
        else if (!strcmp(a, "--server-pid")) opt_server_pid = (pid_t)atol(v);
        else if (!strcmp(a, "--probe")) {
            if (nprobes == MAX_PROBES || sscanf(v, "%d,%d", &probe_x[nprobes], &probe_y[nprobes]) != 2 ||
                probe_x[nprobes] < 0 || probe_y[nprobes] < 0)
                die("bad --probe %s", v);
            nprobes++;
        } else
            usage();
    }
    if (i >= argc) usage();
    char **cmd = argv + i;
    if (strcmp(opt_mode, "tiled") && strcmp(opt_mode, "notblank"))
        die("bad --mode %s", opt_mode);
    if (nprobes == 0) {
        static const int dx[] = {4, 470, 240, 60}, dy[] = {4, 60, 315, 180};
        for (; nprobes < 4; nprobes++) probe_x[nprobes] = dx[nprobes], probe_y[nprobes] = dy[nprobes];
    }
    if (opt_probe_size < 1 || opt_probe_size > 64) die("bad --probe-size %d", opt_probe_size);
    if (opt_scale < 1 || opt_scale > 4) die("bad --scale %d", opt_scale);
    for (int k = 0; k < nprobes; k++) probe_x[k] *= opt_scale, probe_y[k] *= opt_scale;
    if (opt_tolerance < 0 || opt_tolerance > 255) die("bad --tolerance %d", opt_tolerance);
    if (strcmp(opt_mode, "notblank")) load_bmp24(opt_texture);

    if (!(dpy = XOpenDisplay(NULL))) die("cannot open display %s", getenv("DISPLAY") ? getenv("DISPLAY") : "(unset)");
    XSetErrorHandler(on_x_error);
    XSetIOErrorHandler(on_x_io_error);
    fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC);
    root = DefaultRootWindow(dpy);
    a_net_wm_name = XInternAtom(dpy, "_NET_WM_NAME", False);
    a_utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    a_net_wm_pid = XInternAtom(dpy, "_NET_WM_PID", False);
    int xt_ev, xt_err, xt_major, xt_minor;
    if (!XDamageQueryExtension(dpy, &damage_event_base, &damage_error_base)) die("X server lacks DAMAGE");
    if (!XTestQueryExtension(dpy, &xt_ev, &xt_err, &xt_major, &xt_minor)) die("X server lacks XTEST");
    KeyCode close_code = XKeysymToKeycode(dpy, XStringToKeysym(opt_close_key));
    if (!close_code) die("no keycode for %s", opt_close_key);

    /* The title must not be taken already, or we would watch the wrong window. */
    scan_tree();
    if (target != None) die("a window titled \"%s\" already exists on this display", opt_title);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    /* Pointer into the far corner: away from any window that maps at the origin. */
    int sw = DisplayWidth(dpy, DefaultScreen(dpy)), sh = DisplayHeight(dpy, DefaultScreen(dpy));
    XWarpPointer(dpy, None, root, 0, 0, 0, 0, sw - 1, sh - 1);
    XSync(dpy, False);

    struct sigaction sa = {0};
    sa.sa_handler = on_signal;
    sigaction(SIGINT, &sa, NULL);
    sigaction(SIGTERM, &sa, NULL);
    sigaction(SIGHUP, &sa, NULL);

    ProcSnap xs0 = opt_server_pid ? proc_snap(opt_server_pid) : (ProcSnap){0};
    int pfd[2];
    if (pipe2(pfd, O_CLOEXEC) != 0) die("pipe: %s", strerror(errno));
    pid_t pid = fork();
    if (pid < 0) die("fork: %s", strerror(errno));
    if (pid == 0) {
        setpgid(0, 0);
        signal(SIGINT, SIG_DFL), signal(SIGTERM, SIG_DFL), signal(SIGHUP, SIG_DFL);
        dup2(2, 1); /* the program's output goes to stderr: stdout carries only the result line */
        int64_t t = now_ns();
        if (write(pfd[1], &t, sizeof t) != sizeof t) _exit(127);
        execvp(cmd[0], cmd);
        int err = errno;
        if (write(pfd[1], &err, sizeof err) != sizeof err) _exit(127);
        _exit(127);
    }
    setpgid(pid, pid); /* both sides set it: no race with a kill below */
    child_pgid = pid;
    close(pfd[1]);
    int64_t t0 = 0;
    int err = 0;
    if (read(pfd[0], &t0, sizeof t0) != sizeof t0) die("lost the child before exec");
    if (read(pfd[0], &err, sizeof err) == sizeof err) {
        waitpid(pid, NULL, 0);
        die("cannot run %s: %s", cmd[0], strerror(err));
    }
    close(pfd[0]);
    int pidfd = (int)syscall(SYS_pidfd_open, pid, 0);
    if (pidfd >= 0) fcntl(pidfd, F_SETFD, FD_CLOEXEC);

    const char *status = "ok";
    int64_t t_map = 0, t_paint = 0, t_key = 0, t_exit = 0;
    long polls = 0, win_pid = -1, windows_lost = 0;
    int exited = 0;
    Visual *vis = NULL;
    int64_t next_scan = now_ns() + 10 * 1000000LL;
    int64_t deadline = t0 + opt_timeout_ms * 1000000LL;

    /* ---- phase 1: until mapped and painted ---- */
    for (;;) {
        pump();
        if (target_gone) { /* look for its successor */
            target = None, damage = None, t_map = 0, mapped_now = 0, target_gone = target_unmapped = 0;
            windows_lost++;
            scan_tree();
        }
        if (target_unmapped) t_map = 0, target_unmapped = 0;
        int64_t t = now_ns();
        if (target == None && t >= next_scan) { /* belt and braces besides CreateNotify */
            scan_tree();
            next_scan = t + 10 * 1000000LL;
        }
        if (target != None && !t_map && (mapped_now || is_viewable(target))) {
            if (!is_viewable(target)) { /* MapNotify of a window already unmapped again */
                mapped_now = 0;
                continue;
            }
            t_map = mapped_now ? t : now_ns();
            XWindowAttributes wa;
            XGetWindowAttributes(dpy, target, &wa);
            vis = wa.visual;
            if (damage == None) damage = XDamageCreate(dpy, target, XDamageReportNonEmpty);
            if (opt_focus) XSetInputFocus(dpy, target, RevertToPointerRoot, CurrentTime);
            int wx, wy;
            Window ch;
            XTranslateCoordinates(dpy, target, root, 0, 0, &wx, &wy, &ch);
            Window rr, cr;
            int px, py, cx, cy;
            unsigned mask;
            XQueryPointer(dpy, root, &rr, &cr, &px, &py, &cx, &cy, &mask);
            if (px >= wx && px < wx + wa.width && py >= wy && py < wy + wa.height) /* keep it outside */
                XWarpPointer(dpy, None, root, 0, 0, 0, 0, wx > 0 ? 0 : sw - 1, wy > 0 ? 0 : sh - 1);
            for (int k = 0; k < nprobes; k++)
                if (probe_x[k] + opt_probe_size > wa.width || probe_y[k] + opt_probe_size > wa.height)
                    fprintf(stderr, "xwatch: probe %d,%d lies outside the %dx%d window\n", probe_x[k], probe_y[k],
                            wa.width, wa.height);
            win_pid = window_pid(target);
            XSync(dpy, False);
        }
        if (t_map) {
            int all = 1;
            polls++;
            for (int k = 0; k < nprobes && all; k++) {
                unsigned char rgb[3];
                all = probe_painted(target, probe_x[k], probe_y[k], vis, rgb) == 1;
            }
            if (all) {
                t_paint = now_ns();
                break;
            }
        }
        t = now_ns();
        if (t >= deadline) {
            status = t_map ? "no_paint" : "no_window";
            break;
        }
        /* Mapped: poll every --poll-us (0: only on DAMAGE events, 5 ms fallback). */
        int64_t wait = t_map && opt_poll_us > 0 ? opt_poll_us * 1000 : 5 * 1000000LL;
        if (target == None && next_scan - t < wait) wait = next_scan - t;
        if (deadline - t < wait) wait = deadline - t;
        if (wait_io(pidfd, pid, wait)) {
            exited = 1;
            status = "exited_early";
            break;
        }
    }
    if (!t_paint && t_map) { /* say what the probes saw */
        for (int k = 0; k < nprobes; k++) {
            unsigned char rgb[3] = {0, 0, 0};
            int ok = probe_painted(target, probe_x[k], probe_y[k], vis, rgb);
            fprintf(stderr, "xwatch: probe %d,%d: %s, first pixel #%02x%02x%02x\n", probe_x[k], probe_y[k],
                    ok < 0 ? "unreadable" : ok ? "painted" : "not painted", rgb[0], rgb[1], rgb[2]);
        }
    }

    ProcSnap at_paint = {0}, idle0 = {0}, idle1 = {0}, xs_paint = {0}, xs_idle0 = {0}, xs_idle1 = {0};
    MemSnap mem = {-1, -1, -1, -1, -1, -1, -1};
    long settle_damage = 0, idle_damage = 0;
    int64_t last_damage_ns = 0;
    if (t_paint) {
        at_paint = proc_snap(pid);
        if (opt_server_pid) xs_paint = proc_snap(opt_server_pid);
        long d0 = dmg.count;
        /* ---- phase 2: settle, then idle ---- */
        int64_t idle_start = t_paint + opt_settle_ms * 1000000LL;
        while (!exited && now_ns() < idle_start) {
            pump();
            if (wait_io(pidfd, pid, idle_start - now_ns())) exited = 1;
        }
        pump();
        settle_damage = dmg.count - d0;
        last_damage_ns = dmg.last_ns;
        if (!exited) {
            idle0 = proc_snap(pid);
            if (opt_server_pid) xs_idle0 = proc_snap(opt_server_pid);
            long d1 = dmg.count;
            int64_t idle_end = now_ns() + opt_idle_ms * 1000000LL;
            while (!exited && now_ns() < idle_end) {
                pump();
                if (wait_io(pidfd, pid, idle_end - now_ns())) exited = 1;
            }
            pump();
            idle_damage = dmg.count - d1;
            if (!exited) {
                idle1 = proc_snap(pid);
                if (opt_server_pid) xs_idle1 = proc_snap(opt_server_pid);
                mem = mem_snap(pid);
            }
        }
        if (exited) status = "exited_early";
    }

    /* ---- phase 3: close with the key ---- */
    if (!exited && target != None && is_viewable(target)) {
        if (damage != None) XDamageDestroy(dpy, damage), damage = None;
        Window focus;
        int revert;
        XGetInputFocus(dpy, &focus, &revert);
        if (focus != target && opt_focus) XSetInputFocus(dpy, target, RevertToPointerRoot, CurrentTime);
        XSync(dpy, False);
        t_key = now_ns();
        XTestFakeKeyEvent(dpy, close_code, True, CurrentTime);
        XTestFakeKeyEvent(dpy, close_code, False, CurrentTime);
        XFlush(dpy);
        exited = wait_exit(pidfd, pid, t_key + opt_close_timeout_ms * 1000000LL);
        t_exit = now_ns();
        if (!exited) status = "close_timeout";
    }
    if (!exited && !t_key && !strcmp(status, "ok")) status = "window_gone";
    if (!exited && target != None && is_viewable(target)) {
        /* A window that Return does not close is closed as a window manager's close button
           would, so that it ends as it does for a user (and keeps what it keeps at exit). */
        XEvent ev = {0};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = target;
        ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = (long)XInternAtom(dpy, "WM_DELETE_WINDOW", False);
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy, target, False, NoEventMask, &ev);
        XFlush(dpy);
        exited = wait_exit(pidfd, pid, now_ns() + 2000 * 1000000LL);
    }
    if (!exited) { /* it did not go by itself: end it */
        kill_child_group(SIGTERM);
        for (int k = 0; k < 100 && !wait_io(pidfd, pid, 10 * 1000000LL); k++) {
        }
        kill_child_group(SIGKILL);
    }
    int wstatus = 0;
    struct rusage ru = {0};
    wait4(pid, &wstatus, 0, &ru);
    int leftover = count_group(pid);
    if (leftover) {
        fprintf(stderr, "xwatch: %d process(es) of the program's group outlived it; killing them\n", leftover);
        kill_child_group(SIGKILL);
    }
    int exit_code = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    if (!strcmp(status, "ok") && exit_code != 0) status = "bad_exit";
    if (!strcmp(status, "ok") && leftover) status = "leftover";
    if (win_pid > 0 && win_pid != pid)
        fprintf(stderr, "xwatch: the window's _NET_WM_PID is %ld, not the started process %d: "
                        "CPU and memory figures are those of the started process\n", win_pid, (int)pid);

    long hz = sysconf(_SC_CLK_TCK);
    printf("label=%s status=%s exit=%d map_ms=%.3f paint_ms=%.3f", opt_label, status, exit_code,
           t_map ? ms(t_map - t0) : -1.0, t_paint ? ms(t_paint - t0) : -1.0);
    printf(" last_damage_ms=%.3f settle_damage=%ld polls=%ld windows_lost=%ld",
           last_damage_ns ? ms(last_damage_ns - t0) : -1.0, settle_damage, polls, windows_lost);
    printf(" startup_minflt=%ld", t_paint ? at_paint.minflt : -1);
    printf(" startup_cpu_ms=%.3f startup_xcpu_ms=%.3f", t_paint ? ms(at_paint.run_ns) : -1.0,
           t_paint && opt_server_pid ? ms(xs_paint.run_ns - xs0.run_ns) : -1.0);
    int idle_ok = idle1.threads > 0;
    printf(" idle_cpu_ms=%.3f idle_tick_ms=%.0f idle_vcsw=%ld idle_nvcsw=%ld idle_damage=%ld idle_xcpu_ms=%.3f",
           idle_ok ? ms(idle1.run_ns - idle0.run_ns) : -1.0,
           idle_ok ? (idle1.ticks - idle0.ticks) * 1000.0 / hz : -1.0, idle_ok ? idle1.vcsw - idle0.vcsw : -1,
           idle_ok ? idle1.nvcsw - idle0.nvcsw : -1, idle_ok ? idle_damage : -1,
           idle_ok && opt_server_pid ? ms(xs_idle1.run_ns - xs_idle0.run_ns) : -1.0);
    printf(" threads=%d hwm_kb=%ld rss_kb=%ld pss_kb=%ld uss_kb=%ld dirty_kb=%ld mapped_libs=%d mapped_libs_kb=%ld",
           idle_ok ? idle1.threads : -1, mem.hwm_kb, mem.rss_kb, mem.pss_kb, mem.uss_kb, mem.dirty_kb, mem.libs,
           mem.libs_kb);
    printf(" close_ms=%.3f total_cpu_ms=%.3f maxrss_kb=%ld leftover=%d\n", t_key && exited && strcmp(status, "close_timeout") ? ms(t_exit - t_key) : -1.0,
           (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3,
           ru.ru_maxrss, leftover);
    fflush(stdout);
    XCloseDisplay(dpy);
    return strcmp(status, "ok") ? 1 : 0;
}
