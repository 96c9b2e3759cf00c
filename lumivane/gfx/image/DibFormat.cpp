#include "lumivane/gfx/image/DibFormat.h"

#include <limits>

#include "lumivane/base/Exception.h"

namespace lumivane {

namespace dibformat {

namespace {

std::string Str(uint64_t v) { return std::to_string(v); }
std::string Str(int64_t v) { return std::to_string(v); }

const char* CompressionName(uint32_t c) {
    switch (c) {
    case BI_RLE8: return " (RLE8)";
    case BI_RLE4: return " (RLE4)";
    case BI_BITFIELDS: return " (bit fields)";
    case BI_JPEG: return " (JPEG)";
    case BI_PNG: return " (PNG)";
    default: return "";
    }
}

} // namespace

uint64_t RowBytes(int width, int bpp) {
    return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bpp) + 31) / 32 * 4;
}

DibHeader ReadDibHeader(const uint8_t* data, size_t size, bool icon, const std::string& prefix) {
    DibHeader h;
    if (size < 4)
        throw Exception(prefix + "bitmap header is truncated (needs 4 bytes for its size, has " + Str(uint64_t{size}) + ")");
    h.headerSize = U32(data);
    const uint32_t hs = h.headerSize;
    if (hs != 12 && hs != 40 && hs != 52 && hs != 56 && hs != 108 && hs != 124)
        throw Exception(prefix + "unsupported bitmap header size " + Str(uint64_t{hs}) +
                        " (supported: 12, 40, 52, 56, 108, 124)");
    if (size < hs)
        throw Exception(prefix + "bitmap header is truncated (needs " + Str(uint64_t{hs}) + " bytes, has " +
                        Str(uint64_t{size}) + ")");

    const bool core = hs == 12;
    int64_t width, height;
    unsigned planes;
    uint32_t clrUsed = 0;
    if (core) {
        width = U16(data + 4);
        height = U16(data + 6);
        planes = U16(data + 8);
        h.bpp = U16(data + 10);
    } else {
        width = I32(data + 4);
        height = I32(data + 8);
        planes = U16(data + 12);
        h.bpp = U16(data + 14);
        h.compression = U32(data + 16);
        h.xPelsPerMeter = I32(data + 24);
        h.yPelsPerMeter = I32(data + 28);
        clrUsed = U32(data + 32);
    }

    if (planes != 1)
        throw Exception(prefix + "bitmap must have 1 plane (has " + Str(uint64_t{planes}) + ")");
    const int bpp = h.bpp;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        throw Exception(prefix + "unsupported bit depth " + Str(int64_t{bpp}) + " (supported: 1, 4, 8, 24, 32)");
    if (core && bpp == 32)
        throw Exception(prefix + "unsupported bit depth 32 in an OS/2 core header");

    // Orientation: a negative height stores the rows top-down (never for icons).
    if (height < 0) {
        if (icon)
            throw Exception(prefix + "icon image height " + Str(height) + " is negative");
        h.topDown = true;
        height = -height;
    }
    if (icon) {
        if (height % 2 != 0)
            throw Exception(prefix + "icon image height " + Str(height) +
                            " is odd (must count the image and its mask)");
        height /= 2;
    }
    if (width <= 0 || height <= 0)
        throw Exception(prefix + "bitmap size " + Str(width) + "x" + Str(height) + " is empty or negative");
    if (width > Surface::kMaxSide || height > Surface::kMaxSide || width * height > Surface::kMaxArea)
        throw Exception(prefix + "bitmap size " + Str(width) + "x" + Str(height) + " is too large (at most " +
                        Str(int64_t{Surface::kMaxSide}) + " a side and " + Str(int64_t{Surface::kMaxArea}) +
                        " pixels)");
    h.width = static_cast<int>(width);
    h.height = static_cast<int>(height);

    size_t pos = hs;
    if (h.compression == BI_BITFIELDS) {
        if (bpp != 32)
            throw Exception(prefix + "bit-field compression is supported only for 32 bits per pixel (not " +
                            Str(int64_t{bpp}) + ")");
        // A plain info header is followed by the three masks; the larger headers hold them.
        const uint8_t* masks = data + 40;
        if (hs == 40) {
            if (size < 52)
                throw Exception(prefix + "colour masks are truncated (need 12 bytes after the header, have " +
                                Str(uint64_t{size - 40}) + ")");
            pos = 52;
        }
        const uint32_t r = U32(masks), g = U32(masks + 4), b = U32(masks + 8);
        if (r != 0x00FF0000 || g != 0x0000FF00 || b != 0x000000FF)
            throw Exception(prefix + "unsupported 32-bit colour masks (only 00FF0000, 0000FF00, 000000FF)");
    } else if (h.compression != BI_RGB) {
        throw Exception(prefix + "unsupported compression " + Str(uint64_t{h.compression}) +
                        CompressionName(h.compression) + " (only uncompressed bitmaps)");
    }

    if (bpp <= 8) {
        const uint32_t maxEntries = 1u << bpp;
        uint32_t entries = core || clrUsed == 0 ? maxEntries : clrUsed;
        if (entries > maxEntries)
            throw Exception(prefix + "palette count " + Str(uint64_t{entries}) + " is too large for " +
                            Str(int64_t{bpp}) + " bits per pixel (at most " + Str(uint64_t{maxEntries}) + ")");
        const size_t entrySize = core ? 3 : 4;
        const size_t bytes = entries * entrySize;
        if (size - pos < bytes)
            throw Exception(prefix + "palette is truncated (needs " + Str(uint64_t{bytes}) + " bytes, has " +
                            Str(uint64_t{size - pos}) + ")");
        h.palette.resize(entries);
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t* e = data + pos + i * entrySize;
            h.palette[i] = Pixel{e[2]} << 16 | Pixel{e[1]} << 8 | e[0];
        }
        pos += bytes;
    } else if (clrUsed != 0) {
        // A direct-colour bitmap may carry a palette for display on indexed screens; skip it.
        if (clrUsed > 256)
            throw Exception(prefix + "palette count " + Str(uint64_t{clrUsed}) + " is too large (at most 256)");
        const size_t bytes = size_t{clrUsed} * 4;
        if (size - pos < bytes)
            throw Exception(prefix + "palette is truncated (needs " + Str(uint64_t{bytes}) + " bytes, has " +
                            Str(uint64_t{size - pos}) + ")");
        pos += bytes;
    }
    h.end = pos;
    return h;
}

Dib DecodePixels(const DibHeader& h, const uint8_t* data, size_t size, const std::string& prefix,
                 const std::string& what) {
    const uint64_t rowBytes = RowBytes(h.width, h.bpp);
    const uint64_t needed = rowBytes * static_cast<uint64_t>(h.height);
    if (needed > size)
        throw Exception(prefix + "pixel data runs past " + what + " (needs " + Str(needed) + " bytes, has " +
                        Str(uint64_t{size}) + ")");
    Dib d(h.width, h.height, h.bpp, h.palette);
    d.SetResolution(h.xPelsPerMeter, h.yPelsPerMeter);
    d.SetTopDown(h.topDown);
    for (int r = 0; r < h.height; ++r) {
        const uint8_t* in = data + rowBytes * static_cast<uint64_t>(r);
        const int y = h.topDown ? r : h.height - 1 - r;
        switch (h.bpp) {
        case 1:
        case 4:
        case 8: {
            uint8_t* out = d.IndexRow(y);
            const int perByte = 8 / h.bpp;
            const unsigned mask = (1u << h.bpp) - 1;
            for (int x = 0; x < h.width; ++x) {
                const int shift = 8 - h.bpp * (x % perByte + 1);
                out[x] = static_cast<uint8_t>((in[x / perByte] >> shift) & mask);
            }
            break;
        }
        case 24: {
            Pixel* out = d.ColorRow(y);
            for (int x = 0; x < h.width; ++x, in += 3)
                out[x] = Pixel{in[2]} << 16 | Pixel{in[1]} << 8 | in[0];
            break;
        }
        case 32: {
            Pixel* out = d.ColorRow(y);
            uint8_t* alpha = d.AlphaRow(y);
            for (int x = 0; x < h.width; ++x, in += 4) {
                out[x] = Pixel{in[2]} << 16 | Pixel{in[1]} << 8 | in[0];
                alpha[x] = in[3];
            }
            break;
        }
        }
    }
    return d;
}

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void AppendInfoHeader(std::vector<uint8_t>& out, const Dib& d, int32_t storedHeight,
                      uint64_t extraImageBytes) {
    const uint64_t imageBytes = RowBytes(d.Width(), d.BitsPerPixel()) * static_cast<uint64_t>(d.Height()) +
                                extraImageBytes;
    if (imageBytes > std::numeric_limits<uint32_t>::max())
        throw Exception("Bitmap: " + Str(imageBytes) + " bytes of pixels do not fit in a bitmap file");
    const size_t paletteSize = d.Palette().size();
    PutU32(out, kInfoHeaderSize);
    PutU32(out, static_cast<uint32_t>(d.Width()));
    PutU32(out, static_cast<uint32_t>(storedHeight));
    PutU16(out, 1);
    PutU16(out, static_cast<uint16_t>(d.BitsPerPixel()));
    PutU32(out, BI_RGB);
    PutU32(out, static_cast<uint32_t>(imageBytes));
    PutU32(out, static_cast<uint32_t>(d.XPelsPerMeter()));
    PutU32(out, static_cast<uint32_t>(d.YPelsPerMeter()));
    // A full palette is written as count 0, the usual form.
    const bool full = d.Indexed() && paletteSize == (size_t{1} << d.BitsPerPixel());
    PutU32(out, full ? 0 : static_cast<uint32_t>(paletteSize));
    PutU32(out, 0);
}

void AppendPalette(std::vector<uint8_t>& out, const Dib& d) {
    if (d.Indexed() && d.Palette().empty())
        throw Exception("Bitmap: an indexed bitmap needs at least one palette entry to be written");
    for (Pixel p : d.Palette()) {
        out.push_back(static_cast<uint8_t>(p));
        out.push_back(static_cast<uint8_t>(p >> 8));
        out.push_back(static_cast<uint8_t>(p >> 16));
        out.push_back(0);
    }
}

void AppendPixels(std::vector<uint8_t>& out, const Dib& d, bool topDown) {
    const size_t rowBytes = static_cast<size_t>(RowBytes(d.Width(), d.BitsPerPixel()));
    const int bpp = d.BitsPerPixel();
    for (int r = 0; r < d.Height(); ++r) {
        const int y = topDown ? r : d.Height() - 1 - r;
        const size_t start = out.size();
        out.resize(start + rowBytes, 0);
        uint8_t* row = out.data() + start;
        if (d.Indexed()) {
            const uint8_t* in = d.IndexRow(y);
            const int perByte = 8 / bpp;
            const unsigned mask = (1u << bpp) - 1;
            for (int x = 0; x < d.Width(); ++x)
                row[x / perByte] |= static_cast<uint8_t>((in[x] & mask) << (8 - bpp * (x % perByte + 1)));
        } else {
            const Pixel* in = d.ColorRow(y);
            const int step = bpp / 8;
            for (int x = 0; x < d.Width(); ++x) {
                uint8_t* p = row + static_cast<size_t>(x) * step;
                p[0] = static_cast<uint8_t>(in[x]);
                p[1] = static_cast<uint8_t>(in[x] >> 8);
                p[2] = static_cast<uint8_t>(in[x] >> 16);
                if (bpp == 32)
                    p[3] = d.AlphaRow(y)[x];
            }
        }
    }
}

} // namespace dibformat

}  // namespace lumivane
