#include "lumivane/gfx/text/Font.h"

#include <cstdlib>
#include <map>
#include <tuple>

#include "lumivane/gfx/text/FontFace.h"
#include "lumivane/gfx/text/FontMatch.h"
#include "lumivane/gfx/text/GlyphCache.h"
#include "lumivane/gfx/text/TextPainter.h"

namespace lumivane {

namespace {

using SpecKey = std::tuple<std::string, int, bool, bool, bool, bool>;

// Fonts are never freed: handles stay valid for the process, and a FontSpec is resolved once.
std::map<SpecKey, Font*>& Registry() {
    static auto* fonts = new std::map<SpecKey, Font*>;
    return *fonts;
}

const Font& Resolve(HFONT font) { return font ? *font : *GetDefaultFont(); }

} // namespace

HFONT GetFont(const FontSpec& fontSpec) {
    SpecKey key{fontSpec.name,   fontSpec.height,    fontSpec.bold,
                fontSpec.italic, fontSpec.underline, fontSpec.strikeOut};
    auto& reg = Registry();
    auto it = reg.find(key);
    if (it != reg.end()) return it->second;
    Font* f = new Font(fontSpec);
    reg.emplace(key, f);
    // After the first font, so that the font answers it read are still there at exit.
    static const bool keepAtExit = std::atexit(KeepDrawnGlyphs) == 0;
    (void)keepAtExit;
    return f;
}

const Font& Font::AtScale(int n) const {
    if (n <= 1 || n >= static_cast<int>(FAtScale.size())) return *this;
    if (!FAtScale[static_cast<size_t>(n)]) {
        FontSpec big = FSpec;
        big.height = FSpec.height * n; // a cell height or (negative) an em height alike
        FAtScale[static_cast<size_t>(n)] = GetFont(big);
    }
    return *FAtScale[static_cast<size_t>(n)];
}

HFONT GetDefaultFont() {
    static HFONT font = GetFont(FontSpec{});
    return font;
}

const FontSpec& GetFontSpec(HFONT font) { return Resolve(font).Requested(); }

TextMetrics GetFontMetrics(HFONT font) { return Resolve(font).Metrics(); }

int TextWidth(HFONT font, const std::string& text) { return Resolve(font).Width(text); }

TSize GetTextExtent(HDC dc, const std::string& text) {
    const Font& f = Resolve(dc ? dc->font : nullptr);
    return TSize{f.Width(text), f.Metrics().height};
}

void TextOutA(HDC dc, int x, int y, const char* text, int len) {
    if (!dc || !text || len <= 0) return;
    PaintTextLine(*dc, Resolve(dc->font), x, y, std::string_view(text, static_cast<size_t>(len)));
}

// A run that drew nothing new writes nothing.
void KeepDrawnGlyphs() {
    bool drewNew = false;
    for (const auto& [key, font] : Registry()) drewNew = drewNew || font->DrewNew();
    if (!drewNew) return;
    GlyphCache& cache = GlyphCache::ForProcess();
    for (const auto& [key, font] : Registry()) {
        if (font->HasFace()) cache.Put(font->Requested(), font->Drawn());
        font->MarkKept();
    }
    cache.Save(FontMatch::RememberedAnswers());
}

}  // namespace lumivane
