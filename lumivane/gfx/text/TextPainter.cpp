#include "lumivane/gfx/text/TextPainter.h"

#include <algorithm>

#include "lumivane/gfx/text/FontFace.h"
#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace {

// The device rectangles that may be painted: the context's clip, narrowed by the extra clip
// (logical, moved by the origin and scaled as the context draws).
std::vector<TRect> DeviceClip(const DeviceContext& dc, const TRect* clip) {
    const std::vector<TRect>& rects = dc.DeviceClip().Rects();
    if (!clip) return rects;
    const TPoint o = dc.Origin();
    const int n = dc.Scale();
    const TRect c = clip->Offset(o.x, o.y);
    const TRect extra{c.Left * n, c.Top * n, c.Right * n, c.Bottom * n};
    std::vector<TRect> out;
    for (const TRect& r : rects) {
        const TRect i = r.Intersect(extra);
        if (!i.IsEmpty()) out.push_back(i);
    }
    return out;
}

bool gGlyphsShown = true;

// A monochrome surface keeps only white; every other colour is black.
Pixel ForTarget(const Surface& s, Pixel p) {
    if (!s.Monochrome()) return p;
    return p == 0xFFFFFF ? 0xFFFFFF : 0x000000;
}

void Fill(Surface& s, const std::vector<TRect>& clips, const TRect& r, Pixel p) {
    for (const TRect& c : clips) {
        TRect f = r.Intersect(c);
        for (int y = f.Top; y < f.Bottom; ++y) {
            Pixel* row = s.Row(y);
            for (int x = f.Left; x < f.Right; ++x) row[x] = p;
        }
    }
}

// Composites coverage over the target: alpha blend on colour surfaces, a 50% threshold on
// monochrome ones.
void Composite(Surface& s, const std::vector<TRect>& clips, const Glyph& g, int gx, int gy, Pixel p) {
    const TRect box{gx, gy, gx + g.width, gy + g.height};
    const bool mono = s.Monochrome();
    const unsigned r = (p >> 16) & 0xFF, gr = (p >> 8) & 0xFF, b = p & 0xFF;
    for (const TRect& c : clips) {
        TRect f = box.Intersect(c);
        for (int y = f.Top; y < f.Bottom; ++y) {
            const uint8_t* cov = g.coverage.data() + static_cast<size_t>(y - gy) * g.width - gx;
            Pixel* row = s.Row(y);
            for (int x = f.Left; x < f.Right; ++x) {
                unsigned a = cov[x];
                if (a == 0) continue;
                if (mono) {
                    if (a >= 128) row[x] = p;
                } else if (a == 255) {
                    row[x] = p;
                } else {
                    Pixel d = row[x];
                    unsigned na = 255 - a;
                    unsigned nr = (r * a + ((d >> 16) & 0xFF) * na + 127) / 255;
                    unsigned ng = (gr * a + ((d >> 8) & 0xFF) * na + 127) / 255;
                    unsigned nb = (b * a + (d & 0xFF) * na + 127) / 255;
                    row[x] = (nr << 16) | (ng << 8) | nb;
                }
            }
        }
    }
}

} // namespace

void SetGlyphsShown(bool shown) { gGlyphsShown = shown; }

// At a scale n above 1 the text keeps its logical layout (the font's own advances, cell and
// lines, each times n) and its glyphs come from the font at n times the size, placed at the
// scaled pen positions: sharp, and where the 1x text would be.
void PaintTextLine(DeviceContext& dc, const Font& font, int x, int y, std::string_view text,
                   const TRect* clip, const std::vector<bool>& accel) {
    Surface* s = dc.Target();
    if (!s) return;
    const std::vector<TRect> clips = DeviceClip(dc, clip);
    if (clips.empty()) return;
    const int n = dc.Scale();
    const Font& ink = font.AtScale(n);
    const TextMetrics& m = font.Metrics();
    const TPoint o = dc.Origin();
    const int left = (x + o.x) * n, top = (y + o.y) * n;
    const Pixel colour = ForTarget(*s, ColorToPixel(dc.textColor));
    const bool lines = font.Requested().underline || font.Requested().strikeOut;
    // The whole width only where something spans it.
    const int width = dc.bkMode == OPAQUE || lines ? font.Width(text) * n : 0;

    if (dc.bkMode == OPAQUE)
        Fill(*s, clips, TRect{left, top, left + width, top + m.height * n}, ForTarget(*s, ColorToPixel(dc.bkColor)));

    // A long line (an edit holding a book) is mostly outside the clip: glyphs left of it are
    // only counted, and the walk ends past its right edge (allowing for ink that hangs left of
    // its pen position, as combining marks do).
    TRect bounds = clips.front();
    for (const TRect& c : clips) {
        bounds.Left = std::min(bounds.Left, c.Left);
        bounds.Right = std::max(bounds.Right, c.Right);
    }
    const int stopAt = bounds.Right + m.height * n;
    const int baseline = top + m.ascent * n;
    int pen = left;
    for (size_t i = 0; i < text.size() && pen <= stopAt;) {
        const size_t at = i;
        const auto b = static_cast<unsigned char>(text[i]);
        char32_t cp = b;
        if (b < 0x80)
            ++i;
        else
            cp = NextChar(text, i);
        const int advance = font.GlyphOf(cp).advance * n;
        if (gGlyphsShown) {
            const Glyph& g = ink.GlyphOf(cp);
            const int gx = pen + g.left;
            if (!g.coverage.empty() && gx < bounds.Right && gx + g.width > bounds.Left)
                Composite(*s, clips, g, gx, baseline - g.top, colour);
        }
        if (at < accel.size() && accel[at]) {
            int ut = top + font.UnderlineTop() * n;
            Fill(*s, clips, TRect{pen, ut, pen + advance, ut + font.UnderlineThickness() * n}, colour);
        }
        pen += advance;
    }
    if (font.Requested().underline) {
        int ut = top + font.UnderlineTop() * n;
        Fill(*s, clips, TRect{left, ut, left + width, ut + font.UnderlineThickness() * n}, colour);
    }
    if (font.Requested().strikeOut) {
        int st = top + font.StrikeOutTop() * n;
        Fill(*s, clips, TRect{left, st, left + width, st + font.StrikeOutThickness() * n}, colour);
    }
}

}  // namespace lumivane
