#include "lumivane/gfx/text/CacheFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace lumivane {

namespace {

// The program's choice (SetCacheFolder), when it made one.
struct FolderChoice {
    bool made = false;
    std::string folder;
};
FolderChoice& Choice() {
    static FolderChoice choice;
    return choice;
}

bool MakeDirs(const std::string& dir) {
    for (size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        const std::string part = dir.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

// The folder, open, when it is a real folder (not a link to one) of this user that nobody else
// may write to; -1 otherwise. Everything after goes through this descriptor, so the folder cannot
// be swapped for another one between the check and the use.
int OpenFolder(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool SplitPath(const std::string& path, std::string& dir, std::string& name) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0 || slash + 1 == path.size()) return false;
    dir = path.substr(0, slash);
    name = path.substr(slash + 1);
    return true;
}

bool IsOurs(std::string_view name) {
    return name.starts_with("glyphs-") || name.starts_with("font-matches-");
}

bool IsTemporary(std::string_view name) { return name.ends_with(".tmp"); }

void Trim(int dirFd, std::string_view keep, std::time_t now) {
    const int scanFd = ::dup(dirFd);
    if (scanFd < 0) return;
    DIR* d = ::fdopendir(scanFd);
    if (!d) {
        ::close(scanFd);
        return;
    }
    struct Kept {
        std::string name;
        std::time_t mtime;
        long long size;
    };
    std::vector<Kept> files;
    long long total = 0;
    const std::time_t oldest = now - std::time_t{CacheBounds::kMaxAgeDays} * 86400;
    while (dirent* e = ::readdir(d)) {
        const std::string_view name = e->d_name;
        if (!IsOurs(name) || name == keep) continue;
        struct stat st {};
        if (::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        const bool stale = IsTemporary(name) ? st.st_mtime < now - CacheBounds::kStaleTemporarySeconds
                                             : st.st_mtime < oldest;
        if (stale || !S_ISREG(st.st_mode)) {
            ::unlinkat(dirFd, e->d_name, 0);
        } else if (!IsTemporary(name)) {
            files.push_back({std::string(name), st.st_mtime, static_cast<long long>(st.st_size)});
            total += st.st_size;
        }
    }
    ::closedir(d);
    if (!keep.empty()) {
        struct stat st {};
        const std::string k(keep);
        if (::fstatat(dirFd, k.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) total += st.st_size;
    }
    // Over the bound: the files not written for longest go first.
    std::sort(files.begin(), files.end(), [](const Kept& a, const Kept& b) { return a.mtime < b.mtime; });
    for (const Kept& f : files) {
        if (total <= CacheBounds::kMaxFolderBytes) break;
        if (::unlinkat(dirFd, f.name.c_str(), 0) == 0) total -= f.size;
    }
}

} // namespace

void SetCacheFolder(const std::string& folder) {
    Choice().made = true;
    Choice().folder = folder;
}

std::string CacheFolder() {
    const FolderChoice& c = Choice();
    if (c.made) return c.folder.empty() || c.folder[0] != '/' ? "" : c.folder;
    if (const char* v = std::getenv("LUMIVANE_CACHE"); v && v[0]) {
        // Only "off" or an absolute folder: anything else keeps nothing rather than guessing.
        return v[0] == '/' ? v : "";
    }
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && xdg[0] == '/') return std::string(xdg) + "/lumivane";
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') return std::string(home) + "/.cache/lumivane";
    return "";
}

std::optional<std::string> ReadCacheFile(const std::string& path, size_t maxSize) {
    std::string dir, name;
    if (!SplitPath(path, dir, name)) return std::nullopt;
    const int dirFd = OpenFolder(dir);
    if (dirFd < 0) return std::nullopt;
    const int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    ::close(dirFd);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<unsigned long long>(st.st_size) > maxSize) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buf, static_cast<size_t>(n));
        // It grew while being read: not the file we measured.
        if (bytes.size() > maxSize) {
            ::close(fd);
            return std::nullopt;
        }
    }
    ::close(fd);
    return bytes;
}

bool WriteCacheFile(const std::string& path, std::string_view bytes) {
    std::string dir, name;
    if (!SplitPath(path, dir, name) || !MakeDirs(dir)) return false;
    const int dirFd = OpenFolder(dir);
    if (dirFd < 0) return false;
    // A name nobody else holds, made exclusively: nothing planted there is followed or reused.
    std::string tmp;
    int fd = -1;
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    for (unsigned attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, ".%d.%lx.tmp", static_cast<int>(::getpid()),
                      static_cast<unsigned long>(t.tv_nsec + attempt * 7919ul));
        tmp = name + suffix;
        fd = ::openat(dirFd, tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        ::close(dirFd);
        return false;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool ok = ::close(fd) == 0 && done == bytes.size() && ::renameat(dirFd, tmp.c_str(), dirFd, name.c_str()) == 0;
    if (!ok) ::unlinkat(dirFd, tmp.c_str(), 0);
    if (ok) Trim(dirFd, name, std::time(nullptr));
    ::close(dirFd);
    return ok;
}

void TrimCacheFolder(const std::string& folder, std::string_view keep, std::time_t now) {
    const int dirFd = OpenFolder(folder);
    if (dirFd < 0) return;
    Trim(dirFd, keep, now);
    ::close(dirFd);
}

uint64_t Fnv1a(std::string_view text) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : text) h = (h ^ c) * 0x100000001b3ull;
    return h;
}

}  // namespace lumivane
