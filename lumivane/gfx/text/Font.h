#pragma once
#include <string>

#include "lumivane/gfx/raster/DeviceContext.h"

namespace lumivane {

// What a font is asked for. A negative height -N is a character (em) height of N pixels; a
// positive height is a cell height (ascent + descent). The name is UTF-8 ("宋体" is a CJK family).
struct FontSpec {
    std::string name = "Tahoma";
    int height = -11;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

struct TextMetrics {
    int height = 0; // ascent + descent
    int ascent = 0;
    int descent = 0;
    int internalLeading = 0;
    int aveCharWidth = 0;
    friend bool operator==(const TextMetrics&, const TextMetrics&) = default;
};

// Fonts are resolved once per distinct FontSpec and live for the whole process (glyphs cached), so
// an HFONT never dangles and creating "the same" font again is free.
HFONT GetFont(const FontSpec& fontSpec);
// Keeps what the fonts have drawn for the next run of this program, if they drew anything new. Done
// at exit; a program that leaves by _exit calls it first.
void KeepDrawnGlyphs();
// The font a context uses when it has none of its own.
HFONT GetDefaultFont();
const FontSpec& GetFontSpec(HFONT font);
TextMetrics GetFontMetrics(HFONT font);

// Text is 8-bit Windows-1252; it is mapped to Unicode for rendering.
int TextWidth(HFONT font, const std::string& text);
TSize GetTextExtent(HDC dc, const std::string& text);
// Draws one line with the top-left of its cell at (x, y) in dc's font and text colour, filling
// the cell with bkColor first when bkMode is OPAQUE. Clipped by the context.
void TextOutA(HDC dc, int x, int y, const char* text, int len);

}  // namespace lumivane
