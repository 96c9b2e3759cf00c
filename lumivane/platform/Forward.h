#pragma once
#include <cstdint>

// The window system's type names, for headers that only hold, pass or return them: a header
// includes this and leaves the full definitions (and their includes) to the source files that
// use the members. Font and Region are not named here: the X11 driver's units see Xlib's names
// of the same spelling.

// Handles.
typedef struct HWND__* HWND;
class DeviceContext;
using HDC = DeviceContext*;

// A colour is 0x00BBGGRR; a pixel of a surface 0x00RRGGBB (names and helpers in raster/Color.h).
using TColor = uint32_t;
using Pixel = uint32_t;

struct TPoint;
struct TSize;
struct TRect;
class Surface;
class Dib;
struct IconImage;
class EditEngine;
class Driver;
class Exception;
