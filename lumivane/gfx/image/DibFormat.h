#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lumivane/gfx/image/Dib.h"

namespace lumivane {

// The on-disk device-independent bitmap layout shared by BMP files and icon images: an info
// header, optional colour masks, a palette and rows padded to four bytes. Used by the BMP and ICO
// codecs only.
namespace dibformat {

enum : uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_JPEG = 4, BI_PNG = 5 };

constexpr uint32_t kInfoHeaderSize = 40;

struct DibHeader {
    uint32_t headerSize = 0;
    int width = 0;
    int height = 0; // rows of the picture (for an icon: half the stored height)
    bool topDown = false;
    int bpp = 0;
    uint32_t compression = BI_RGB;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    std::vector<Pixel> palette;
    size_t end = 0; // bytes from the start of the header to the end of the masks and palette
};

// Reads an info header (12, 40, 52, 56, 108 or 124 bytes), any colour masks and the palette from
// data[0..size). With `icon` the stored height counts the image and its mask and must be positive
// and even. Every error message begins with `prefix` ("BMP: ").
DibHeader ReadDibHeader(const uint8_t* data, size_t size, bool icon, const std::string& prefix);

// Bytes in one stored row: width * bpp bits padded to a multiple of four bytes.
uint64_t RowBytes(int width, int bpp);

// Decodes the header's rows from data[0..size), which must hold at least RowBytes * height bytes
// (checked: the message names both counts and `what`, e.g. "the end of the file").
Dib DecodePixels(const DibHeader& h, const uint8_t* data, size_t size, const std::string& prefix,
                 const std::string& what);

// Appends a 40-byte info header for `d`, the palette and then the rows. `storedHeight` is the
// height written to the header (twice the height for an icon, negative for top-down rows);
// `extraImageBytes` is added to the image size field (an icon's mask).
void AppendInfoHeader(std::vector<uint8_t>& out, const Dib& d, int32_t storedHeight,
                      uint64_t extraImageBytes);
void AppendPalette(std::vector<uint8_t>& out, const Dib& d);
// Rows bottom-up unless `topDown`.
void AppendPixels(std::vector<uint8_t>& out, const Dib& d, bool topDown);

// Little-endian helpers; the caller has checked the bounds.
inline uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t U32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
inline int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
void PutU16(std::vector<uint8_t>& out, uint16_t v);
void PutU32(std::vector<uint8_t>& out, uint32_t v);

} // namespace dibformat

}  // namespace lumivane
