#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "lumivane/gfx/text/Font.h"

namespace lumivane {

class FontMatch;
struct FaceSource;

// One rendered glyph: greyscale coverage (0..255, row-major, width x height) placed relative to
// the pen position on the baseline, and the whole-pixel advance.
struct Glyph {
    int left = 0;   // columns from the pen to the bitmap's first column
    int top = 0;    // rows from the baseline up to the bitmap's first row
    int width = 0;
    int height = 0;
    int advance = 0;
    std::vector<uint8_t> coverage;
    friend bool operator==(const Glyph&, const Glyph&) = default;
};

// What a font has drawn, to be kept between runs: its metrics and glyphs by code point, and the
// face files they came from with their state then (see FontMatchCache::StateOf).
struct DrawnFont {
    std::string faceFile;
    int faceIndex = 0;
    TextMetrics metrics;
    int underlineTop = 0, underlineThickness = 1, strikeTop = 0, strikeThickness = 1;
    bool syntheticBold = false;
    std::map<std::string, std::string> faces;
    std::map<char32_t, Glyph> glyphs;
    friend bool operator==(const DrawnFont&, const DrawnFont&) = default;
};

// The object behind an HFONT: the faces fontconfig chose for a FontSpec at its pixel size, the
// integer metrics and the cache of rendered glyphs. Created once per FontSpec (see GetFont).
class Font {
public:
    // Bounds the pixel size so that a wild height cannot drive huge glyph bitmaps.
    static constexpr int kMaxPixelHeight = 1000;

    // Takes what an earlier run drew for fontSpec, when it still holds, from the process's glyph
    // cache (see GlyphCache); otherwise opens the faces at once.
    explicit Font(const FontSpec& fontSpec);
    // A font that starts from what was drawn before, opening faces only for glyphs it lacks.
    Font(const FontSpec& fontSpec, DrawnFont drawn);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const FontSpec& Requested() const { return FSpec; }
    const TextMetrics& Metrics() const { return FMetrics; }
    // False when no font could be opened at all: such a font measures 0 and draws nothing.
    bool HasFace() const;
    // The file of the face used for most glyphs ("" without a face).
    const std::string& FaceFile() const;
    bool SyntheticBold() const;
    // Whether FreeType faces are open: not while every glyph asked for was drawn before.
    bool FacesOpen() const { return FOpened; }
    // What it has drawn so far, and whether that is more than it started with.
    DrawnFont Drawn() const;
    bool DrewNew() const { return FDrewNew; }
    void MarkKept() const { FDrewNew = false; }

    // The glyph of a character, from the face that has it (see FontMatch::FaceFor); control
    // characters and the invisible format characters have none and take no room.
    const Glyph& GlyphOf(char32_t cp) const {
        if (cp < FByCode.size()) {
            if (const Glyph* g = FByCode[cp]) return *g;
            return *(FByCode[cp] = &GlyphFor(cp));
        }
        return GlyphBeyondLatin1(cp);
    }
    const Glyph& GlyphFor(char32_t cp) const; // as GlyphOf, without the Latin-1 table
    // Sum of the advances of UTF-8 text (bad bytes as U+FFFD).
    int Width(std::string_view text) const;

    // The same font at n (1 to 4) times its size: what a context of scale n draws glyphs with, so
    // that scaled text is rendered sharp rather than blown up. The advances stay this font's.
    const Font& AtScale(int n) const;

    // Lines drawn with the text, as rows relative to the top of the cell.
    int UnderlineTop() const { return FUnderlineTop; }
    int UnderlineThickness() const { return FUnderlineThickness; }
    int StrikeOutTop() const { return FStrikeTop; }
    int StrikeOutThickness() const { return FStrikeThickness; }

private:
    struct Face;
    Face* FaceOf(const FaceSource& src) const;
    Glyph Render(Face& face, unsigned index) const;
    // Opens the primary face at the asked size, once.
    void OpenFaces() const;
    // Opens the faces and works out the metrics: a font not drawn before.
    void Measure();
    void ComputeMetrics();
    void Adopt(DrawnFont drawn);
    const Glyph& GlyphBeyondLatin1(char32_t cp) const;

    FontSpec FSpec;
    TextMetrics FMetrics;
    int FUnderlineTop = 0, FUnderlineThickness = 1, FStrikeTop = 0, FStrikeThickness = 1;
    bool FHasFace = false, FSyntheticBold = false;
    std::string FFaceFile;
    int FFaceIndex = 0;
    std::map<std::string, std::string> FDrawnFaces; // the faces of glyphs drawn before, as they were
    std::unique_ptr<FontMatch> FMatch;
    // Faces open when the first glyph not drawn before is asked for.
    mutable bool FOpened = false, FDrewNew = false;
    mutable long FEm26 = 0; // the em in 26.6 pixels, shared by fallback faces
    mutable Face* FPrimary = nullptr;
    mutable std::map<std::pair<std::string, int>, std::unique_ptr<Face>> FFaces;
    mutable std::unordered_map<char32_t, Glyph> FGlyphs;
    mutable std::array<const Glyph*, 256> FByCode{}; // Latin-1, found without hashing
    // Characters beyond Latin-1 last looked up, by their low bits: a page of CJK text repeats
    // its characters. Made at the first such character.
    using RecentGlyphs = std::array<std::pair<char32_t, const Glyph*>, 512>;
    mutable std::unique_ptr<RecentGlyphs> FRecent;
    mutable std::array<const Font*, 5> FAtScale{}; // by scale; resolved at first use
};

}  // namespace lumivane
