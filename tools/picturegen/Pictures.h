#pragma once
#include <cstdint>
#include <vector>

// The notice window's pictures, drawn by code so that they are reproducible byte for byte.
// Each is an indexed or true-colour raster, top row first; the writer picks the file format.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> palette; // 0x00RRGGBB
    std::vector<uint8_t> index;    // width * height palette indices
    std::vector<uint8_t> mask;     // icons: 1 = transparent, empty otherwise
};

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB
};

// A dark red heart crossed by a green pulse line, 32x32, transparent outside the heart.
IndexedPicture MakeHeartIcon();
// A seamless light grey-green stucco texture, 115x103.
RgbPicture MakeStuccoTexture();
// A maroon cross and its engraved (disabled) twin, 18x18 each, on olive; standard 16 colours.
IndexedPicture MakeCrossStrip();
// The standard 16-colour palette, in its usual order.
std::vector<uint32_t> StandardPalette16();
