#pragma once
#include <cstdint>
#include <vector>

#include "lumivane/gfx/raster/Color.h"
#include "lumivane/gfx/raster/Geometry.h"
#include "lumivane/gfx/raster/Region.h"
#include "lumivane/gfx/raster/Surface.h"

namespace lumivane {

class Font;
using HFONT = const Font*;

// Pen styles, brush styles, pen raster modes (ROP2), background modes and blit raster operations,
// with the window system's numeric values.
enum : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_NULL = 5 };
enum : int { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1 };
enum : int {
    R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5,
    R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11,
    R2_MERGENOTPEN = 12, R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16
};
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : uint32_t {
    SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6,
    MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09,
    PATINVERT = 0x005A0049, DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062
};
constexpr TColor CLR_INVALID = 0xFFFFFFFF;

// The pen is always one pixel wide and solid: dashed and dotted styles draw solid, and a wider
// width draws one pixel, which is all the controls ask for.
struct PenState {
    TColor color = clBlack;
    int style = PS_SOLID;
    int width = 1;
    int mode = R2_COPYPEN;
};

struct BrushState {
    TColor color = clWhite;
    int style = BS_SOLID;
};

// Drawing state over a surface: an origin (logical 0,0 in surface pixels), a clip region in
// logical coordinates, pen, brush, font, text and background colours and the current position.
// Every drawing operation takes logical coordinates and touches only pixels inside both the clip
// region and the surface.
//
// The scale (see windows/DisplayScale.h): a context of scale n draws on a surface n times the size
// of its logical one. Logical point (x, y) is surface pixel ((x + origin.x) * n, (y + origin.y) * n)
// (the origin is logical too), and every pixel the context would draw at scale 1 becomes an n-by-n
// block there: fills, lines, frames, polygons, focus rectangles, single pixels, and the blits
// (BitBlt, StretchBlt, TransparentBlt) between contexts of any scales. So a picture at scale n is
// the 1x picture with each pixel made a block, and scale 1 is exactly what it was.
// The rest of the scale's design, built on this: icons (DrawIconImage, DrawImageScaled) are drawn
// by whole pixels too; text is rendered afresh at n times its size, so that it is sharp; a
// top-level window's surface is device-sized and painted through contexts of its scale; the
// window system keeps logical units everywhere and divides input coordinates by n at its edge,
// where it also multiplies window sizes and positions for the display.
class DeviceContext {
public:
    // A context over the whole surface (a memory context), origin 0,0. Its clip follows the
    // surface when it is resized, until SetClip or IntersectClip sets one.
    explicit DeviceContext(Surface* target);
    // A context whose logical origin is at `origin` (logical units) on the surface, clipped to
    // `clip` (logical), drawing `scale` (1 to 4) device pixels per logical one.
    DeviceContext(Surface* target, TPoint origin, const Region& clip, int scale = 1);

    Surface* Target() const { return FTarget; }
    TPoint Origin() const { return FOrigin; }
    int Scale() const { return FScale; }
    const Region& Clip() const;
    // Sets the clip; a context made with a clip never reaches past that first clip (the part of
    // a window that may be painted), however the clip is set later.
    void SetClip(const Region& logicalClip);
    // The clip the context was made with (logical): everything it can ever draw.
    const Region& SystemClip() const { return FSystemClip; }
    // Narrows the clip to its intersection with the rectangle (logical).
    void IntersectClip(const TRect& r);

    PenState pen;
    BrushState brush;
    HFONT font = nullptr; // nullptr: the window system's default font
    TColor textColor = clBlack;
    TColor bkColor = clWhite;
    int bkMode = OPAQUE;
    TPoint pos;

    // Lines: from the current position up to but not including (x, y); the position moves there.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Outline x1..x2-1 by y1..y2-1 with the pen, inside filled with the brush unless it is clear.
    // The pen mode applies to outline and inside. With a PS_NULL pen only the brush is drawn, over
    // x1..x2-2 by y1..y2-2, as the window system does.
    void Rectangle(int x1, int y1, int x2, int y2);
    // Fills x1..x2-1 by y1..y2-1 with the brush (a clear brush fills nothing).
    void FillRect(const TRect& r);
    void FillRect(const TRect& r, TColor color);
    // Even-odd filled polygon, then its closed outline with the pen.
    void Polygon(const TPoint* points, int count);
    void SetPixel(int x, int y, TColor c);
    // The pixel's colour, or CLR_INVALID outside the clip or surface.
    TColor GetPixel(int x, int y) const;
    // Dotted focus rectangle drawn by inverting the frame pixels whose logical x + y is even;
    // drawing it twice restores the pixels.
    void DrawFocusRect(const TRect& r);
    // Inverts every pixel of the rectangle.
    void InvertRect(const TRect& r);

    // The clip in surface pixels (origin and scale applied), cut to the surface: exactly the
    // pixels that drawing may touch. For code that writes pixels itself (text, pictures).
    const Region& DeviceClip() const;
    // The surface pixel for a colour as this context draws it (monochrome targets get black or
    // white).
    Pixel ResolveColor(TColor c) const;

private:
    // Calls f(row, x, y, count) for the clipped surface spans of the 1x rectangle `r` (origin
    // applied, not yet scaled), each 1x pixel a block of the scale.
    template <class F>
    void Spans(const TRect& r, F&& f);
    // Bounds of the 1x pixels that may be drawn (origin applied): DeviceClip's, unscaled.
    TRect UnscaledClipBounds() const;

    Surface* FTarget;
    TPoint FOrigin;
    int FScale = 1;
    mutable Region FClip;
    Region FSystemClip;
    bool FHasSystemClip = false;
    bool FClipFollowsSurface = false;
    // DeviceClip() cache; rebuilt when the clip changes or the surface changes size.
    mutable Region FDeviceClip;
    mutable bool FDeviceClipValid = false;
    mutable int FDeviceClipW = -1;
    mutable int FDeviceClipH = -1;
};

// Copies w x h pixels from src (at sx, sy) to dst (at x, y), combined by the raster operation.
// The source is limited by its surface, not by its clip; target pixels with no source pixel are
// left alone. Source and target may share a surface and overlap. Patterned operations use dst's
// brush.
// A monochrome source drawn on a colour target takes dst's textColor for black and its bkColor
// for white; a colour source drawn on a monochrome target gives white where the pixel equals
// src's bkColor and black elsewhere.
void BitBlt(DeviceContext& dst, int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
            uint32_t rop);
// Nearest-neighbour scaling of the source rectangle into the destination rectangle.
void StretchBlt(DeviceContext& dst, int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
                int sw, int sh, uint32_t rop);
// As StretchBlt with SRCCOPY, but source pixels of the colour `transparent` are skipped.
void TransparentBlt(DeviceContext& dst, int x, int y, int w, int h, const DeviceContext& src, int sx,
                    int sy, int sw, int sh, TColor transparent);
// Draws an icon image at its own size: with `alpha` (one byte a pixel, row-major) blends by it;
// else where `andMask` is white the target is xored with the image and elsewhere the image is
// copied; with neither the image is copied.
void DrawIconImage(DeviceContext& dst, int x, int y, const Surface& image, const Surface* andMask,
                   const uint8_t* alpha);
// As DrawIconImage, the image scaled into the rectangle (nearest neighbour; only the part inside
// the clip is built).
void DrawImageScaled(DeviceContext& dst, const TRect& r, const Surface& image, const Surface* andMask,
                     const uint8_t* alpha);

}  // namespace lumivane
