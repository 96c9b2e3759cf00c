#include "lumivane/gfx/image/Ico.h"

#include <algorithm>
#include <cstdio>

#include "lumivane/base/Exception.h"
#include "lumivane/gfx/image/DibFormat.h"
#include "lumivane/gfx/image/FileBytes.h"

namespace lumivane {

using namespace dibformat;

namespace {

constexpr size_t kDirSize = 6;
constexpr size_t kEntrySize = 16;
constexpr int kMaxIconSide = 256;
const std::string kPrefix = "ICO: ";

std::vector<Pixel> MaskPalette() { return {0x000000, 0xFFFFFF}; }

std::string ImagePrefix(size_t i) { return kPrefix + "image " + std::to_string(i + 1) + ": "; }

bool IsPng(const uint8_t* data, size_t size) {
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= 8 && std::equal(kPng, kPng + 8, data);
}

IconImage ReadImage(const uint8_t* data, size_t size, const std::string& prefix) {
    DibHeader h = ReadDibHeader(data, size, true, prefix);
    IconImage img;
    img.image = DecodePixels(h, data + h.end, size - h.end, prefix, "the end of the image data");

    const uint64_t xorBytes = RowBytes(h.width, h.bpp) * static_cast<uint64_t>(h.height);
    const uint64_t maskBytes = RowBytes(h.width, 1) * static_cast<uint64_t>(h.height);
    const uint64_t left = size - h.end - xorBytes;
    if (left < maskBytes)
        throw Exception(prefix + "AND mask is missing or truncated (needs " + std::to_string(maskBytes) +
                        " bytes, has " + std::to_string(left) + ")");
    DibHeader mh;
    mh.width = h.width;
    mh.height = h.height;
    mh.bpp = 1;
    mh.palette = MaskPalette();
    mh.xPelsPerMeter = h.xPelsPerMeter;
    mh.yPelsPerMeter = h.yPelsPerMeter;
    img.mask = DecodePixels(mh, data + h.end + xorBytes, static_cast<size_t>(left), prefix,
                            "the end of the image data");
    return img;
}

} // namespace

IconImage IconImage::FromSurfaces(const Surface& colour, const Surface* mask, int bitsPerPixel,
                                  std::vector<Pixel> palette) {
    if (mask && (mask->Width() != colour.Width() || mask->Height() != colour.Height()))
        throw Exception(kPrefix + "mask size " + std::to_string(mask->Width()) + "x" +
                        std::to_string(mask->Height()) + " differs from image size " +
                        std::to_string(colour.Width()) + "x" + std::to_string(colour.Height()));
    IconImage img;
    img.image = Dib::FromSurface(colour, bitsPerPixel, std::move(palette));
    img.mask = Dib(colour.Width(), colour.Height(), 1, MaskPalette());
    for (int y = 0; y < colour.Height(); ++y)
        for (int x = 0; x < colour.Width(); ++x) {
            const bool clear = mask && (mask->Get(x, y) & 0xFFFFFF) == 0xFFFFFF;
            img.mask.SetIndex(x, y, clear ? 1 : 0);
            img.image.SetAlpha(x, y, clear ? 0 : 255);
        }
    return img;
}

Surface IconImage::MaskSurface() const {
    Surface s(mask.Width(), mask.Height(), 0);
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x)
            s.Set(x, y, mask.Index(x, y) ? 0xFFFFFF : 0x000000);
    s.SetMonochrome(true);
    return s;
}

const uint8_t* IconImage::AlphaOrNull() const {
    return image.BitsPerPixel() == 32 && image.HasAlpha() ? image.AlphaChannel().data() : nullptr;
}

std::vector<IconImage> ReadIco(std::span<const uint8_t> file) {
    const uint8_t* data = file.data();
    const size_t size = file.size();
    if (size < kDirSize)
        throw Exception(kPrefix + "file is truncated (needs 6 bytes for the icon directory, has " +
                        std::to_string(size) + ")");
    const unsigned reserved = U16(data), type = U16(data + 2), count = U16(data + 4);
    if (reserved != 0 || type != 1)
        throw Exception(kPrefix + "not an icon file (header reserved " + std::to_string(reserved) + ", type " +
                        std::to_string(type) + "; expected 0 and 1)");
    if (count == 0)
        throw Exception(kPrefix + "icon holds no images (count 0)");
    const size_t dirEnd = kDirSize + kEntrySize * count;
    if (size < dirEnd)
        throw Exception(kPrefix + "icon directory is truncated (needs " + std::to_string(dirEnd) + " bytes for " +
                        std::to_string(count) + " entries, has " + std::to_string(size) + ")");

    std::vector<IconImage> images;
    int64_t pixels = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = data + kDirSize + kEntrySize * i;
        const uint32_t bytes = U32(e + 8), offset = U32(e + 12);
        const std::string prefix = ImagePrefix(i);
        if (offset < dirEnd)
            throw Exception(prefix + "data offset " + std::to_string(offset) +
                            " lies inside the icon directory (which ends at " + std::to_string(dirEnd) + ")");
        if (offset > size || bytes > size - offset)
            throw Exception(prefix + "data (offset " + std::to_string(offset) + ", " + std::to_string(bytes) +
                            " bytes) runs past the end of the file (size " + std::to_string(size) + ")");
        if (IsPng(data + offset, bytes))
            throw Exception(prefix + "PNG-compressed icon images are not supported");
        // Peek at the size before decoding, so that many entries sharing one large image cannot
        // add up to an unbounded allocation.
        DibHeader h = ReadDibHeader(data + offset, bytes, true, prefix);
        if (h.width > kMaxIconSide || h.height > kMaxIconSide)
            throw Exception(prefix + "size " + std::to_string(h.width) + "x" + std::to_string(h.height) +
                            " is too large for an icon (at most 256 a side)");
        pixels += int64_t{h.width} * h.height;
        if (pixels > kMaxIconPixels)
            throw Exception(kPrefix + "images hold more than " + std::to_string(kMaxIconPixels) +
                            " pixels in all");
        images.push_back(ReadImage(data + offset, bytes, prefix));
    }
    return images;
}

std::vector<uint8_t> WriteIco(const std::vector<IconImage>& images) {
    if (images.empty())
        throw Exception(kPrefix + "cannot write an icon without images");
    if (images.size() > 0xFFFF)
        throw Exception(kPrefix + "too many images (" + std::to_string(images.size()) + ", at most 65535)");
    std::vector<std::vector<uint8_t>> blobs;
    for (size_t i = 0; i < images.size(); ++i) {
        const IconImage& img = images[i];
        const std::string prefix = ImagePrefix(i);
        const int w = img.image.Width(), h = img.image.Height();
        if (img.image.Empty() || w > kMaxIconSide || h > kMaxIconSide)
            throw Exception(prefix + "size " + std::to_string(w) + "x" + std::to_string(h) +
                            " is empty or larger than 256 a side");
        if (img.mask.Width() != w || img.mask.Height() != h || img.mask.BitsPerPixel() != 1)
            throw Exception(prefix + "mask must be a 1-bit bitmap of the image's size");
        std::vector<uint8_t> b;
        AppendInfoHeader(b, img.image, 2 * h, RowBytes(w, 1) * static_cast<uint64_t>(h));
        AppendPalette(b, img.image);
        AppendPixels(b, img.image, false);
        AppendPixels(b, img.mask, false);
        blobs.push_back(std::move(b));
    }
    std::vector<uint8_t> out;
    PutU16(out, 0);
    PutU16(out, 1);
    PutU16(out, static_cast<uint16_t>(images.size()));
    size_t offset = kDirSize + kEntrySize * images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        const Dib& d = images[i].image;
        const size_t colours = d.BitsPerPixel() < 8 ? d.Palette().size() : 0;
        out.push_back(static_cast<uint8_t>(d.Width() == 256 ? 0 : d.Width()));
        out.push_back(static_cast<uint8_t>(d.Height() == 256 ? 0 : d.Height()));
        out.push_back(static_cast<uint8_t>(colours));
        out.push_back(0);
        PutU16(out, 1);
        PutU16(out, static_cast<uint16_t>(d.BitsPerPixel()));
        PutU32(out, static_cast<uint32_t>(blobs[i].size()));
        PutU32(out, static_cast<uint32_t>(offset));
        offset += blobs[i].size();
    }
    for (const auto& b : blobs)
        out.insert(out.end(), b.begin(), b.end());
    return out;
}

int BestIconImage(const std::vector<IconImage>& images, int size) {
    int best = -1;
    int64_t bestScore = 0;
    int bestBpp = 0;
    for (size_t i = 0; i < images.size(); ++i) {
        const int side = std::max(images[i].Width(), images[i].Height());
        // Larger images scale down better than smaller ones scale up.
        const int64_t score = side >= size ? side - size : int64_t{1} << 20 | (size - side);
        const int bpp = images[i].image.BitsPerPixel();
        if (best < 0 || score < bestScore || (score == bestScore && bpp > bestBpp)) {
            best = static_cast<int>(i);
            bestScore = score;
            bestBpp = bpp;
        }
    }
    return best;
}

std::vector<IconImage> LoadIcoFile(const std::string& path) {
    std::vector<uint8_t> data = ReadFileBytes(path, kMaxIcoFileSize);
    try {
        return ReadIco(data);
    } catch (const Exception& e) {
        throw Exception(path + ": " + e.Message());
    }
}

void SaveIcoFile(const std::vector<IconImage>& images, const std::string& path) {
    WriteFileBytes(path, WriteIco(images));
}

}  // namespace lumivane
