#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace lumivane {

// The files we keep between runs (drawn glyphs, fontconfig's answers): small, ours alone, and
// never seen half written by another run.
//
// They live in one folder: the one the program set (SetCacheFolder), else $LUMIVANE_CACHE ("off"
// keeps nothing; an absolute path is the folder itself), else $XDG_CACHE_HOME/lumivane, else
// ~/.cache/lumivane. The folder is used only when it is the user's own and nobody else may write
// to it. A file there is opened only when it is a regular file, never through a link and never
// waiting (a FIFO put in its place is refused); it is written under a fresh name made exclusively
// and renamed over. After each write the folder is trimmed (TrimCacheFolder).

// The folder in use; "" when caching is off or there is no place for it.
std::string CacheFolder();
// The program's own choice, made before the first font is asked for: a folder, or "" to keep
// nothing at all (no file read or written). Overrides $LUMIVANE_CACHE.
void SetCacheFolder(const std::string& folder);

// The whole file; nullopt when it cannot be read safely or is larger than maxSize.
std::optional<std::string> ReadCacheFile(const std::string& path, size_t maxSize);
// Writes bytes aside and renames them over path, making its folders first (mode 0700), then trims
// the folder; false on failure.
bool WriteCacheFile(const std::string& path, std::string_view bytes);

// What the folder may hold: our files not written for kMaxAgeDays are removed, then the oldest
// until they take at most kMaxFolderBytes together; temporaries of writes cut short are removed
// after kStaleTemporarySeconds. Files that are not ours are left alone. keep is never removed.
struct CacheBounds {
    static constexpr long long kMaxFolderBytes = 32ll << 20;
    static constexpr int kMaxAgeDays = 30;
    static constexpr int kStaleTemporarySeconds = 60;
};
void TrimCacheFolder(const std::string& folder, std::string_view keep, std::time_t now);

// A short fingerprint of text, for file names.
uint64_t Fnv1a(std::string_view text);

}  // namespace lumivane
