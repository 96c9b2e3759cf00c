#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "lumivane/gfx/raster/Surface.h"

namespace lumivane {

// A PNG file read with libpng: every colour type and depth, interlaced or not, a palette's or a
// colour key's transparency included, as 8-bit colour and straight (not premultiplied) alpha.
struct PngImage {
    Surface colour;               // 0x00RRGGBB
    std::vector<uint8_t> alpha;   // one byte a pixel, row-major; 255 everywhere for an opaque file
};

// The first bytes of every PNG file.
bool LooksLikePng(std::span<const uint8_t> data);
// Throws Exception ("PNG: ...") for a damaged or truncated file, or one larger than a surface may
// be (Surface::kMaxSide, Surface::kMaxArea); a file's bytes after its image are not read.
PngImage ReadPng(std::span<const uint8_t> file);

constexpr size_t kMaxPngFileSize = size_t{256} << 20;

}  // namespace lumivane
