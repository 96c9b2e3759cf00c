#include "lumivane/gfx/text/GlyphCache.h"

#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <set>

#include "lumivane/gfx/text/CacheFile.h"
#include "lumivane/gfx/text/FontMatch.h"
#include "lumivane/gfx/text/FontMatchCache.h"

namespace lumivane {

namespace {

constexpr std::string_view kHeader = "lumivane glyphs 1\n";
// A window's few fonts take tens of kilobytes; a program that draws whole scripts, a few
// megabytes. Anything larger is not ours.
constexpr size_t kMaxFileSize = 64u << 20;
constexpr uint32_t kMaxString = 4096;
// Metrics and glyph placement of any real font at any size we draw stay well inside this.
constexpr int32_t kMaxMetric = 1 << 16;
constexpr uint32_t kMaxGlyphSide = 1 << 13;

// Little-endian fields, strings as a length and their bytes.
class Writer {
public:
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) FOut.push_back(static_cast<char>(v >> (8 * i)));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Str(std::string_view s) {
        U32(static_cast<uint32_t>(s.size()));
        FOut.append(s);
    }
    std::string& Out() { return FOut; }

private:
    std::string FOut;
};

// Reads what Writer wrote; after the first field that is not there or out of range every read
// gives zero and Ok() is false.
class Reader {
public:
    explicit Reader(std::string_view in) : FIn(in) {}
    bool Ok() const { return FOk; }
    bool AtEnd() const { return FAt == FIn.size(); }
    uint32_t U32() {
        if (!FOk || FIn.size() - FAt < 4) return Fail();
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(FIn[FAt + i])) << (8 * i);
        FAt += 4;
        return v;
    }
    int32_t Metric() {
        const auto v = static_cast<int32_t>(U32());
        if (v >= -kMaxMetric && v <= kMaxMetric) return v;
        Fail();
        return 0;
    }
    std::string_view Bytes(size_t n) {
        if (!FOk || FIn.size() - FAt < n) {
            Fail();
            return {};
        }
        const std::string_view s = FIn.substr(FAt, n);
        FAt += n;
        return s;
    }
    std::string Str() {
        const uint32_t n = U32();
        if (n <= kMaxString) return std::string(Bytes(n));
        Fail();
        return {};
    }
    uint32_t Fail() {
        FOk = false;
        return 0;
    }

private:
    std::string_view FIn;
    size_t FAt = 0;
    bool FOk = true;
};

void WriteMetrics(Writer& w, const DrawnFont& r) {
    const TextMetrics& m = r.metrics;
    for (int v : {m.height, m.ascent, m.descent, m.internalLeading, m.aveCharWidth, r.underlineTop,
                  r.underlineThickness, r.strikeTop, r.strikeThickness})
        w.I32(v);
}

void ReadMetrics(Reader& r, DrawnFont& f) {
    TextMetrics& m = f.metrics;
    for (int* v : {&m.height, &m.ascent, &m.descent, &m.internalLeading, &m.aveCharWidth, &f.underlineTop,
                   &f.underlineThickness, &f.strikeTop, &f.strikeThickness})
        *v = r.Metric();
}

bool ReadGlyph(Reader& r, Glyph& g) {
    g.left = r.Metric();
    g.top = r.Metric();
    g.advance = r.Metric();
    const uint32_t w = r.U32(), h = r.U32();
    if (w > kMaxGlyphSide || h > kMaxGlyphSide) {
        r.Fail();
        return false;
    }
    g.width = static_cast<int>(w);
    g.height = static_cast<int>(h);
    const std::string_view bytes = r.Bytes(size_t{w} * h);
    g.coverage.assign(bytes.begin(), bytes.end());
    return r.Ok();
}

int AddLoadedObject(dl_phdr_info* info, size_t, void* out) {
    // The program itself has no name here; it is stamped through /proc/self/exe.
    if (info->dlpi_name && info->dlpi_name[0] == '/') {
        auto& id = *static_cast<std::string*>(out);
        id.append(info->dlpi_name).append(" ").append(FontMatchCache::StateOf(info->dlpi_name)).append("\n");
    }
    return 0;
}

} // namespace

std::optional<GlyphCache::Contents> GlyphCache::Parse(std::string_view bytes) {
    if (bytes.substr(0, kHeader.size()) != kHeader) return std::nullopt;
    Reader r(bytes.substr(kHeader.size()));
    Contents c;
    c.code = r.Str();
    c.fontAnswers = r.Str();
    for (uint32_t fonts = r.U32(); r.Ok() && fonts > 0; --fonts) {
        const std::string key = r.Str();
        DrawnFont f;
        f.faceFile = r.Str();
        const uint32_t index = r.U32();
        if (index > INT_MAX) return std::nullopt;
        f.faceIndex = static_cast<int>(index);
        ReadMetrics(r, f);
        const uint32_t flags = r.U32();
        if (flags > 1) return std::nullopt;
        f.syntheticBold = flags == 1;
        for (uint32_t n = r.U32(); r.Ok() && n > 0; --n) {
            std::string path = r.Str();
            f.faces[std::move(path)] = r.Str();
        }
        for (uint32_t n = r.U32(); r.Ok() && n > 0; --n) {
            const uint32_t cp = r.U32();
            if (cp > 0x10FFFF) return std::nullopt;
            if (!ReadGlyph(r, f.glyphs[cp])) return std::nullopt;
        }
        if (!r.Ok()) return std::nullopt;
        c.fonts[key] = std::move(f);
    }
    if (!r.Ok() || !r.AtEnd()) return std::nullopt;
    return c;
}

std::string GlyphCache::Format(const Contents& c) {
    Writer w;
    w.Out().append(kHeader);
    w.Str(c.code);
    w.Str(c.fontAnswers);
    w.U32(static_cast<uint32_t>(c.fonts.size()));
    for (const auto& [key, f] : c.fonts) {
        w.Str(key);
        w.Str(f.faceFile);
        w.U32(static_cast<uint32_t>(f.faceIndex));
        WriteMetrics(w, f);
        w.U32(f.syntheticBold ? 1 : 0);
        w.U32(static_cast<uint32_t>(f.faces.size()));
        for (const auto& [path, state] : f.faces) {
            w.Str(path);
            w.Str(state);
        }
        w.U32(static_cast<uint32_t>(f.glyphs.size()));
        for (const auto& [cp, g] : f.glyphs) {
            w.U32(cp);
            w.I32(g.left);
            w.I32(g.top);
            w.I32(g.advance);
            w.U32(static_cast<uint32_t>(g.width));
            w.U32(static_cast<uint32_t>(g.height));
            w.Out().append(g.coverage.begin(), g.coverage.end());
        }
    }
    return std::move(w.Out());
}

GlyphCache& GlyphCache::ForProcess() {
    static auto* cache = new GlyphCache(DefaultPath(), CodeIdentity(), FontMatch::RememberedAnswers());
    return *cache;
}

std::string GlyphCache::CodeIdentity() {
    std::string id = "exe " + FontMatchCache::StateOf("/proc/self/exe") + "\n";
    dl_iterate_phdr(AddLoadedObject, &id);
    return id;
}

std::string GlyphCache::DefaultPath() {
    const std::string dir = FontMatchCache::UserDir("XDG_CACHE_HOME", ".cache");
    if (dir.empty()) return "";
    // Each program keeps its own: another one, or another build of this one, draws with other code.
    std::string joined;
    for (const auto& v : FontMatchCache::CurrentContext()) joined += v + '\n';
    char exe[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe);
    if (n > 0) joined.append(exe, static_cast<size_t>(n));
    char name[40];
    std::snprintf(name, sizeof name, "/lumivane/glyphs-%016llx", static_cast<unsigned long long>(Fnv1a(joined)));
    return dir + name;
}

std::string GlyphCache::KeyOf(const FontSpec& s) {
    return std::to_string(s.height) + (s.bold ? 'b' : '-') + (s.italic ? 'i' : '-') + (s.underline ? 'u' : '-') +
           (s.strikeOut ? 's' : '-') + '/' + s.name;
}

GlyphCache::GlyphCache(std::string path, std::string code, std::string fontAnswers) : FPath(std::move(path)) {
    FContents.code = std::move(code);
    FContents.fontAnswers = std::move(fontAnswers);
    if (FPath.empty() || FContents.fontAnswers.empty()) return;
    const auto bytes = ReadCacheFile(FPath, kMaxFileSize);
    if (!bytes) return;
    auto read = Parse(*bytes);
    if (!read || read->code != FContents.code || read->fontAnswers != FContents.fontAnswers) return;
    // A record holds while every face its glyphs came from is as it was.
    std::map<std::string, std::string> now;
    for (auto& [key, f] : read->fonts) {
        bool holds = true;
        for (const auto& [file, state] : f.faces) {
            auto it = now.find(file);
            if (it == now.end()) it = now.emplace(file, FontMatchCache::StateOf(file)).first;
            holds = holds && it->second == state;
        }
        if (holds && f.faces.count(f.faceFile)) FContents.fonts.emplace(key, std::move(f));
    }
}

std::optional<DrawnFont> GlyphCache::Take(const FontSpec& fontSpec, const std::string& faceFile, int faceIndex) {
    auto it = FContents.fonts.find(KeyOf(fontSpec));
    if (it == FContents.fonts.end() || it->second.faceFile != faceFile || it->second.faceIndex != faceIndex)
        return std::nullopt;
    DrawnFont r = std::move(it->second);
    FContents.fonts.erase(it);
    return r;
}

void GlyphCache::Put(const FontSpec& fontSpec, DrawnFont record) { FContents.fonts[KeyOf(fontSpec)] = std::move(record); }

bool GlyphCache::Save(const std::string& fontAnswers) {
    if (FPath.empty() || fontAnswers.empty()) return false;
    FContents.fontAnswers = fontAnswers;
    return WriteCacheFile(FPath, Format(FContents));
}

}  // namespace lumivane
