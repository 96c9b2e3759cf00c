#include "lumivane/gfx/image/Dib.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "lumivane/base/Exception.h"

namespace lumivane {

namespace {

bool SupportedDepth(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32; }

size_t MaxPaletteSize(int bpp) { return bpp <= 8 ? size_t{1} << bpp : 0; }

} // namespace

Dib::Dib(int width, int height, int bitsPerPixel, std::vector<Pixel> palette) {
    if (!SupportedDepth(bitsPerPixel))
        throw Exception("Bitmap: unsupported bit depth " + std::to_string(bitsPerPixel) +
                        " (supported: 1, 4, 8, 24, 32)");
    if (width < 0 || height < 0 || width > Surface::kMaxSide || height > Surface::kMaxSide ||
        int64_t{width} * height > Surface::kMaxArea)
        throw Exception("Bitmap: size " + std::to_string(width) + "x" + std::to_string(height) +
                        " is negative or too large");
    FWidth = width;
    FHeight = height;
    FBpp = bitsPerPixel;
    const size_t area = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (Indexed()) {
        SetPalette(palette.empty() ? StandardPalette(bitsPerPixel) : std::move(palette));
        FIndices.assign(area, 0);
    } else {
        if (!palette.empty())
            throw Exception("Bitmap: a " + std::to_string(bitsPerPixel) + "-bit bitmap has no palette");
        FColors.assign(area, 0);
        if (FBpp == 32)
            FAlpha.assign(area, 0);
    }
}

std::vector<Pixel> Dib::StandardPalette(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return {0x000000, 0xFFFFFF};
    case 4:
        return {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    case 8: {
        std::vector<Pixel> p;
        p.reserve(256);
        for (unsigned r = 0; r < 6; ++r)
            for (unsigned g = 0; g < 6; ++g)
                for (unsigned b = 0; b < 6; ++b)
                    p.push_back((r * 51) << 16 | (g * 51) << 8 | (b * 51));
        // Greys between the cube's own steps.
        for (unsigned i = 1; p.size() < 256; ++i) {
            unsigned v = i * 255 / 41;
            p.push_back(v << 16 | v << 8 | v);
        }
        return p;
    }
    default:
        return {};
    }
}

void Dib::SetPalette(std::vector<Pixel> palette) {
    if (!Indexed())
        throw Exception("Bitmap: a " + std::to_string(FBpp) + "-bit bitmap has no palette");
    if (palette.size() > MaxPaletteSize(FBpp))
        throw Exception("Bitmap: palette of " + std::to_string(palette.size()) + " entries is too long for " +
                        std::to_string(FBpp) + " bits per pixel");
    for (Pixel& p : palette)
        p &= 0xFFFFFF;
    FPalette = std::move(palette);
}

unsigned Dib::Index(int x, int y) const { return Indexed() ? IndexRow(y)[x] : 0; }

void Dib::SetIndex(int x, int y, unsigned index) {
    if (Indexed())
        IndexRow(y)[x] = static_cast<uint8_t>(index & (MaxPaletteSize(FBpp) - 1));
}

Pixel Dib::GetColor(int x, int y) const {
    if (!Indexed())
        return ColorRow(y)[x];
    unsigned i = IndexRow(y)[x];
    return i < FPalette.size() ? FPalette[i] : 0;
}

void Dib::SetColor(int x, int y, Pixel color) {
    if (Indexed())
        IndexRow(y)[x] = static_cast<uint8_t>(NearestIndex(FPalette, color));
    else
        ColorRow(y)[x] = color & 0xFFFFFF;
}

uint8_t Dib::Alpha(int x, int y) const { return FBpp == 32 ? AlphaRow(y)[x] : 0; }

void Dib::SetAlpha(int x, int y, uint8_t alpha) {
    if (FBpp == 32)
        AlphaRow(y)[x] = alpha;
}

bool Dib::HasAlpha() const {
    for (uint8_t a : FAlpha)
        if (a != 0)
            return true;
    return false;
}

bool Dib::IsMonochrome() const {
    if (FBpp != 1 || FPalette.size() != 2)
        return false;
    return (FPalette[0] == 0x000000 && FPalette[1] == 0xFFFFFF) ||
           (FPalette[0] == 0xFFFFFF && FPalette[1] == 0x000000);
}

Surface Dib::ToSurface(bool allowMono) const {
    Surface s(FWidth, FHeight, 0);
    for (int y = 0; y < FHeight; ++y) {
        Pixel* out = s.Row(y);
        if (Indexed()) {
            const uint8_t* in = IndexRow(y);
            for (int x = 0; x < FWidth; ++x)
                out[x] = in[x] < FPalette.size() ? FPalette[in[x]] : 0;
        } else {
            const Pixel* in = ColorRow(y);
            std::copy(in, in + FWidth, out);
        }
    }
    if (allowMono && IsMonochrome())
        s.SetMonochrome(true);
    return s;
}

unsigned Dib::NearestIndex(const std::vector<Pixel>& palette, Pixel color) {
    color &= 0xFFFFFF;
    unsigned best = 0;
    int64_t bestDist = INT64_MAX;
    for (size_t i = 0; i < palette.size(); ++i) {
        Pixel p = palette[i];
        if (p == color)
            return static_cast<unsigned>(i);
        int dr = static_cast<int>((p >> 16) & 0xFF) - static_cast<int>((color >> 16) & 0xFF);
        int dg = static_cast<int>((p >> 8) & 0xFF) - static_cast<int>((color >> 8) & 0xFF);
        int db = static_cast<int>(p & 0xFF) - static_cast<int>(color & 0xFF);
        int64_t d = int64_t{dr} * dr + int64_t{dg} * dg + int64_t{db} * db;
        if (d < bestDist) {
            bestDist = d;
            best = static_cast<unsigned>(i);
        }
    }
    return best;
}

Dib Dib::FromSurface(const Surface& s, int bitsPerPixel, std::vector<Pixel> palette) {
    if (palette.empty() && bitsPerPixel == 8) {
        // The surface's own colours, in order of first appearance, when they fit.
        std::unordered_map<Pixel, unsigned> seen;
        for (Pixel p : s.Pixels()) {
            if (seen.emplace(p & 0xFFFFFF, 0).second) {
                palette.push_back(p & 0xFFFFFF);
                if (palette.size() > 256)
                    break;
            }
        }
        if (palette.size() > 256)
            palette = StandardPalette(8);
    }
    Dib d(s.Width(), s.Height(), bitsPerPixel, std::move(palette));
    if (d.Indexed()) {
        // Pictures hold few colours; remember each one's index instead of searching again.
        std::unordered_map<Pixel, uint8_t> cache;
        for (int y = 0; y < d.FHeight; ++y) {
            const Pixel* in = s.Row(y);
            uint8_t* out = d.IndexRow(y);
            for (int x = 0; x < d.FWidth; ++x) {
                Pixel c = in[x] & 0xFFFFFF;
                auto it = cache.find(c);
                if (it == cache.end())
                    it = cache.emplace(c, static_cast<uint8_t>(NearestIndex(d.FPalette, c))).first;
                out[x] = it->second;
            }
        }
    } else {
        for (int y = 0; y < d.FHeight; ++y) {
            const Pixel* in = s.Row(y);
            Pixel* out = d.ColorRow(y);
            for (int x = 0; x < d.FWidth; ++x)
                out[x] = in[x] & 0xFFFFFF;
        }
    }
    return d;
}

}  // namespace lumivane
