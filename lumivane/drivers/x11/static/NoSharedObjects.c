/* Compiled into each statically linked program that opens windows.
 *
 * Such a program loads one shared object at most: libsystemd, for the accessibility bus, and only
 * when a bus is there (see lumivane/accessibility/SdBus.h). It comes with a C library of its own
 * that knows it is not the first and keeps its heap apart; nothing allocated on one side is freed
 * on the other (the bridge frees sd-bus's objects through sd-bus).
 *
 * Everything else is refused. The only other code that would load a library is Xlib's cursor
 * creation, which tries libXcursor for themed cursors: that library would bring a second Xlib
 * working on the same display connection. Here the attempt fails, as it does on a system without
 * libXcursor, and Xlib makes the X server's own cursor shapes. The C library's internal loading
 * (name services, character set converters) does not come through these functions.
 *
 * The C library's own entry points are reached under their internal names, of which dlopen,
 * dlsym, dlclose and dlerror are weak aliases in its static archive. */
#include <stddef.h>
#include <string.h>

void* ___dlopen(const char* file, int mode);
void* ___dlsym(void* handle, const char* name);
int __dlclose(void* handle);
char* __dlerror(void);

static const char kAllowed[] = "libsystemd.so.0";
/* A refusal is reported by dlerror as a failed load would be, once. */
static int refused;

void* dlopen(const char* file, int mode) {
    refused = !file || strcmp(file, kAllowed) != 0;
    return refused ? NULL : ___dlopen(file, mode);
}

void* dlsym(void* handle, const char* name) { return handle ? ___dlsym(handle, name) : NULL; }

int dlclose(void* handle) { return handle ? __dlclose(handle) : 0; }

char* dlerror(void) {
    static char message[] = "this program loads no shared objects but libsystemd";
    if (!refused) return __dlerror();
    refused = 0;
    return message;
}
