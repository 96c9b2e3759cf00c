#pragma once
#include <string_view>
#include <vector>

#include "lumivane/gfx/raster/DeviceContext.h"

namespace lumivane {

class Font;

// Paints one line of Windows-1252 text with the top-left of its cell at (x, y), in the context's
// text colour, background mode and colour, clipped by the context's clip, the surface and, when
// given, the logical rectangle `clip`. `accel` (if not empty, one flag per byte) marks characters
// that get an underline of their own, as '&' prefixes ask.
void PaintTextLine(DeviceContext& dc, const Font& font, int x, int y, std::string_view text,
                   const TRect* clip = nullptr, const std::vector<bool>& accel = {});

}  // namespace lumivane
