#pragma once
#include <cstdint>
#include <vector>

#include "lumivane/gfx/raster/Color.h"
#include "lumivane/gfx/raster/Surface.h"

namespace lumivane {

// A device-independent bitmap held in memory: the pixels of a BMP file or of one icon image.
// Rows are kept top-down whatever the file's order; TopDown() only remembers how the file stored
// them, so that writing gives back the same layout. Indexed depths (1, 4, 8 bits) keep one index
// a pixel and a palette of 0x00RRGGBB entries; 24 and 32 bits keep one 0x00RRGGBB pixel each, and
// 32 bits also one alpha byte a pixel (icons use it; plain bitmaps carry it along untouched).
class Dib {
public:
    Dib() = default;
    // Throws Exception for an unsupported depth, a size beyond Surface's limits or a palette
    // longer than the depth allows. An indexed bitmap without a palette gets StandardPalette(bpp).
    // Every pixel starts as index 0 (indexed) or black with alpha 0.
    Dib(int width, int height, int bitsPerPixel, std::vector<Pixel> palette = {});

    // Builds a bitmap of the given depth from a surface. Indexed depths map each pixel to the
    // palette entry of the same colour, else to the nearest one (ties: the lowest index). Without
    // a palette: 1 bit uses black and white, 4 bits the standard 16 colours, 8 bits the surface's
    // own colours when there are at most 256 of them, else StandardPalette(8).
    static Dib FromSurface(const Surface& s, int bitsPerPixel, std::vector<Pixel> palette = {});

    // The usual palette of an indexed depth: black and white; the sixteen standard colours;
    // a 6x6x6 colour cube followed by 40 greys.
    static std::vector<Pixel> StandardPalette(int bitsPerPixel);

    bool Empty() const { return FWidth == 0 || FHeight == 0; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int BitsPerPixel() const { return FBpp; }
    bool Indexed() const { return FBpp > 0 && FBpp <= 8; }

    const std::vector<Pixel>& Palette() const { return FPalette; }
    // Throws Exception when the palette is longer than the depth allows or the bitmap is not indexed.
    void SetPalette(std::vector<Pixel> palette);

    // Resolution in pixels per metre, kept from and written to files (3780 is 96 dots per inch).
    int XPelsPerMeter() const { return FXPelsPerMeter; }
    int YPelsPerMeter() const { return FYPelsPerMeter; }
    void SetResolution(int xPelsPerMeter, int yPelsPerMeter) {
        FXPelsPerMeter = xPelsPerMeter;
        FYPelsPerMeter = yPelsPerMeter;
    }
    bool TopDown() const { return FTopDown; }
    void SetTopDown(bool topDown) { FTopDown = topDown; }

    // Pixel access; x and y must lie inside the bitmap (not checked, as for Surface).
    // Index: the palette index of an indexed bitmap (0 for other depths). SetIndex keeps the low
    // bits that the depth holds.
    unsigned Index(int x, int y) const;
    void SetIndex(int x, int y, unsigned index);
    // Colour: the palette entry (black for an index past the palette's end) or the pixel itself.
    // SetColor on an indexed bitmap stores the nearest palette entry.
    Pixel GetColor(int x, int y) const;
    void SetColor(int x, int y, Pixel color);
    // Alpha bytes of a 32-bit bitmap (0 for other depths); AlphaChannel() is row-major, top-down.
    uint8_t Alpha(int x, int y) const;
    void SetAlpha(int x, int y, uint8_t alpha);
    const std::vector<uint8_t>& AlphaChannel() const { return FAlpha; }
    // True for a 32-bit bitmap with any alpha byte other than 0.
    bool HasAlpha() const;

    // A 1-bit bitmap whose palette is exactly black and white (either order).
    bool IsMonochrome() const;
    // The pixels as a surface; a monochrome bitmap gives a monochrome surface when `allowMono`.
    Surface ToSurface(bool allowMono = true) const;

    // Palette index nearest to a colour: an exact match if there is one, else the smallest squared
    // RGB distance, ties to the lowest index.
    static unsigned NearestIndex(const std::vector<Pixel>& palette, Pixel color);

    // Row access for the codecs: indices (indexed) or pixels (24/32 bits), top-down.
    uint8_t* IndexRow(int y) { return FIndices.data() + static_cast<size_t>(y) * FWidth; }
    const uint8_t* IndexRow(int y) const { return FIndices.data() + static_cast<size_t>(y) * FWidth; }
    Pixel* ColorRow(int y) { return FColors.data() + static_cast<size_t>(y) * FWidth; }
    const Pixel* ColorRow(int y) const { return FColors.data() + static_cast<size_t>(y) * FWidth; }
    uint8_t* AlphaRow(int y) { return FAlpha.data() + static_cast<size_t>(y) * FWidth; }
    const uint8_t* AlphaRow(int y) const { return FAlpha.data() + static_cast<size_t>(y) * FWidth; }

    friend bool operator==(const Dib&, const Dib&) = default;

private:
    int FWidth = 0;
    int FHeight = 0;
    int FBpp = 0;
    int FXPelsPerMeter = 0;
    int FYPelsPerMeter = 0;
    bool FTopDown = false;
    std::vector<Pixel> FPalette;
    std::vector<uint8_t> FIndices;
    std::vector<Pixel> FColors;
    std::vector<uint8_t> FAlpha;
};

}  // namespace lumivane
