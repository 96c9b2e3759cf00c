#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumivane {

// The payload of a picture's Data property in a layout: one length byte and the graphic's class
// name (TBitmap, TIcon), then the graphic's file. A bitmap's file is preceded by its length as a
// 32-bit little-endian count.
struct TPictureData {
    std::string ClassName;
    std::vector<uint8_t> File;
};

// An Exception with a clear message when the data is short, the name is not an identifier or
// a bitmap's count disagrees with the bytes that follow.
TPictureData ParsePictureData(const std::vector<uint8_t>& data);
std::vector<uint8_t> ComposePictureData(std::string_view className, const std::vector<uint8_t>& file);

}  // namespace lumivane
