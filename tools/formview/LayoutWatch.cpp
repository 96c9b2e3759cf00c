#include "tools/formview/LayoutWatch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "lumivane/base/Exception.h"

using namespace lumivane;

namespace {

void Split(const std::string& path, std::string& dir, std::string& name) {
    size_t slash = path.rfind('/');
    dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Names(const inotify_event* e, const std::string& name) {
    return e->len > name.size() && std::strncmp(e->name, name.c_str(), e->len) == 0 && e->name[name.size()] == '\0';
}

}  // namespace

TLayoutWatch::TLayoutWatch(const std::string& path) {
    Split(path, FDir, FName);
    Split(FDir == "." || FDir == "/" ? FDir + "/." : FDir, FParent, FDirName);
    FFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (FFd < 0) throw Exception(std::string("cannot watch for saves: ") + std::strerror(errno));
    if (!WatchFolder()) {
        int e = errno;
        close(FFd);
        FFd = -1;
        throw Exception("cannot watch the folder " + FDir + ": " + std::strerror(e));
    }
}

TLayoutWatch::~TLayoutWatch() {
    if (FFd >= 0) close(FFd);
}

bool TLayoutWatch::WatchFolder() {
    FDirWatch = inotify_add_watch(FFd, FDir.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
    return FDirWatch >= 0;
}

int TLayoutWatch::TakeChanges() {
    int changes = None;
    bool folderCame = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        ssize_t n = read(FFd, buffer, sizeof buffer);
        if (n <= 0) break; // EAGAIN: all read
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            if (e->wd == FDirWatch && FDirWatch >= 0) {
                if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
                    // A folder moved away is not the one the path names any more.
                    if (!(e->mask & IN_IGNORED)) inotify_rm_watch(FFd, FDirWatch);
                    FDirWatch = -1;
                    changes |= FolderGone;
                } else if (Names(e, FName)) {
                    changes |= Saved;
                }
            } else if (e->wd == FParentWatch && (e->mask & IN_ISDIR) && Names(e, FDirName)) {
                folderCame = true;
            }
            at += ssize_t(sizeof(inotify_event)) + e->len;
        }
    }
    // The folder's own folder is watched only while the folder is gone (anything made in it
    // wakes the program); the folder may have come back before that watch began.
    if (FDirWatch < 0 && FParentWatch < 0)
        FParentWatch = inotify_add_watch(FFd, FParent.c_str(), IN_CREATE | IN_MOVED_TO | IN_ONLYDIR);
    if (FDirWatch < 0 && (folderCame || FParentWatch >= 0) && WatchFolder()) {
        changes = (changes & ~FolderGone) | FolderBack;
        if (FParentWatch >= 0) inotify_rm_watch(FFd, FParentWatch);
        FParentWatch = -1;
    }
    return changes;
}

HWND MakeWatchWindow(const char* className, WNDPROC proc) {
    WNDCLASS wc;
    if (!GetClassInfoA(className, &wc)) {
        wc = WNDCLASS{};
        wc.lpszClassName = className;
        wc.lpfnWndProc = proc;
        RegisterClassA(wc);
    }
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, className, "", WS_POPUP, 0, 0, 1, 1, nullptr, 0, nullptr);
}
