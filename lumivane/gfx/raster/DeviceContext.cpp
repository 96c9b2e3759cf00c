#include "lumivane/gfx/raster/DeviceContext.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace lumivane {

namespace {
constexpr Pixel kWhite = 0xFFFFFF;
constexpr Pixel kMask = 0xFFFFFF;

// Floor and ceiling of a / b for b > 0, wide enough for products of two far coordinates.
int64_t FloorDiv(__int128 a, __int128 b) { return static_cast<int64_t>(a >= 0 ? a / b : -((-a + b - 1) / b)); }
int64_t CeilDiv(__int128 a, __int128 b) { return -FloorDiv(-a, b); }

// Coordinates far outside any surface are pulled in to this distance, so that arithmetic on
// rectangles never overflows; surfaces are far smaller, so no drawn pixel changes.
constexpr int64_t kFar = int64_t{1} << 30;
int Near(int64_t v) { return static_cast<int>(std::clamp(v, -kFar, kFar)); }
TRect DevRect(int64_t l, int64_t t, int64_t r, int64_t b) { return {Near(l), Near(t), Near(r), Near(b)}; }
TRect ToDevice(const TRect& r, TPoint o) {
    return DevRect(int64_t{r.Left} + o.x, int64_t{r.Top} + o.y, int64_t{r.Right} + o.x, int64_t{r.Bottom} + o.y);
}

Pixel Rop2(int mode, Pixel d, Pixel p) {
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
void FillPixels(Pixel* d, int n, Pixel p) {
    if (n <= 0) return;
    const uint64_t pair = (uint64_t{p} << 32) | p;
    for (int i = 0; i + 1 < n; i += 2) std::memcpy(d + i, &pair, sizeof pair);
    if (n & 1) d[n - 1] = p;
}

void SpanRop2(Pixel* d, int n, int mode, Pixel p) {
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
} // namespace

DeviceContext::DeviceContext(Surface* target)
    : FTarget(target), FOrigin{0, 0}, FClip(target ? target->Bounds() : TRect{}), FClipFollowsSurface(true) {}

DeviceContext::DeviceContext(Surface* target, TPoint origin, const Region& clip)
    : FTarget(target), FOrigin(origin), FClip(clip), FSystemClip(clip), FHasSystemClip(true) {}

const Region& DeviceContext::Clip() const {
    // A memory context's picture may be resized under it (a bitmap given a new size).
    if (FClipFollowsSurface && FTarget && FClip.Bounds() != FTarget->Bounds()) {
        FClip = Region(FTarget->Bounds());
        FDeviceClipValid = false;
    }
    return FClip;
}

void DeviceContext::SetClip(const Region& logicalClip) {
    FClip = logicalClip;
    if (FHasSystemClip) FClip.Intersect(FSystemClip);
    FClipFollowsSurface = false;
    FDeviceClipValid = false;
}

void DeviceContext::IntersectClip(const TRect& r) {
    Clip();
    FClip.Intersect(r);
    FClipFollowsSurface = false;
    FDeviceClipValid = false;
}

const Region& DeviceContext::DeviceClip() const {
    int w = FTarget ? FTarget->Width() : 0, h = FTarget ? FTarget->Height() : 0;
    Clip();
    if (!FDeviceClipValid || w != FDeviceClipW || h != FDeviceClipH) {
        FDeviceClip = FClip;
        FDeviceClip.Offset(FOrigin.x, FOrigin.y).Intersect(TRect{0, 0, w, h});
        FDeviceClipValid = true;
        FDeviceClipW = w;
        FDeviceClipH = h;
    }
    return FDeviceClip;
}

Pixel DeviceContext::ResolveColor(TColor c) const {
    Pixel p = ColorToPixel(c);
    if (FTarget && FTarget->Monochrome()) return p == kWhite ? kWhite : 0;
    return p;
}

void DeviceContext::MoveTo(int x, int y) { pos = {x, y}; }

void DeviceContext::LineTo(int x, int y) {
    const TPoint from = pos;
    pos = {x, y};
    if (pen.style == PS_NULL || !FTarget) return;
    const Pixel p = ResolveColor(pen.color);
    const Region& clip = DeviceClip();
    const int64_t x0 = int64_t{from.x} + FOrigin.x, y0 = int64_t{from.y} + FOrigin.y;
    const int64_t x1 = int64_t{x} + FOrigin.x, y1 = int64_t{y} + FOrigin.y;
    if (x0 == x1 && y0 == y1) return;

    // Straight lines are spans; the end pixel is left out.
    if (y0 == y1 || x0 == x1) {
        TRect r = y0 == y1 ? (x1 > x0 ? DevRect(x0, y0, x1, y0 + 1) : DevRect(x1 + 1, y0, x0 + 1, y0 + 1))
                           : (y1 > y0 ? DevRect(x0, y0, x0 + 1, y1) : DevRect(x0, y1 + 1, x0 + 1, y0 + 1));
        ForEachSpan(*FTarget, clip, r, [&](Pixel* d, int, int, int n) { SpanRop2(d, n, pen.mode, p); });
        return;
    }
    // Along the major axis one pixel a step; the minor coordinate is the true one rounded half
    // up, so a line covers the same pixels whichever way it is drawn.
    const int64_t dx = x1 - x0, dy = y1 - y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const int64_t n = xMajor ? adx : ady;
    const TRect bounds = clip.Bounds();
    // Only the steps whose major coordinate lies inside the clip's bounds are walked.
    int64_t first = 0, last = n;
    const int64_t m0 = xMajor ? x0 : y0, step = xMajor ? dx : dy;
    const int64_t lo = xMajor ? bounds.Left : bounds.Top, hi = xMajor ? bounds.Right : bounds.Bottom;
    if (step > 0) {
        first = std::max<int64_t>(first, lo - m0);
        last = std::min<int64_t>(last, hi - m0);
    } else {
        first = std::max<int64_t>(first, m0 - hi + 1);
        last = std::min<int64_t>(last, m0 - lo + 1);
    }
    for (int64_t i = first; i < last; ++i) {
        int64_t px, py;
        if (xMajor) {
            px = x0 + (dx > 0 ? i : -i);
            py = y0 + FloorDiv(__int128{2} * i * dy + adx, __int128{2} * adx);
        } else {
            py = y0 + (dy > 0 ? i : -i);
            px = x0 + FloorDiv(__int128{2} * i * dx + ady, __int128{2} * ady);
        }
        if (!bounds.Contains(static_cast<int>(px), static_cast<int>(py))) continue;
        if (!clip.Contains(static_cast<int>(px), static_cast<int>(py))) continue;
        Pixel& d = FTarget->Row(static_cast<int>(py))[px];
        d = Rop2(pen.mode, d & kMask, p);
    }
}

void DeviceContext::Rectangle(int x1, int y1, int x2, int y2) {
    if (!FTarget) return;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const Region& clip = DeviceClip();
    const int64_t l = int64_t{x1} + FOrigin.x, t = int64_t{y1} + FOrigin.y;
    const int64_t r = int64_t{x2} + FOrigin.x, b = int64_t{y2} + FOrigin.y;
    auto fill = [&](int64_t fl, int64_t ft, int64_t fr, int64_t fb, Pixel p) {
        ForEachSpan(*FTarget, clip, DevRect(fl, ft, fr, fb), [&](Pixel* d, int, int, int n) { SpanRop2(d, n, pen.mode, p); });
    };
    if (pen.style == PS_NULL) {
        if (brush.style != BS_NULL) fill(l, t, r - 1, b - 1, ResolveColor(brush.color));
        return;
    }
    if (r - l < 1 || b - t < 1) return;
    if (brush.style != BS_NULL) fill(l + 1, t + 1, r - 1, b - 1, ResolveColor(brush.color));
    // Every outline pixel is touched once, so an xor outline drawn twice restores the picture.
    const Pixel p = ResolveColor(pen.color);
    fill(l, t, r, t + 1, p);
    if (b - 1 > t) fill(l, b - 1, r, b, p);
    fill(l, t + 1, l + 1, b - 1, p);
    if (r - 1 > l) fill(r - 1, t + 1, r, b - 1, p);
}

void DeviceContext::FillRect(const TRect& r) {
    if (brush.style == BS_NULL) return;
    FillRect(r, brush.color);
}

void DeviceContext::FillRect(const TRect& r, TColor color) {
    if (!FTarget) return;
    const Pixel p = ResolveColor(color);
    const TRect dr = ToDevice(r, FOrigin);
    if (dr.IsEmpty()) return;
    // One row of each clipped rectangle is filled, the rest copied from it.
    for (const TRect& c : DeviceClip().Rects()) {
        if (c.Top >= dr.Bottom) break;
        const TRect i = c.Intersect(dr);
        if (i.IsEmpty()) continue;
        Pixel* first = FTarget->Row(i.Top) + i.Left;
        FillPixels(first, i.Width(), p);
        for (int y = i.Top + 1; y < i.Bottom; ++y)
            std::memcpy(FTarget->Row(y) + i.Left, first, sizeof(Pixel) * i.Width());
    }
}

void DeviceContext::Polygon(const TPoint* points, int count) {
    if (!FTarget || !points || count < 2) return;
    const Region& clip = DeviceClip();
    if (brush.style != BS_NULL && count >= 3 && !clip.IsEmpty()) {
        // Pixel (x, y) is inside when the point (x, y) is, by the even-odd rule; points on a left
        // or top edge count as inside, on a right or bottom edge as outside.
        const Pixel p = ResolveColor(brush.color);
        const int ox = FOrigin.x, oy = FOrigin.y;
        int64_t top = INT64_MAX, bottom = INT64_MIN;
        for (int i = 0; i < count; ++i) {
            top = std::min<int64_t>(top, int64_t{points[i].y} + oy);
            bottom = std::max<int64_t>(bottom, int64_t{points[i].y} + oy);
        }
        const TRect cb = clip.Bounds();
        top = std::max<int64_t>(top, cb.Top);
        bottom = std::min<int64_t>(bottom, cb.Bottom);
        std::vector<int64_t> xs;
        for (int64_t y = top; y < bottom; ++y) {
            xs.clear();
            for (int i = 0; i < count; ++i) {
                const TPoint& a = points[i];
                const TPoint& b = points[(i + 1) % count];
                int64_t ax = int64_t{a.x} + ox, ay = int64_t{a.y} + oy;
                int64_t bx = int64_t{b.x} + ox, by = int64_t{b.y} + oy;
                if (ay == by) continue;
                if (ay > by) {
                    std::swap(ax, bx);
                    std::swap(ay, by);
                }
                if (y < ay || y >= by) continue;
                // First pixel column at or right of the crossing.
                xs.push_back(CeilDiv(__int128{ax} * (by - ay) + __int128{y - ay} * (bx - ax), by - ay));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t k = 0; k + 1 < xs.size(); k += 2) {
                int64_t l = std::max<int64_t>(xs[k], cb.Left), r = std::min<int64_t>(xs[k + 1], cb.Right);
                if (l >= r) continue;
                ForEachSpan(*FTarget, clip, DevRect(l, y, r, y + 1),
                            [&](Pixel* d, int, int, int n) { SpanRop2(d, n, pen.mode, p); });
            }
        }
    }
    const TPoint saved = pos;
    MoveTo(points[0].x, points[0].y);
    for (int i = 1; i < count; ++i) LineTo(points[i].x, points[i].y);
    LineTo(points[0].x, points[0].y);
    pos = saved;
}

void DeviceContext::SetPixel(int x, int y, TColor c) {
    if (!FTarget) return;
    const int dx = Near(int64_t{x} + FOrigin.x), dy = Near(int64_t{y} + FOrigin.y);
    if (DeviceClip().Contains(dx, dy)) FTarget->Set(dx, dy, ResolveColor(c));
}

TColor DeviceContext::GetPixel(int x, int y) const {
    if (!FTarget) return CLR_INVALID;
    const int dx = Near(int64_t{x} + FOrigin.x), dy = Near(int64_t{y} + FOrigin.y);
    if (!DeviceClip().Contains(dx, dy)) return CLR_INVALID;
    return PixelToColor(FTarget->Get(dx, dy));
}

void DeviceContext::DrawFocusRect(const TRect& r) {
    if (!FTarget || r.IsEmpty()) return;
    const Region& clip = DeviceClip();
    const int ox = FOrigin.x, oy = FOrigin.y;
    // Every other pixel of the one-pixel frame is inverted, on a checkerboard fixed to the
    // context's origin; each frame pixel is visited once.
    auto dotted = [&](int64_t l, int64_t t, int64_t rr, int64_t b) {
        ForEachSpan(*FTarget, clip, DevRect(l + ox, t + oy, rr + ox, b + oy), [&](Pixel* d, int x, int y, int n) {
            for (int i = ((x - ox + y - oy) & 1); i < n; i += 2) d[i] ^= kMask;
        });
    };
    const int64_t l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
    dotted(l, t, rt, t + 1);
    if (b - 1 > t) dotted(l, b - 1, rt, b);
    dotted(l, t + 1, l + 1, b - 1);
    if (rt - 1 > l) dotted(rt - 1, t + 1, rt, b - 1);
}

void DeviceContext::InvertRect(const TRect& r) {
    if (!FTarget) return;
    ForEachSpan(*FTarget, DeviceClip(), ToDevice(r, FOrigin), [](Pixel* d, int, int, int n) {
        for (int i = 0; i < n; ++i) d[i] ^= kMask;
    });
}

namespace {
// How source pixels change when source and target differ in depth.
struct SourceConversion {
    enum Kind { None, MonoToColor, ColorToMono } kind = None;
    Pixel fg = 0, bg = kWhite; // MonoToColor: black -> fg, white -> bg
    Pixel key = kWhite;         // ColorToMono: key -> white, anything else -> black

    Pixel operator()(Pixel s) const {
        switch (kind) {
        case MonoToColor: return (s & kMask) == 0 ? fg : bg;
        case ColorToMono: return (s & kMask) == key ? kWhite : 0;
        default: return s & kMask;
        }
    }
};

SourceConversion ConversionFor(const DeviceContext& dst, const DeviceContext& src) {
    SourceConversion c;
    bool srcMono = src.Target()->Monochrome(), dstMono = dst.Target()->Monochrome();
    if (srcMono && !dstMono) {
        c.kind = SourceConversion::MonoToColor;
        c.fg = ColorToPixel(dst.textColor);
        c.bg = ColorToPixel(dst.bkColor);
    } else if (!srcMono && dstMono) {
        c.kind = SourceConversion::ColorToMono;
        c.key = ColorToPixel(src.bkColor);
    }
    return c;
}

// Any ternary raster operation, bit by bit, from the truth table in bits 16..23 of the code.
Pixel Rop3(uint32_t rop, Pixel p, Pixel s, Pixel d) {
    const unsigned table = (rop >> 16) & 0xFF;
    Pixel r = 0;
    for (unsigned k = 0; k < 8; ++k) {
        if (!(table >> k & 1)) continue;
        r |= ((k & 4) ? p : ~p) & ((k & 2) ? s : ~s) & ((k & 1) ? d : ~d);
    }
    return r & kMask;
}

// Combines n converted source pixels into the target row.
void CombineSpan(uint32_t rop, Pixel pat, const Pixel* s, Pixel* d, int n) {
    switch (rop) {
    case SRCCOPY: std::memmove(d, s, sizeof(Pixel) * n); break;
    case SRCPAINT: for (int i = 0; i < n; ++i) d[i] = (d[i] | s[i]) & kMask; break;
    case SRCAND: for (int i = 0; i < n; ++i) d[i] = d[i] & s[i] & kMask; break;
    case SRCINVERT: for (int i = 0; i < n; ++i) d[i] = (d[i] ^ s[i]) & kMask; break;
    case SRCERASE: for (int i = 0; i < n; ++i) d[i] = s[i] & ~d[i] & kMask; break;
    case NOTSRCCOPY: for (int i = 0; i < n; ++i) d[i] = ~s[i] & kMask; break;
    case NOTSRCERASE: for (int i = 0; i < n; ++i) d[i] = ~(s[i] | d[i]) & kMask; break;
    case MERGEPAINT: for (int i = 0; i < n; ++i) d[i] = (~s[i] | d[i]) & kMask; break;
    case MERGECOPY: for (int i = 0; i < n; ++i) d[i] = pat & s[i]; break;
    default: for (int i = 0; i < n; ++i) d[i] = Rop3(rop, pat, s[i], d[i]); break;
    }
}

// Operations that never read the source.
bool IgnoresSource(uint32_t rop) {
    const unsigned t = (rop >> 16) & 0xFF;
    return ((t >> 2) & 0x33) == (t & 0x33);
}

// Target-only operations: DSTINVERT, BLACKNESS, WHITENESS, PATCOPY, PATINVERT and the like.
void FillNoSource(DeviceContext& dst, const TRect& r, uint32_t rop) {
    Surface* t = dst.Target();
    const Pixel pat = dst.brush.style == BS_NULL ? 0 : dst.ResolveColor(dst.brush.color);
    ForEachSpan(*t, dst.DeviceClip(), r, [&](Pixel* d, int, int, int n) {
        switch (rop) {
        case BLACKNESS: FillPixels(d, n, 0); break;
        case WHITENESS: FillPixels(d, n, kWhite); break;
        case DSTINVERT: for (int i = 0; i < n; ++i) d[i] = ~d[i] & kMask; break;
        case PATCOPY: FillPixels(d, n, pat); break;
        default: for (int i = 0; i < n; ++i) d[i] = Rop3(rop, pat, 0, d[i]); break;
        }
    });
}

// A monochrome target keeps only black and white, whatever the operation produced.
void ToMono(Pixel* d, int n) {
    for (int i = 0; i < n; ++i) d[i] = d[i] == kWhite ? kWhite : 0;
}
} // namespace

void BitBlt(DeviceContext& dst, int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
            uint32_t rop) {
    Surface* dt = dst.Target();
    if (!dt || w <= 0 || h <= 0) return;
    const int64_t dl = int64_t{x} + dst.Origin().x, dtp = int64_t{y} + dst.Origin().y;
    TRect dr = DevRect(dl, dtp, dl + w, dtp + h);
    if (IgnoresSource(rop)) {
        FillNoSource(dst, dr, rop);
        return;
    }
    const Surface* st = src.Target();
    if (!st) return;
    // Source pixel = target pixel + (ddx, ddy); only what the source surface holds is copied.
    const int64_t ddx64 = int64_t{sx} + src.Origin().x - dl, ddy64 = int64_t{sy} + src.Origin().y - dtp;
    dr = dr.Intersect(DevRect(-ddx64, -ddy64, st->Width() - ddx64, st->Height() - ddy64));
    if (dr.IsEmpty()) return;
    // Both rectangles now lie on real surfaces, so the offset fits an int.
    const int ddx = static_cast<int>(ddx64), ddy = static_cast<int>(ddy64);

    // A source on the target surface itself is read from a copy, so overlapping moves work.
    Surface copy;
    const Surface* from = st;
    int fdx = ddx, fdy = ddy;
    if (st == dt) {
        const TRect sr = dr.Offset(ddx, ddy);
        copy.Resize(sr.Width(), sr.Height());
        for (int row = 0; row < sr.Height(); ++row)
            std::memcpy(copy.Row(row), st->Row(sr.Top + row) + sr.Left, sizeof(Pixel) * sr.Width());
        from = &copy;
        fdx = -dr.Left;
        fdy = -dr.Top;
    }
    const SourceConversion conv = ConversionFor(dst, src);
    const bool mono = dt->Monochrome();
    const Pixel pat = dst.brush.style == BS_NULL ? 0 : dst.ResolveColor(dst.brush.color);
    std::vector<Pixel> buf;
    ForEachSpan(*dt, dst.DeviceClip(), dr, [&](Pixel* d, int px, int py, int n) {
        const Pixel* s = from->Row(py + fdy) + px + fdx;
        if (conv.kind != SourceConversion::None) {
            buf.resize(n);
            for (int i = 0; i < n; ++i) buf[i] = conv(s[i]);
            s = buf.data();
        }
        CombineSpan(rop, pat, s, d, n);
        if (mono) ToMono(d, n);
    });
}

namespace {
// Shared by StretchBlt and TransparentBlt: scales src (sx, sy, sw, sh) onto dst (x, y, w, h).
// `skip` says which raw source pixels leave the target alone.
template <bool Transparent>
void Stretch(DeviceContext& dst, int x, int y, int w, int h, const DeviceContext& src, int sx, int sy, int sw,
             int sh, uint32_t rop, Pixel key) {
    Surface* dt = dst.Target();
    const Surface* st = src.Target();
    if (!dt || !st || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
    const int64_t dl = int64_t{x} + dst.Origin().x, dtp = int64_t{y} + dst.Origin().y;
    const TRect clipBounds = DevRect(dl, dtp, dl + w, dtp + h).Intersect(dst.DeviceClip().Bounds());
    if (clipBounds.IsEmpty()) return;
    const int64_t srcLeft = int64_t{sx} + src.Origin().x, srcTop = int64_t{sy} + src.Origin().y;

    // A same-surface source is read from a copy of the part that is used.
    Surface copy;
    const Surface* from = st;
    int64_t fx = srcLeft, fy = srcTop;
    if (st == dt) {
        const TRect sr = DevRect(srcLeft, srcTop, srcLeft + sw, srcTop + sh).Intersect(st->Bounds());
        if (sr.IsEmpty()) return;
        copy.Resize(sr.Width(), sr.Height());
        for (int row = 0; row < sr.Height(); ++row)
            std::memcpy(copy.Row(row), st->Row(sr.Top + row) + sr.Left, sizeof(Pixel) * sr.Width());
        from = &copy;
        fx = srcLeft - sr.Left;
        fy = srcTop - sr.Top;
    }
    // Source column for each visible target column: the one under the target pixel's centre.
    // Only the visible part is mapped, so the map never outgrows the target surface. The map
    // only grows, so the columns with a source pixel form one run [validLo, validHi).
    const int cw = clipBounds.Width();
    std::vector<int> xs(cw);
    int validLo = cw, validHi = 0;
    for (int i = 0; i < cw; ++i) {
        const int64_t k = clipBounds.Left - dl + i;
        const int64_t col = fx + (2 * k + 1) * sw / (int64_t{2} * w);
        const bool ok = col >= 0 && col < from->Width();
        xs[i] = ok ? static_cast<int>(col) : 0;
        if (ok) {
            validLo = std::min(validLo, i);
            validHi = i + 1;
        }
    }
    if (validLo >= validHi) return;

    const SourceConversion conv = ConversionFor(dst, src);
    const bool mono = dt->Monochrome();
    const Pixel pat = dst.brush.style == BS_NULL ? 0 : dst.ResolveColor(dst.brush.color);
    std::vector<Pixel> buf;
    ForEachSpan(*dt, dst.DeviceClip(), clipBounds, [&](Pixel* d, int px, int py, int n) {
        const int64_t srow = fy + (2 * (py - dtp) + 1) * sh / (int64_t{2} * h);
        if (srow < 0 || srow >= from->Height()) return;
        int lo = std::max(px - clipBounds.Left, validLo), hi = std::min(px - clipBounds.Left + n, validHi);
        if (lo >= hi) return;
        const Pixel* s = from->Row(static_cast<int>(srow));
        const int* map = xs.data();
        Pixel* out = d - (px - clipBounds.Left);
        if constexpr (Transparent) {
            for (int i = lo; i < hi; ++i) {
                const Pixel raw = s[map[i]] & kMask;
                if (raw == key) continue;
                out[i] = conv(raw);
            }
        } else {
            buf.resize(hi - lo);
            if (conv.kind == SourceConversion::None)
                for (int i = lo; i < hi; ++i) buf[i - lo] = s[map[i]] & kMask;
            else
                for (int i = lo; i < hi; ++i) buf[i - lo] = conv(s[map[i]]);
            CombineSpan(rop, pat, buf.data(), out + lo, hi - lo);
        }
        if (mono) ToMono(out + lo, hi - lo);
    });
}
} // namespace

void StretchBlt(DeviceContext& dst, int x, int y, int w, int h, const DeviceContext& src, int sx, int sy, int sw,
                int sh, uint32_t rop) {
    if (w == sw && h == sh) {
        BitBlt(dst, x, y, w, h, src, sx, sy, rop);
        return;
    }
    if (IgnoresSource(rop)) {
        if (dst.Target() && w > 0 && h > 0)
            FillNoSource(dst, DevRect(int64_t{x} + dst.Origin().x, int64_t{y} + dst.Origin().y,
                                      int64_t{x} + dst.Origin().x + w, int64_t{y} + dst.Origin().y + h), rop);
        return;
    }
    Stretch<false>(dst, x, y, w, h, src, sx, sy, sw, sh, rop, 0);
}

void TransparentBlt(DeviceContext& dst, int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
                    int sw, int sh, TColor transparent) {
    Stretch<true>(dst, x, y, w, h, src, sx, sy, sw, sh, SRCCOPY, ColorToPixel(transparent));
}

void DrawIconImage(DeviceContext& dst, int x, int y, const Surface& image, const Surface* andMask,
                   const uint8_t* alpha) {
    Surface* dt = dst.Target();
    if (!dt || image.Width() == 0 || image.Height() == 0) return;
    if (andMask && (andMask->Width() < image.Width() || andMask->Height() < image.Height())) andMask = nullptr;
    const int64_t dl = int64_t{x} + dst.Origin().x, dtp = int64_t{y} + dst.Origin().y;
    const TRect dr = DevRect(dl, dtp, dl + image.Width(), dtp + image.Height());
    const bool mono = dt->Monochrome();
    ForEachSpan(*dt, dst.DeviceClip(), dr, [&](Pixel* d, int px, int py, int n) {
        const int iy = py - dr.Top, ix = px - dr.Left;
        const Pixel* s = image.Row(iy) + ix;
        if (alpha) {
            const uint8_t* a = alpha + static_cast<size_t>(iy) * image.Width() + ix;
            for (int i = 0; i < n; ++i) {
                const unsigned k = a[i];
                if (k == 0) continue;
                Pixel r = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                    unsigned sc = (s[i] >> shift) & 0xFF, dc = (d[i] >> shift) & 0xFF;
                    r |= ((sc * k + dc * (255 - k) + 127) / 255) << shift;
                }
                d[i] = r;
            }
        } else if (andMask) {
            const Pixel* m = andMask->Row(iy) + ix;
            for (int i = 0; i < n; ++i) d[i] = ((m[i] & kMask) == kWhite ? (d[i] ^ s[i]) : s[i]) & kMask;
        } else {
            for (int i = 0; i < n; ++i) d[i] = s[i] & kMask;
        }
        if (mono) ToMono(d, n);
    });
}

}  // namespace lumivane
