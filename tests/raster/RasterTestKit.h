#pragma once
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "lumivane/gfx/raster/DeviceContext.h"
#include "lumivane/gfx/raster/Surface.h"

using namespace lumivane;

// One character a pixel, rows joined by '\n': '#' where the pixel is `ink`, '.' elsewhere.
inline std::string InkMap(const Surface& s, Pixel ink, TRect area = {}) {
    if (area.IsEmpty()) area = s.Bounds();
    std::string out;
    for (int y = area.Top; y < area.Bottom; ++y) {
        for (int x = area.Left; x < area.Right; ++x) out += s.Get(x, y) == ink ? '#' : '.';
        out += '\n';
    }
    return out;
}

// A deterministic texture with distinct neighbouring pixels.
inline void Texture(Surface& s, unsigned seed = 1) {
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            s.Set(x, y, ((x * 37 + y * 101 + seed * 7919) * 2654435761u) >> 8 & 0xFFFFFF);
}

// The pixels that differ between two surfaces of one size, as a map.
inline std::string DiffMap(const Surface& a, const Surface& b) {
    std::string out;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) out += a.Get(x, y) == b.Get(x, y) ? '.' : '#';
        out += '\n';
    }
    return out;
}

// Every drawing operation (blits aside) at coordinates far outside any surface, both ways round:
// nothing may overflow, and a pixel read there is invalid.
inline void DrawAtFarCoordinates(DeviceContext& dc) {
    const int lo = INT32_MIN, hi = INT32_MAX;
    dc.MoveTo(lo, lo);
    dc.LineTo(hi, hi - 7);
    dc.MoveTo(hi, 0);
    dc.LineTo(lo, 0);
    dc.Rectangle(lo, lo, hi, hi);
    dc.pen.style = PS_NULL;
    dc.Rectangle(lo, lo, lo, lo);
    dc.FillRect({hi - 1, hi - 1, hi, hi});
    dc.DrawFocusRect({lo, lo, hi, hi});
    dc.InvertRect({lo, lo, hi, hi});
    const TPoint far[3] = {{lo, lo}, {hi, 0}, {0, hi}};
    dc.Polygon(far, 3);
    dc.SetPixel(hi, lo, clRed);
    EXPECT_EQ(dc.GetPixel(lo, hi), CLR_INVALID);
}
