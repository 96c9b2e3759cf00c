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
// megabytes. Anything larger is not ours, and is neither read nor written.
constexpr size_t kMaxFileSize = 8u << 20;
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
    size_t At() const { return FAt; }
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

// With keep false the glyph is checked and passed over, nothing kept.
bool ReadGlyph(Reader& r, Glyph& g, bool keep = true) {
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
    if (keep) g.coverage.assign(bytes.begin(), bytes.end());
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

namespace {

// One font's record after its key. Without glyphs, the glyphs are checked and passed over: what
// a record costs before its font is asked for is its bytes in the file.
bool ReadFont(Reader& r, DrawnFont& f, bool glyphs) {
    f.faceFile = r.Str();
    const uint32_t index = r.U32();
    if (index > INT_MAX) return false;
    f.faceIndex = static_cast<int>(index);
    ReadMetrics(r, f);
    const uint32_t flags = r.U32();
    if (flags > 1) return false;
    f.syntheticBold = flags == 1;
    for (uint32_t n = r.U32(); r.Ok() && n > 0; --n) {
        std::string path = r.Str();
        f.faces[std::move(path)] = r.Str();
    }
    Glyph skipped;
    for (uint32_t n = r.U32(); r.Ok() && n > 0; --n) {
        const uint32_t cp = r.U32();
        if (cp > 0x10FFFF) return false;
        if (!ReadGlyph(r, glyphs ? f.glyphs[cp] : skipped, glyphs)) return false;
    }
    return r.Ok();
}

struct Index {
    std::string code, fontAnswers;
    // Each font's record, its faces read, its glyphs not yet.
    std::map<std::string, std::pair<DrawnFont, std::string_view>> fonts;
};

std::optional<Index> ReadIndex(std::string_view bytes) {
    if (bytes.substr(0, kHeader.size()) != kHeader) return std::nullopt;
    const std::string_view body = bytes.substr(kHeader.size());
    Reader r(body);
    Index x;
    x.code = r.Str();
    x.fontAnswers = r.Str();
    for (uint32_t fonts = r.U32(); r.Ok() && fonts > 0; --fonts) {
        std::string key = r.Str();
        const size_t from = r.At();
        DrawnFont f;
        if (!ReadFont(r, f, false)) return std::nullopt;
        x.fonts[std::move(key)] = {std::move(f), body.substr(from, r.At() - from)};
    }
    if (!r.Ok() || !r.AtEnd()) return std::nullopt;
    return x;
}

std::optional<DrawnFont> ReadRecord(std::string_view record) {
    Reader r(record);
    DrawnFont f;
    if (!ReadFont(r, f, true) || !r.AtEnd()) return std::nullopt;
    return f;
}

void WriteFont(Writer& w, const DrawnFont& f) {
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

// The file: the fonts drawn (or taken) in this run, and those read and never asked for, as read.
std::string FormatFile(const GlyphCache::Contents& c, const std::map<std::string, std::string_view>& unread) {
    Writer w;
    w.Out().append(kHeader);
    w.Str(c.code);
    w.Str(c.fontAnswers);
    size_t count = c.fonts.size();
    for (const auto& [key, record] : unread) count += c.fonts.count(key) ? 0 : 1;
    w.U32(static_cast<uint32_t>(count));
    auto drawn = c.fonts.begin();
    auto read = unread.begin();
    // In key order, as Parse reads them back.
    while (drawn != c.fonts.end() || read != unread.end()) {
        if (read == unread.end() || (drawn != c.fonts.end() && drawn->first <= read->first)) {
            if (read != unread.end() && read->first == drawn->first) ++read;
            w.Str(drawn->first);
            WriteFont(w, drawn->second);
            ++drawn;
        } else {
            w.Str(read->first);
            w.Out().append(read->second);
            ++read;
        }
    }
    return std::move(w.Out());
}

} // namespace

std::optional<GlyphCache::Contents> GlyphCache::Parse(std::string_view bytes) {
    auto index = ReadIndex(bytes);
    if (!index) return std::nullopt;
    Contents c;
    c.code = std::move(index->code);
    c.fontAnswers = std::move(index->fontAnswers);
    for (const auto& [key, font] : index->fonts) {
        auto f = ReadRecord(font.second);
        if (!f) return std::nullopt;
        c.fonts[key] = std::move(*f);
    }
    return c;
}

std::string GlyphCache::Format(const Contents& c) { return FormatFile(c, {}); }

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
    const std::string dir = CacheFolder();
    if (dir.empty()) return "";
    // Each program keeps its own: another one, or another build of this one, draws with other code.
    std::string joined;
    for (const auto& v : FontMatchCache::CurrentContext()) joined += v + '\n';
    char exe[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe);
    if (n > 0) joined.append(exe, static_cast<size_t>(n));
    char name[40];
    std::snprintf(name, sizeof name, "/glyphs-%016llx", static_cast<unsigned long long>(Fnv1a(joined)));
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
    auto bytes = ReadCacheFile(FPath, kMaxFileSize);
    if (!bytes) return;
    FBytes = std::move(*bytes);
    auto read = ReadIndex(FBytes);
    if (!read || read->code != FContents.code || read->fontAnswers != FContents.fontAnswers) return;
    // A record holds while every face its glyphs came from is as it was.
    std::map<std::string, std::string> now;
    for (const auto& [key, font] : read->fonts) {
        const DrawnFont& f = font.first;
        bool holds = true;
        for (const auto& [file, state] : f.faces) {
            auto it = now.find(file);
            if (it == now.end()) it = now.emplace(file, FontMatchCache::StateOf(file)).first;
            holds = holds && it->second == state;
        }
        if (holds && f.faces.count(f.faceFile)) FUnread.emplace(key, font.second);
    }
}

std::optional<DrawnFont> GlyphCache::Take(const FontSpec& fontSpec, const std::string& faceFile, int faceIndex) {
    const std::string key = KeyOf(fontSpec);
    std::optional<DrawnFont> r;
    if (auto it = FContents.fonts.find(key); it != FContents.fonts.end()) {
        r = std::move(it->second);
        FContents.fonts.erase(it);
    } else if (auto raw = FUnread.find(key); raw != FUnread.end()) {
        // Its glyphs are read now that its font is asked for.
        r = ReadRecord(raw->second);
        FUnread.erase(raw);
    }
    if (!r) return std::nullopt;
    if (r->faceFile != faceFile || r->faceIndex != faceIndex) {
        FContents.fonts[key] = std::move(*r);
        return std::nullopt;
    }
    return r;
}

void GlyphCache::Put(const FontSpec& fontSpec, DrawnFont record) { FContents.fonts[KeyOf(fontSpec)] = std::move(record); }

bool GlyphCache::Save(const std::string& fontAnswers) {
    if (FPath.empty() || fontAnswers.empty()) return false;
    FContents.fontAnswers = fontAnswers;
    const std::string bytes = FormatFile(FContents, FUnread);
    return bytes.size() <= kMaxFileSize && WriteCacheFile(FPath, bytes);
}

}  // namespace lumivane
