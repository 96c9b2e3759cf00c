#pragma once
#include <cstdint>
#include <vector>

#include "lumivane/gfx/raster/Color.h"
#include "lumivane/gfx/raster/Geometry.h"

namespace lumivane {

// A 32-bit pixel surface, rows top-down, pixels 0x00RRGGBB. A monochrome surface holds only
// black (0x000000) and white (0x00FFFFFF); drawing into it converts colours (see DeviceContext).
class Surface {
public:
    // Largest side and area a surface may have; guards every allocation driven by outside data.
    static constexpr int kMaxSide = 16384;
    static constexpr int64_t kMaxArea = 64ll * 1024 * 1024;

    Surface() = default;
    Surface(int width, int height, Pixel fill = 0xFFFFFF) { Resize(width, height, fill); }

    // Throws Exception when the size is negative or beyond the limits above.
    void Resize(int width, int height, Pixel fill = 0xFFFFFF);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    TRect Bounds() const { return {0, 0, FWidth, FHeight}; }
    bool Monochrome() const { return FMonochrome; }
    // Switching to monochrome maps every pixel: white stays white, everything else black.
    void SetMonochrome(bool mono);

    Pixel* Row(int y) { return FPixels.data() + static_cast<size_t>(y) * FWidth; }
    const Pixel* Row(int y) const { return FPixels.data() + static_cast<size_t>(y) * FWidth; }
    Pixel Get(int x, int y) const { return Row(y)[x]; }
    void Set(int x, int y, Pixel p) { Row(y)[x] = p; }
    std::vector<Pixel>& Pixels() { return FPixels; }
    const std::vector<Pixel>& Pixels() const { return FPixels; }

private:
    int FWidth = 0;
    int FHeight = 0;
    bool FMonochrome = false;
    std::vector<Pixel> FPixels;
};

// Writes the surface as an RGB PNG; throws Exception on failure.
void SavePng(const Surface& s, const char* path);

}  // namespace lumivane
