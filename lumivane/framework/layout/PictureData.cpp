#include "lumivane/framework/layout/PictureData.h"

#include "lumivane/framework/ClassInfo.h"
#include "lumivane/framework/Component.h"
#include "lumivane/base/Exception.h"

namespace lumivane {

namespace {
bool CountsItsLength(std::string_view className) {
    return SameText(className, "TBitmap") || SameText(className, "TPngImage");
}
// A PNG file's signature begins with a byte no sane length has as its lowest.
bool UncountedPng(std::string_view className, std::span<const uint8_t> data, size_t pos) {
    return SameText(className, "TPngImage") && data.size() - pos >= 4 && data[pos] == 0x89 && data[pos + 1] == 'P' &&
           data[pos + 2] == 'N' && data[pos + 3] == 'G';
}
}  // namespace

TPictureData ParsePictureData(std::span<const uint8_t> data) {
    if (data.empty()) throw Exception("Picture data is empty");
    size_t n = data[0];
    if (n == 0) throw Exception("Picture data names no graphic class");
    if (data.size() - 1 < n) throw Exception("Picture data ends inside the graphic class name");
    TPictureData out;
    out.ClassName.assign(reinterpret_cast<const char*>(data.data() + 1), n);
    if (!IsValidIdent(out.ClassName)) throw Exception("Picture data has a bad graphic class name");
    size_t pos = 1 + n;
    if (CountsItsLength(out.ClassName) && !UncountedPng(out.ClassName, data, pos)) {
        const std::string file = SameText(out.ClassName, "TBitmap") ? "bitmap" : "file";
        if (data.size() - pos < 4) throw Exception("Picture data ends before the " + file + "'s length");
        uint32_t len = uint32_t{data[pos]} | uint32_t{data[pos + 1]} << 8 | uint32_t{data[pos + 2]} << 16 |
                       uint32_t{data[pos + 3]} << 24;
        pos += 4;
        if (len != data.size() - pos)
            throw Exception("Picture data: the " + file + "'s length is " + std::to_string(len) + " bytes, but " +
                            std::to_string(data.size() - pos) + " follow");
    }
    out.File.assign(data.begin() + static_cast<std::ptrdiff_t>(pos), data.end());
    return out;
}

std::vector<uint8_t> ComposePictureData(std::string_view className, const std::vector<uint8_t>& file) {
    if (className.empty() || className.size() > 255 || !IsValidIdent(className))
        throw Exception("Bad graphic class name for picture data");
    std::vector<uint8_t> out;
    out.reserve(1 + className.size() + 4 + file.size());
    out.push_back(static_cast<uint8_t>(className.size()));
    out.insert(out.end(), className.begin(), className.end());
    if (CountsItsLength(className)) {
        if (file.size() > 0xFFFFFFFFu) throw Exception("Bitmap too large for picture data");
        auto len = static_cast<uint32_t>(file.size());
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(len >> (8 * i)));
    }
    out.insert(out.end(), file.begin(), file.end());
    return out;
}

}  // namespace lumivane
