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

#include "lumivane/platform/text/Font.h"

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
};

// The object behind an HFONT: the faces fontconfig chose for a FontSpec at its pixel size, the
// integer metrics and the cache of rendered glyphs. Created once per FontSpec (see GetFont).
class Font {
public:
    // Bounds the pixel size so that a wild height cannot drive huge glyph bitmaps.
    static constexpr int kMaxPixelHeight = 1000;

    explicit Font(const FontSpec& fontSpec);
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

    // The glyph of a Windows-1252 byte; control characters and undefined bytes have none.
    const Glyph& GlyphOf(unsigned char byte) const;
    const Glyph& GlyphFor(char32_t cp) const;
    // Sum of the advances of a Windows-1252 string.
    int Width(std::string_view text) const;

    // Lines drawn with the text, as rows relative to the top of the cell.
    int UnderlineTop() const { return FUnderlineTop; }
    int UnderlineThickness() const { return FUnderlineThickness; }
    int StrikeOutTop() const { return FStrikeTop; }
    int StrikeOutThickness() const { return FStrikeThickness; }

private:
    struct Face;
    Face* FaceOf(const FaceSource& src) const;
    Glyph Render(Face& face, unsigned index) const;
    void ComputeMetrics();

    FontSpec FSpec;
    TextMetrics FMetrics;
    int FUnderlineTop = 0, FUnderlineThickness = 1, FStrikeTop = 0, FStrikeThickness = 1;
    long FEm26 = 0; // the em in 26.6 pixels, shared by fallback faces
    std::unique_ptr<FontMatch> FMatch;
    Face* FPrimary = nullptr;
    mutable std::map<std::pair<std::string, int>, std::unique_ptr<Face>> FFaces;
    mutable std::unordered_map<char32_t, Glyph> FGlyphs;
    mutable std::array<const Glyph*, 256> FByByte{};
};
