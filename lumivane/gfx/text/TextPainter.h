#pragma once
#include <string_view>
#include <vector>

#include "lumivane/gfx/raster/DeviceContext.h"

namespace lumivane {

class Font;

// Paints one line of UTF-8 text with the top-left of its cell at (x, y), in the context's text
// colour, background mode and colour, clipped by the context's clip, the surface and, when
// given, the logical rectangle `clip`. Characters go left to right, one glyph each, unshaped.
// `accel` (if not empty, one flag per byte) marks characters that get an underline of their own,
// as '&' prefixes ask; a character's flag is its first byte's.
void PaintTextLine(DeviceContext& dc, const Font& font, int x, int y, std::string_view text,
                   const TRect* clip = nullptr, const std::vector<bool>& accel = {});

// Whether glyphs are drawn (on by default); backgrounds, underlines and strike-outs always are.
// For pictures compared across scales or fonts, where only the geometry should count.
void SetGlyphsShown(bool shown);

}  // namespace lumivane
