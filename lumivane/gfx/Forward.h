#pragma once
#include <cstdint>

// The drawing layer's type names, for headers that only hold, pass or return them: a header
// includes this and leaves the full definitions (and their includes) to the source files that
// use the members.

namespace lumivane {

// A colour is 0x00BBGGRR; a pixel of a surface 0x00RRGGBB (names and helpers in raster/Color.h).
using TColor = uint32_t;
using Pixel = uint32_t;

struct TPoint;
struct TSize;
struct TRect;
class Surface;
class Dib;
struct IconImage;
class DeviceContext;
using HDC = DeviceContext*;

}  // namespace lumivane
