#include "lumivane/gfx/image/Bmp.h"

#include <cstdio>

#include "lumivane/base/Exception.h"
#include "lumivane/gfx/image/DibFormat.h"
#include "lumivane/gfx/image/FileBytes.h"

namespace lumivane {

using namespace dibformat;

namespace {

constexpr size_t kFileHeaderSize = 14;
const std::string kPrefix = "BMP: ";

std::string Hex2(uint8_t b) {
    char s[8];
    std::snprintf(s, sizeof s, "0x%02X", b);
    return s;
}

int32_t StoredHeight(const Dib& d) { return d.TopDown() ? -d.Height() : d.Height(); }

void CheckWritable(const Dib& d) {
    if (d.Empty())
        throw Exception(kPrefix + "cannot write an empty bitmap");
}

} // namespace

Dib ReadBmp(std::span<const uint8_t> file) {
    const uint8_t* data = file.data();
    const size_t size = file.size();
    if (size < kFileHeaderSize)
        throw Exception(kPrefix + "file is truncated (needs 14 bytes for the file header, has " +
                        std::to_string(size) + ")");
    if (data[0] != 'B' || data[1] != 'M')
        throw Exception(kPrefix + "not a BMP file (starts with " + Hex2(data[0]) + " " + Hex2(data[1]) +
                        ", expected \"BM\")");
    const uint32_t offset = U32(data + 10);
    DibHeader h = ReadDibHeader(data + kFileHeaderSize, size - kFileHeaderSize, false, kPrefix);
    const size_t headersEnd = kFileHeaderSize + h.end;
    if (offset > size)
        throw Exception(kPrefix + "pixel data offset " + std::to_string(offset) +
                        " lies past the end of the file (size " + std::to_string(size) + ")");
    if (offset < headersEnd)
        throw Exception(kPrefix + "pixel data offset " + std::to_string(offset) +
                        " lies inside the headers (which end at " + std::to_string(headersEnd) + ")");
    return DecodePixels(h, data + offset, size - offset, kPrefix, "the end of the file");
}

Dib ReadPackedDib(std::span<const uint8_t> data) {
    DibHeader h = ReadDibHeader(data.data(), data.size(), false, kPrefix);
    return DecodePixels(h, data.data() + h.end, data.size() - h.end, kPrefix, "the end of the data");
}

std::vector<uint8_t> WritePackedDib(const Dib& d) {
    CheckWritable(d);
    std::vector<uint8_t> out;
    AppendInfoHeader(out, d, StoredHeight(d), 0);
    AppendPalette(out, d);
    AppendPixels(out, d, d.TopDown());
    return out;
}

std::vector<uint8_t> WriteBmp(const Dib& d) {
    CheckWritable(d);
    std::vector<uint8_t> dib = WritePackedDib(d);
    const size_t offset = kFileHeaderSize + kInfoHeaderSize + d.Palette().size() * 4;
    const size_t total = kFileHeaderSize + dib.size();
    if (total > UINT32_MAX)
        throw Exception(kPrefix + "bitmap of " + std::to_string(total) + " bytes is too large for a BMP file");
    std::vector<uint8_t> out;
    out.reserve(total);
    out.push_back('B');
    out.push_back('M');
    PutU32(out, static_cast<uint32_t>(total));
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(offset));
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

Dib LoadBmpFile(const std::string& path) {
    std::vector<uint8_t> data = ReadFileBytes(path, kMaxBmpFileSize);
    try {
        return ReadBmp(data);
    } catch (const Exception& e) {
        throw Exception(path + ": " + e.Message());
    }
}

void SaveBmpFile(const Dib& d, const std::string& path) { WriteFileBytes(path, WriteBmp(d)); }

}  // namespace lumivane
