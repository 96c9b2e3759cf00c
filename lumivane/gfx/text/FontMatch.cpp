#include "lumivane/gfx/text/FontMatch.h"

#include <fontconfig/fontconfig.h>

#include "lumivane/gfx/text/FontMatchCache.h"
#include "lumivane/gfx/text/TextEncoding.h"

#include <cstdlib>
#include <mutex>
#include <vector>

namespace lumivane {

namespace {

// Fontconfig is loaded once for the process; a second load rescans every font directory.
FcConfig* Config() {
    static FcConfig* config = nullptr;
    static std::once_flag once;
    std::call_once(once, [] { config = FcInitLoadConfigAndFonts(); });
    return config;
}

// Answers of earlier runs: a window whose fonts were all asked for before starts without loading
// fontconfig at all.
std::mutex cacheLock;
FontMatchCache& Cache() {
    static FontMatchCache cache(FontMatchCache::DefaultPath());
    return cache;
}

void AddAll(std::vector<std::string>& out, FcStrList* list) {
    if (!list) return;
    while (FcChar8* s = FcStrListNext(list)) out.emplace_back(reinterpret_cast<const char*>(s));
    FcStrListDone(list);
}

// Everything fontconfig read, or would read if it existed, to give its answers: configuration
// files and folders (and the folders holding them, where a new file may appear), font folders,
// and the places of a user's own configuration.
const std::vector<std::string>& InputsOf(FcConfig* config) {
    static std::vector<std::string> inputs;
    static std::once_flag once;
    std::call_once(once, [config] {
        AddAll(inputs, FcConfigGetConfigFiles(config));
        const size_t files = inputs.size();
        for (size_t i = 0; i < files; ++i) {
            const size_t slash = inputs[i].rfind('/');
            if (slash != std::string::npos && slash > 0) inputs.push_back(inputs[i].substr(0, slash));
        }
        AddAll(inputs, FcConfigGetConfigDirs(config));
        AddAll(inputs, FcConfigGetFontDirs(config));
        const std::string config = FontMatchCache::UserDir("XDG_CONFIG_HOME", ".config");
        if (!config.empty()) inputs.push_back(config + "/fontconfig");
        const char* home = std::getenv("HOME");
        if (home && home[0] == '/') {
            inputs.push_back(std::string(home) + "/.fonts.conf");
            inputs.push_back(std::string(home) + "/.fonts.conf.d");
        }
    });
    return inputs;
}

// Steps over the next well-formed character of s from i, skipping stray bytes: sets cp and its
// length len (i is then just past it). False at the end of s.
bool NextChar(const std::string& s, size_t& i, char32_t& cp, int& len) {
    while (i < s.size()) {
        const size_t start = i;
        if (DecodeUtf8(s, i, cp)) {
            len = static_cast<int>(i - start);
            return true;
        }
        ++i;
    }
    return false;
}

FaceSource SourceOf(FcPattern* p, bool bold, bool italic) {
    FaceSource src;
    FcChar8* file = nullptr;
    if (FcPatternGetString(p, FC_FILE, 0, &file) == FcResultMatch && file)
        src.file = reinterpret_cast<const char*>(file);
    int index = 0;
    if (FcPatternGetInteger(p, FC_INDEX, 0, &index) == FcResultMatch) src.index = index;
    // The face's own style is judged from the face itself (fontconfig's synthetic-style rules,
    // present on desktops and absent from the pinned test set, rewrite the weight and slant).
    src.bold = bold;
    src.italic = italic;
    return src;
}

} // namespace

struct FontMatch::Sorted {
    FcFontSet* set = nullptr;
    ~Sorted() {
        if (set) FcFontSetDestroy(set);
    }
};

std::string FontMatch::SanitizeName(const std::string& name) {
    std::string out;
    char32_t cp = 0;
    int len = 0;
    for (size_t i = 0; NextChar(name, i, cp, len);)
        if (cp != 0) out.append(name, i - len, len);
    return out;
}

std::string FontMatch::LanguageOfName(const std::string& name) {
    std::string lang;
    char32_t cp = 0;
    int len = 0;
    for (size_t i = 0; NextChar(name, i, cp, len);) {
        if ((cp >= 0x3040 && cp <= 0x30FF) || (cp >= 0x31F0 && cp <= 0x31FF)) return "ja";
        if ((cp >= 0xAC00 && cp <= 0xD7AF) || (cp >= 0x1100 && cp <= 0x11FF)) return "ko";
        if ((cp >= 0x2E80 && cp <= 0x2FDF) || (cp >= 0x3000 && cp <= 0x303F) ||
            (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x4E00 && cp <= 0x9FFF) ||
            (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0x20000 && cp <= 0x2FA1F))
            lang = "zh-cn";
    }
    return lang;
}

namespace {

// The family fontconfig is asked for: the name fit for it, or its generic sans-serif.
std::string FamilyOf(const FontSpec& fontSpec) {
    std::string family = FontMatch::SanitizeName(fontSpec.name);
    return family.empty() ? "sans-serif" : family;
}

// The pattern asking for a FontSpec, substituted as fontconfig's own tools do. The caller
// destroys it. Not kept between calls: fontconfig links a pattern's values by offsets that leak
// checkers cannot follow.
FcPattern* Request(const FontSpec& fontSpec) {
    FcPattern* pat = FcPatternCreate();
    if (!pat) return nullptr;
    const std::string family = FamilyOf(fontSpec);
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    // A CJK family name is only useful to fontconfig with its language: without it "宋体" lands on
    // a Latin font that has no CJK glyphs at all.
    std::string lang = FontMatch::LanguageOfName(fontSpec.name);
    if (!lang.empty()) {
        FcLangSet* ls = FcLangSetCreate();
        FcLangSetAdd(ls, reinterpret_cast<const FcChar8*>(lang.c_str()));
        FcPatternAddLangSet(pat, FC_LANG, ls);
        FcLangSetDestroy(ls);
    }
    FcPatternAddInteger(pat, FC_WEIGHT, fontSpec.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, fontSpec.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(Config(), pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    return pat;
}

} // namespace

FontMatch::FontMatch(const FontSpec& fontSpec) : FSpec(fontSpec) {
    const std::string key = FontMatchCache::KeyOf(FamilyOf(fontSpec), LanguageOfName(fontSpec.name), fontSpec.bold, fontSpec.italic);
    {
        std::lock_guard<std::mutex> hold(cacheLock);
        if (auto hit = Cache().Find(key)) {
            FPrimary = FaceSource{hit->file, hit->index, fontSpec.bold, fontSpec.italic};
            return;
        }
    }
    FcConfig* config = Config();
    if (!config) return;
    FcPattern* pat = Request(fontSpec);
    if (!pat) return;
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(config, pat, &result)) {
        FaceSource src = SourceOf(match, fontSpec.bold, fontSpec.italic);
        if (!src.file.empty()) FPrimary = src;
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pat);
    if (!FPrimary) {
        // Any font at all is better than none.
        if (FcFontSet* any = FcConfigGetFonts(config, FcSetSystem)) {
            for (int i = 0; i < any->nfont && !FPrimary; ++i) {
                FaceSource src = SourceOf(any->fonts[i], fontSpec.bold, fontSpec.italic);
                if (!src.file.empty()) FPrimary = src;
            }
        }
    }
    if (FPrimary) {
        std::lock_guard<std::mutex> hold(cacheLock);
        Cache().Store(key, {FPrimary->file, FPrimary->index}, InputsOf(config));
    }
}

FontMatch::~FontMatch() = default;

std::string FontMatch::RememberedAnswers() {
    std::lock_guard<std::mutex> hold(cacheLock);
    return Cache().Fingerprint();
}

std::optional<FaceSource> FontMatch::FaceFor(char32_t cp) {
    if (!Config()) return std::nullopt;
    if (!FSorted) {
        FSorted = std::make_unique<Sorted>();
        if (FcPattern* pat = Request(FSpec)) {
            FcResult result = FcResultNoMatch;
            FSorted->set = FcFontSort(Config(), pat, FcTrue, nullptr, &result);
            FcPatternDestroy(pat);
        }
    }
    if (!FSorted->set) return std::nullopt;
    for (int i = 0; i < FSorted->set->nfont; ++i) {
        FcPattern* p = FSorted->set->fonts[i];
        FcCharSet* cs = nullptr;
        if (FcPatternGetCharSet(p, FC_CHARSET, 0, &cs) != FcResultMatch || !cs) continue;
        if (!FcCharSetHasChar(cs, cp)) continue;
        FaceSource src = SourceOf(p, FSpec.bold, FSpec.italic);
        if (!src.file.empty()) return src;
    }
    return std::nullopt;
}

}  // namespace lumivane
