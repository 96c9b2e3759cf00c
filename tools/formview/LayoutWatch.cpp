#include "tools/formview/LayoutWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "lumivane/base/Exception.h"

using namespace lumivane;

TLayoutWatch::TLayoutWatch(const std::string& path) {
    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    FName = slash == std::string::npos ? path : path.substr(slash + 1);
    FFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (FFd < 0) throw Exception(std::string("cannot watch for saves: ") + std::strerror(errno));
    if (inotify_add_watch(FFd, dir.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO) < 0) {
        int e = errno;
        close(FFd);
        FFd = -1;
        throw Exception("cannot watch the folder " + dir + ": " + std::strerror(e));
    }
}

TLayoutWatch::~TLayoutWatch() {
    if (FFd >= 0) close(FFd);
}

bool TLayoutWatch::TakeChanges() {
    bool changed = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        ssize_t n = read(FFd, buffer, sizeof buffer);
        if (n <= 0) break; // EAGAIN: all read
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            if (e->len > 0 && std::strncmp(e->name, FName.c_str(), e->len) == 0 && FName.size() < e->len &&
                e->name[FName.size()] == '\0')
                changed = true;
            at += ssize_t(sizeof(inotify_event)) + e->len;
        }
    }
    return changed;
}
