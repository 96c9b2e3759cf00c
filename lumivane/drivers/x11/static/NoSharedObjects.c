/* Compiled into each statically linked program that opens windows.
 *
 * Such a program loads no shared object. The only code in it that would is Xlib's cursor
 * creation, which tries to load libXcursor for themed cursors; that library would bring a second
 * Xlib and a second C library into the process, working on the same display connection with its
 * own heap. Here the attempt fails, as it does on a system without libXcursor, and Xlib makes the
 * X server's own cursor shapes. The C library's internal loading (name services, character set
 * converters) does not come through these functions. */
#include <stddef.h>

void* dlopen(const char* file, int mode) {
    (void)file;
    (void)mode;
    return NULL;
}

void* dlsym(void* handle, const char* name) {
    (void)handle;
    (void)name;
    return NULL;
}

int dlclose(void* handle) {
    (void)handle;
    return 0;
}

char* dlerror(void) {
    static char message[] = "this program loads no shared objects";
    return message;
}
