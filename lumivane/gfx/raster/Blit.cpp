// Copying between device contexts: BitBlt with any raster operation, StretchBlt,
// TransparentBlt and the drawing of icons with their masks.
#include "lumivane/gfx/raster/DeviceContext.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "lumivane/gfx/raster/RasterInternal.h"

namespace lumivane {

using namespace RasterInternal;

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

// A logical rectangle of a context in its surface's pixels: origin applied, then its scale.
struct DeviceBox {
    int64_t left, top, width, height;
    int scale;
    TRect Rect() const { return DevRect(left, top, left + width, top + height); }
};
DeviceBox ToDeviceBox(const DeviceContext& dc, int x, int y, int w, int h) {
    const int64_t n = dc.Scale();
    return {(int64_t{x} + dc.Origin().x) * n, (int64_t{y} + dc.Origin().y) * n, int64_t{w} * n,
            int64_t{h} * n, dc.Scale()};
}

template <bool Transparent>
void Stretch(DeviceContext& dst, const DeviceBox& to, const DeviceContext& src, const DeviceBox& box,
             uint32_t rop, Pixel key);
} // namespace

void BitBlt(DeviceContext& dst, int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
            uint32_t rop) {
    Surface* dt = dst.Target();
    if (!dt || w <= 0 || h <= 0) return;
    if (dst.Scale() != 1 || src.Scale() != 1) {
        // Between scales every source pixel becomes whole blocks: a stretch by whole factors.
        const DeviceBox to = ToDeviceBox(dst, x, y, w, h);
        if (IgnoresSource(rop))
            FillNoSource(dst, to.Rect(), rop);
        else if (src.Target())
            Stretch<false>(dst, to, src, ToDeviceBox(src, sx, sy, w, h), rop, 0);
        return;
    }
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
// Shared by the blits: scales the source box onto the target box (both in surface pixels). With
// Transparent, source pixels of the colour `key` leave the target alone.
// The source pixel under the centre of target pixel k, for a source of n pixels stretched over d
// (0 <= k < d). Scaled boxes of far coordinates outgrow 64-bit products.
int64_t Under(int64_t k, int64_t n, int64_t d) {
    constexpr int64_t kNarrow = int64_t{1} << 31;
    if (k < kNarrow && n < kNarrow && d < kNarrow) return (2 * k + 1) * n / (2 * d);
    return static_cast<int64_t>((__int128{2} * k + 1) * n / (__int128{2} * d));
}
// The same between scales: the pixel is chosen as at 1x (so every 1x pixel of the result is a
// whole block), then the place inside its block where the source is scaled too.
int64_t Under(int64_t k, int64_t n, int64_t d, int sourceScale, int targetScale) {
    if (sourceScale == 1 && targetScale == 1) return Under(k, n, d);
    const int64_t block = k / targetScale, inside = k % targetScale;
    return Under(block, n / sourceScale, d / targetScale) * sourceScale + inside * sourceScale / targetScale;
}

template <bool Transparent>
void Stretch(DeviceContext& dst, const DeviceBox& to, const DeviceContext& src, const DeviceBox& box,
             uint32_t rop, Pixel key) {
    Surface* dt = dst.Target();
    const Surface* st = src.Target();
    const int64_t w = to.width, h = to.height, sw = box.width, sh = box.height;
    if (!dt || !st || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
    const int64_t dl = to.left, dtp = to.top;
    const TRect clipBounds = to.Rect().Intersect(dst.DeviceClip().Bounds());
    if (clipBounds.IsEmpty()) return;
    const int64_t srcLeft = box.left, srcTop = box.top;

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
        const int64_t col = fx + Under(k, sw, w, box.scale, to.scale);
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
        const int64_t srow = fy + Under(py - dtp, sh, h, box.scale, to.scale);
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
        if (dst.Target() && w > 0 && h > 0) FillNoSource(dst, ToDeviceBox(dst, x, y, w, h).Rect(), rop);
        return;
    }
    Stretch<false>(dst, ToDeviceBox(dst, x, y, w, h), src, ToDeviceBox(src, sx, sy, sw, sh), rop, 0);
}

void TransparentBlt(DeviceContext& dst, int x, int y, int w, int h, const DeviceContext& src, int sx, int sy,
                    int sw, int sh, TColor transparent) {
    Stretch<true>(dst, ToDeviceBox(dst, x, y, w, h), src, ToDeviceBox(src, sx, sy, sw, sh), SRCCOPY,
                  ColorToPixel(transparent));
}

void DrawIconImage(DeviceContext& dst, int x, int y, const Surface& image, const Surface* andMask,
                   const uint8_t* alpha) {
    Surface* dt = dst.Target();
    if (!dt || image.Width() == 0 || image.Height() == 0) return;
    if (andMask && (andMask->Width() < image.Width() || andMask->Height() < image.Height())) andMask = nullptr;
    // At a scale above 1 every image pixel covers a block: device pixel (px, py) takes the image
    // pixel ((px - left) / n, (py - top) / n).
    const int64_t n = dst.Scale();
    const int64_t dl = (int64_t{x} + dst.Origin().x) * n, dtp = (int64_t{y} + dst.Origin().y) * n;
    const TRect dr = DevRect(dl, dtp, dl + image.Width() * n, dtp + image.Height() * n);
    const bool mono = dt->Monochrome();
    ForEachSpan(*dt, dst.DeviceClip(), dr, [&](Pixel* d, int px, int py, int count) {
        const int iy = static_cast<int>((py - dr.Top) / n), ix = static_cast<int>((px - dr.Left) / n);
        const Pixel* s = image.Row(iy) + ix;
        const uint8_t* a = alpha ? alpha + static_cast<size_t>(iy) * image.Width() + ix : nullptr;
        const Pixel* m = andMask && !alpha ? andMask->Row(iy) + ix : nullptr;
        const int skew = static_cast<int>((px - dr.Left) % n), step = static_cast<int>(n);
        for (int i = 0; i < count; ++i) {
            const int c = step == 1 ? i : (skew + i) / step; // the image pixel under device pixel i
            if (a) {
                const unsigned k = a[c];
                if (k == 0) continue;
                Pixel r = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                    unsigned sc = (s[c] >> shift) & 0xFF, dc = (d[i] >> shift) & 0xFF;
                    r |= ((sc * k + dc * (255 - k) + 127) / 255) << shift;
                }
                d[i] = r;
            } else if (m) {
                d[i] = ((m[c] & kMask) == kWhite ? (d[i] ^ s[c]) : s[c]) & kMask;
            } else {
                d[i] = s[c] & kMask;
            }
        }
        if (mono) ToMono(d, count);
    });
}

void DrawImageScaled(DeviceContext& dst, const TRect& r, const Surface& image, const Surface* andMask,
                     const uint8_t* alpha) {
    const int w = image.Width(), h = image.Height();
    if (r.IsEmpty() || w == 0 || h == 0) return;
    if (r.Width() == w && r.Height() == h) return DrawIconImage(dst, r.Left, r.Top, image, andMask, alpha);
    if (andMask && (andMask->Width() < w || andMask->Height() < h)) andMask = nullptr;
    // The logical pixels the clip reaches (a device clip's bounds divided by the scale, outward).
    const TRect dev = dst.DeviceClip().Bounds();
    const int n = dst.Scale();
    const TRect reach{FloorDiv(dev.Left, n), FloorDiv(dev.Top, n), CeilDiv(dev.Right, n), CeilDiv(dev.Bottom, n)};
    const TRect vis = r.Intersect(reach.Offset(-dst.Origin().x, -dst.Origin().y));
    if (vis.IsEmpty()) return;
    Surface colour(vis.Width(), vis.Height()), mask(vis.Width(), vis.Height());
    mask.SetMonochrome(true);
    std::vector<uint8_t> a(alpha ? static_cast<size_t>(vis.Width()) * vis.Height() : 0);
    const int64_t rw = r.Width(), rh = r.Height();
    for (int y = 0; y < vis.Height(); ++y) {
        const int sy = static_cast<int>((2 * int64_t{vis.Top - r.Top + y} + 1) * h / (2 * rh));
        for (int x = 0; x < vis.Width(); ++x) {
            const int sx = static_cast<int>((2 * int64_t{vis.Left - r.Left + x} + 1) * w / (2 * rw));
            colour.Set(x, y, image.Get(sx, sy));
            if (andMask) mask.Set(x, y, andMask->Get(sx, sy));
            if (alpha) a[static_cast<size_t>(y) * vis.Width() + x] = alpha[static_cast<size_t>(sy) * w + sx];
        }
    }
    DrawIconImage(dst, vis.Left, vis.Top, colour, andMask ? &mask : nullptr, alpha ? a.data() : nullptr);
}

}  // namespace lumivane
