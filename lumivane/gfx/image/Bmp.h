#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "lumivane/gfx/image/Dib.h"

namespace lumivane {

// BMP files: a 14-byte file header ("BM", size, offset of the pixels) before a device-independent
// bitmap. Reading takes 1, 4, 8, 24 and 32 bits per pixel, uncompressed (32 bits also with the
// standard bit-field masks), rows bottom-up or top-down, with a 12, 40, 52, 56, 108 or 124-byte
// header. Writing always uses the 40-byte header, keeps the palette, resolution and row order,
// so reading the result gives back an equal Dib. All failures throw Exception ("BMP: ...").

Dib ReadBmp(std::span<const uint8_t> file);
std::vector<uint8_t> WriteBmp(const Dib& d);

// A packed DIB: the same bitmap without the file header, its pixels right after the palette
// (as held by clipboards and resources).
Dib ReadPackedDib(std::span<const uint8_t> data);
std::vector<uint8_t> WritePackedDib(const Dib& d);

// Whole files on disk; files above kMaxBmpFileSize are refused before being read.
constexpr size_t kMaxBmpFileSize = size_t{512} << 20;
Dib LoadBmpFile(const std::string& path);
void SaveBmpFile(const Dib& d, const std::string& path);

}  // namespace lumivane
