#include "lumivane/gfx/text/FontMatchCache.h"

#include "lumivane/gfx/text/CacheFile.h"

#include <sys/stat.h>

#include <errno.h> // program_invocation_short_name
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace lumivane {

namespace {

constexpr std::string_view kHeader = "lumivane font matches 1";
// A real file holds a few hundred lines; anything far larger is not ours.
constexpr size_t kMaxFileSize = 1 << 20;

// Fields are tab-separated, one record a line: a field may hold neither.
bool Storable(std::string_view s) { return s.find_first_of("\t\n") == std::string_view::npos; }

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        out.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return out;
        start = tab + 1;
    }
}

std::optional<int> ParseIndex(std::string_view s) {
    if (s.empty() || s.size() > 10) return std::nullopt;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > INT_MAX) return std::nullopt;
    return static_cast<int>(v);
}

} // namespace

std::optional<FontMatchCache::Contents> FontMatchCache::Parse(std::string_view text) {
    if (text.empty() || text.back() != '\n') return std::nullopt;
    text.remove_suffix(1);
    Contents c;
    bool first = true;
    size_t start = 0;
    for (;;) {
        const size_t nl = text.find('\n', start);
        const std::string_view line = text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
        if (first) {
            if (line != kHeader) return std::nullopt;
            first = false;
        } else {
            const auto f = Fields(line);
            if (f[0] == "context" && f.size() == 2) {
                c.context.emplace_back(f[1]);
            } else if (f[0] == "stamp" && f.size() == 3 && !f[1].empty() && !f[2].empty()) {
                c.stamps[std::string(f[2])] = std::string(f[1]);
            } else if (f[0] == "answer" && f.size() == 4 && !f[2].empty() && !f[3].empty()) {
                const auto index = ParseIndex(f[1]);
                if (!index) return std::nullopt;
                c.answers[std::string(f[2])] = Entry{std::string(f[3]), *index};
            } else {
                return std::nullopt;
            }
        }
        if (nl == std::string_view::npos) return c;
        start = nl + 1;
    }
}

std::string FontMatchCache::Format(const Contents& c) {
    std::string out(kHeader);
    out += '\n';
    for (const auto& v : c.context) out += "context\t" + v + '\n';
    for (const auto& [path, state] : c.stamps) out += "stamp\t" + state + '\t' + path + '\n';
    for (const auto& [key, e] : c.answers) out += "answer\t" + std::to_string(e.index) + '\t' + key + '\t' + e.file + '\n';
    return out;
}

std::string FontMatchCache::StateOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "-";
    char buf[96];
    std::snprintf(buf, sizeof buf, "%lld.%09ld:%lld:%llu", static_cast<long long>(st.st_mtim.tv_sec),
                  static_cast<long>(st.st_mtim.tv_nsec), static_cast<long long>(st.st_size),
                  static_cast<unsigned long long>(st.st_ino));
    return buf;
}

std::vector<std::string> FontMatchCache::CurrentContext() {
    // fontconfig's own variables, the locale that picks its default language, and the homes its
    // configuration expands.
    static const char* const kNames[] = {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT",
                                         "FC_LANG", "LC_ALL", "LC_CTYPE", "LANG", "HOME",
                                         "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"};
    std::vector<std::string> out;
    for (const char* name : kNames) {
        std::string entry = name;
        if (const char* v = std::getenv(name)) entry.append("=").append(v);
        out.push_back(std::move(entry));
    }
    // fontconfig's configuration may choose by program name; each program keeps its own answers.
    out.push_back(std::string("prgname=") + program_invocation_short_name);
    return out;
}

std::string FontMatchCache::UserDir(const char* xdgVariable, const char* underHome) {
    if (const char* xdg = std::getenv(xdgVariable); xdg && xdg[0] == '/') return xdg;
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') return std::string(home) + "/" + underHome;
    return "";
}

std::string FontMatchCache::DefaultPath() {
    const std::string dir = CacheFolder();
    if (dir.empty()) return "";
    std::string joined;
    for (const auto& v : CurrentContext()) joined += v + '\n';
    char name[40];
    std::snprintf(name, sizeof name, "/font-matches-%016llx", static_cast<unsigned long long>(Fnv1a(joined)));
    return dir + name;
}

std::string FontMatchCache::KeyOf(const std::string& family, const std::string& lang, bool bold, bool italic) {
    // The family goes last: it is the only part that may hold a '/'.
    return lang + '/' + (bold ? 'b' : '-') + (italic ? 'i' : '-') + '/' + family;
}

FontMatchCache::FontMatchCache(std::string path) : FPath(std::move(path)) {
    if (FPath.empty()) return;
    const auto text = ReadCacheFile(FPath, kMaxFileSize);
    if (!text) return;
    auto contents = Parse(*text);
    if (!contents || contents->context != CurrentContext()) return;
    for (const auto& [p, state] : contents->stamps)
        if (StateOf(p) != state) return;
    FContents = std::move(*contents);
    FValid = true;
}

std::optional<FontMatchCache::Entry> FontMatchCache::Find(const std::string& key) const {
    if (!FValid) return std::nullopt;
    auto it = FContents.answers.find(key);
    if (it == FContents.answers.end()) return std::nullopt;
    return it->second;
}

void FontMatchCache::Store(const std::string& key, const Entry& answer, const std::vector<std::string>& inputs) {
    if (FPath.empty() || key.empty() || answer.file.empty() || !Storable(key) || !Storable(answer.file)) return;
    for (const auto& p : inputs)
        if (p.empty() || !Storable(p)) return;
    Contents next;
    next.context = CurrentContext();
    for (const auto& v : next.context)
        if (!Storable(v)) return;
    // Earlier answers stay when they were given under these very inputs.
    bool keep = FValid;
    for (const auto& p : inputs) {
        const std::string state = StateOf(p);
        if (keep) {
            auto it = FContents.stamps.find(p);
            keep = it != FContents.stamps.end() && it->second == state;
        }
        next.stamps[p] = state;
    }
    if (keep) {
        next.stamps.insert(FContents.stamps.begin(), FContents.stamps.end());
        next.answers = FContents.answers;
    }
    next.stamps[answer.file] = StateOf(answer.file);
    next.answers[key] = answer;
    FContents = std::move(next);
    FValid = true;
    Write();
}

bool FontMatchCache::Write() const { return WriteCacheFile(FPath, Format(FContents)); }

std::string FontMatchCache::Fingerprint() const {
    if (!FValid) return "";
    Contents inputs = FContents;
    inputs.answers.clear(); // each answer is checked on its own by whoever uses it
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(Fnv1a(Format(inputs))));
    return hex;
}

}  // namespace lumivane
