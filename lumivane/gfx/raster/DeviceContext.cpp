#include "lumivane/gfx/raster/DeviceContext.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "lumivane/gfx/raster/RasterInternal.h"

namespace lumivane {

using namespace RasterInternal;

DeviceContext::DeviceContext(Surface* target)
    : FTarget(target), FOrigin{0, 0}, FClip(target ? target->Bounds() : TRect{}), FClipFollowsSurface(true) {}

DeviceContext::DeviceContext(Surface* target, TPoint origin, const Region& clip, int scale)
    : FTarget(target), FOrigin(origin), FScale(std::clamp(scale, 1, 4)), FClip(clip), FSystemClip(clip),
      FHasSystemClip(true) {}

template <class F>
void DeviceContext::Spans(const TRect& r, F&& f) {
    if (FScale == 1) {
        ForEachSpan(*FTarget, DeviceClip(), r, f);
        return;
    }
    const int64_t n = FScale;
    ForEachSpan(*FTarget, DeviceClip(), DevRect(r.Left * n, r.Top * n, r.Right * n, r.Bottom * n), f);
}

TRect DeviceContext::UnscaledClipBounds() const {
    const TRect b = DeviceClip().Bounds();
    const int n = FScale;
    // The device clip lies inside the surface: no negative coordinates to round.
    return {b.Left / n, b.Top / n, (b.Right + n - 1) / n, (b.Bottom + n - 1) / n};
}

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
        if (FScale == 1) {
            FDeviceClip.Offset(FOrigin.x, FOrigin.y).Intersect(TRect{0, 0, w, h});
        } else {
            // Cut to the surface before scaling, so that far coordinates cannot overflow.
            const int n = FScale;
            FDeviceClip.Offset(FOrigin.x, FOrigin.y).Intersect(TRect{0, 0, (w + n - 1) / n, (h + n - 1) / n});
            FDeviceClip.Scale(n).Intersect(TRect{0, 0, w, h});
        }
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
        Spans(r, [&](Pixel* d, int, int, int n) { SpanRop2(d, n, pen.mode, p); });
        return;
    }
    // Along the major axis one pixel a step; the minor coordinate is the true one rounded half
    // up, so a line covers the same pixels whichever way it is drawn.
    const int64_t dx = x1 - x0, dy = y1 - y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const int64_t n = xMajor ? adx : ady;
    const TRect bounds = FScale == 1 ? clip.Bounds() : UnscaledClipBounds();
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
            py = y0 + static_cast<int64_t>(FloorDiv(__int128{2} * i * dy + adx, __int128{2} * adx));
        } else {
            py = y0 + (dy > 0 ? i : -i);
            px = x0 + static_cast<int64_t>(FloorDiv(__int128{2} * i * dx + ady, __int128{2} * ady));
        }
        if (!bounds.Contains(static_cast<int>(px), static_cast<int>(py))) continue;
        if (FScale != 1) {
            const int bx = static_cast<int>(px), by = static_cast<int>(py);
            Spans({bx, by, bx + 1, by + 1}, [&](Pixel* d, int, int, int k) { SpanRop2(d, k, pen.mode, p); });
            continue;
        }
        if (!clip.Contains(static_cast<int>(px), static_cast<int>(py))) continue;
        Pixel& d = FTarget->Row(static_cast<int>(py))[px];
        d = Rop2(pen.mode, d & kMask, p);
    }
}

void DeviceContext::Rectangle(int x1, int y1, int x2, int y2) {
    if (!FTarget) return;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const int64_t l = int64_t{x1} + FOrigin.x, t = int64_t{y1} + FOrigin.y;
    const int64_t r = int64_t{x2} + FOrigin.x, b = int64_t{y2} + FOrigin.y;
    auto fill = [&](int64_t fl, int64_t ft, int64_t fr, int64_t fb, Pixel p) {
        Spans(DevRect(fl, ft, fr, fb), [&](Pixel* d, int, int, int n) { SpanRop2(d, n, pen.mode, p); });
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
    TRect dr = ToDevice(r, FOrigin);
    if (dr.IsEmpty()) return;
    if (FScale != 1) {
        const int64_t n = FScale;
        dr = DevRect(dr.Left * n, dr.Top * n, dr.Right * n, dr.Bottom * n);
    }
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
        const TRect cb = UnscaledClipBounds();
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
                xs.push_back(static_cast<int64_t>(CeilDiv<__int128>(__int128{ax} * (by - ay) + __int128{y - ay} * (bx - ax), by - ay)));
            }
            std::sort(xs.begin(), xs.end());
            for (size_t k = 0; k + 1 < xs.size(); k += 2) {
                int64_t l = std::max<int64_t>(xs[k], cb.Left), r = std::min<int64_t>(xs[k + 1], cb.Right);
                if (l >= r) continue;
                Spans(DevRect(l, y, r, y + 1),
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
    if (FScale == 1) {
        if (DeviceClip().Contains(dx, dy)) FTarget->Set(dx, dy, ResolveColor(c));
        return;
    }
    const Pixel p = ResolveColor(c);
    Spans({dx, dy, dx + 1, dy + 1}, [&](Pixel* d, int, int, int n) { FillPixels(d, n, p); });
}

TColor DeviceContext::GetPixel(int x, int y) const {
    if (!FTarget) return CLR_INVALID;
    const int dx = Near((int64_t{x} + FOrigin.x) * FScale), dy = Near((int64_t{y} + FOrigin.y) * FScale);
    if (!DeviceClip().Contains(dx, dy)) return CLR_INVALID;
    return PixelToColor(FTarget->Get(dx, dy));
}

void DeviceContext::DrawFocusRect(const TRect& r) {
    if (!FTarget || r.IsEmpty()) return;
    const int ox = FOrigin.x, oy = FOrigin.y, s = FScale;
    // Every other pixel of the one-pixel frame is inverted, on a checkerboard fixed to the
    // context's origin (in 1x pixels); each frame pixel is visited once.
    auto dotted = [&](int64_t l, int64_t t, int64_t rr, int64_t b) {
        Spans(DevRect(l + ox, t + oy, rr + ox, b + oy), [&](Pixel* d, int x, int y, int n) {
            if (s == 1) {
                for (int i = ((x - ox + y - oy) & 1); i < n; i += 2) d[i] ^= kMask;
                return;
            }
            for (int i = 0; i < n; ++i)
                if ((((x + i) / s - ox + y / s - oy) & 1) == 0) d[i] ^= kMask;
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
    Spans(ToDevice(r, FOrigin), [](Pixel* d, int, int, int n) {
        for (int i = 0; i < n; ++i) d[i] ^= kMask;
    });
}

}  // namespace lumivane
