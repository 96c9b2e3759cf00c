#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumivane {

// The payload of a picture's Data property in a layout: one length byte and the graphic's class
// name (TBitmap, TIcon, TPngImage), then the graphic's file. A bitmap's file, and a PNG file, is
// preceded by its length as a 32-bit little-endian count (a PNG file straight after the name, as
// other programs store it, is read too).
struct TPictureData {
    std::string ClassName;
    std::vector<uint8_t> File;
};

// An Exception with a clear message when the data is short, the name is not an identifier or
// a bitmap's count disagrees with the bytes that follow.
TPictureData ParsePictureData(std::span<const uint8_t> data);
std::vector<uint8_t> ComposePictureData(std::string_view className, const std::vector<uint8_t>& file);

}  // namespace lumivane
