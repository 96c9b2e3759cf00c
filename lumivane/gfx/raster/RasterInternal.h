#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "lumivane/base/IntegerDivision.h"
#include "lumivane/gfx/raster/DeviceContext.h"

// Pixel arithmetic shared by the drawing and the copying of a device context; not installed.

namespace lumivane::RasterInternal {

constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kMask = 0xFFFFFF;

// Coordinates far outside any surface are pulled in to this distance, so that arithmetic on
// rectangles never overflows; surfaces are far smaller, so no drawn pixel changes.
constexpr int64_t kFar = int64_t{1} << 30;
inline int Near(int64_t v) { return static_cast<int>(std::clamp(v, -kFar, kFar)); }
inline TRect DevRect(int64_t l, int64_t t, int64_t r, int64_t b) { return {Near(l), Near(t), Near(r), Near(b)}; }
inline TRect ToDevice(const TRect& r, TPoint o) {
    return DevRect(int64_t{r.Left} + o.x, int64_t{r.Top} + o.y, int64_t{r.Right} + o.x, int64_t{r.Bottom} + o.y);
}

inline Pixel Rop2(int mode, Pixel d, Pixel p) {
    switch (mode) {
    case R2_BLACK: return 0;
    case R2_NOTMERGEPEN: return ~(d | p) & kMask;
    case R2_MASKNOTPEN: return d & ~p & kMask;
    case R2_NOTCOPYPEN: return ~p & kMask;
    case R2_MASKPENNOT: return p & ~d & kMask;
    case R2_NOT: return ~d & kMask;
    case R2_XORPEN: return (d ^ p) & kMask;
    case R2_NOTMASKPEN: return ~(d & p) & kMask;
    case R2_MASKPEN: return d & p;
    case R2_NOTXORPEN: return ~(d ^ p) & kMask;
    case R2_NOP: return d;
    case R2_MERGENOTPEN: return (d | ~p) & kMask;
    case R2_MERGEPENNOT: return (p | ~d) & kMask;
    case R2_MERGEPEN: return d | p;
    case R2_WHITE: return kWhite;
    default: return p; // R2_COPYPEN and anything unknown
    }
}

// Eight bytes a store: the compiler does not widen a plain 32-bit fill loop at -O2.
inline void FillPixels(Pixel* d, int n, Pixel p) {
    if (n <= 0) return;
    const uint64_t pair = (uint64_t{p} << 32) | p;
    for (int i = 0; i + 1 < n; i += 2) std::memcpy(d + i, &pair, sizeof pair);
    if (n & 1) d[n - 1] = p;
}

inline void SpanRop2(Pixel* d, int n, int mode, Pixel p) {
    if (mode == R2_COPYPEN || mode < R2_BLACK || mode > R2_WHITE) {
        FillPixels(d, n, p);
        return;
    }
    if (mode == R2_NOP) return;
    for (int i = 0; i < n; ++i) d[i] = Rop2(mode, d[i] & kMask, p);
}

// Calls f(row pointer at x0, x0, y, count) for every clipped span of `r` (surface pixels).
template <class F>
void ForEachSpan(Surface& s, const Region& clip, const TRect& r, F&& f) {
    if (r.IsEmpty()) return;
    // Bottoms never decrease along the bands: skip straight to the first band reaching r.
    const std::vector<TRect>& rects = clip.Rects();
    auto it = std::upper_bound(rects.begin(), rects.end(), r.Top,
                               [](int v, const TRect& c) { return v < c.Bottom; });
    for (; it != rects.end(); ++it) {
        const TRect& c = *it;
        if (c.Top >= r.Bottom) break;
        TRect i = c.Intersect(r);
        if (i.IsEmpty()) continue;
        for (int y = i.Top; y < i.Bottom; ++y) f(s.Row(y) + i.Left, i.Left, y, i.Width());
    }
}

}  // namespace lumivane::RasterInternal
