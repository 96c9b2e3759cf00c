#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "lumivane/gfx/image/Dib.h"
#include "lumivane/gfx/raster/Surface.h"

namespace lumivane {

// One image of an icon: the colour (XOR) bitmap and its 1-bit AND mask of the same size. A mask
// pixel of index 1 (white) is transparent, 0 (black) opaque. A 32-bit image may also carry
// per-pixel alpha; its mask stays for viewers that ignore alpha.
struct IconImage {
    Dib image;
    Dib mask;

    int Width() const { return image.Width(); }
    int Height() const { return image.Height(); }

    // An image of the given depth from a picture and a mask surface of the same size (white:
    // transparent; none: all opaque). A 32-bit image gets alpha 0 where transparent, else 255.
    // Indexed depths map colours as Dib::FromSurface does. Throws Exception on a size mismatch.
    static IconImage FromSurfaces(const Surface& colour, const Surface* mask, int bitsPerPixel,
                                  std::vector<Pixel> palette = {});

    // What DrawIconImage takes: the colour pixels, the mask as a monochrome surface, and the
    // alpha bytes of a 32-bit image that has any (else nullptr, and the mask applies).
    Surface ColorSurface() const { return image.ToSurface(false); }
    Surface MaskSurface() const;
    const uint8_t* AlphaOrNull() const;

    friend bool operator==(const IconImage&, const IconImage&) = default;
};

// ICO files: a directory of entries, each a packed DIB whose stored height counts the image and
// then the mask. Reads 1, 4, 8, 24 and 32-bit images; PNG-compressed entries are refused.
// All failures throw Exception ("ICO: ..."). Writing keeps depth, palette, mask, alpha and
// resolution; images may be at most 256 pixels a side.
std::vector<IconImage> ReadIco(std::span<const uint8_t> file);
std::vector<uint8_t> WriteIco(const std::vector<IconImage>& images);

// The index of the image that suits a size best: that size exactly, else the smallest larger
// one, else the largest; among equal sizes the deepest colour. -1 for no images.
int BestIconImage(const std::vector<IconImage>& images, int size);

// Largest total of pixels over all images of one icon file.
constexpr int64_t kMaxIconPixels = 16ll * 1024 * 1024;
constexpr size_t kMaxIcoFileSize = size_t{64} << 20;
std::vector<IconImage> LoadIcoFile(const std::string& path);
void SaveIcoFile(const std::vector<IconImage>& images, const std::string& path);

}  // namespace lumivane
