#include "lumivane/gfx/raster/Surface.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <string>

#include "lumivane/base/Exception.h"

namespace lumivane {

void Surface::Resize(int width, int height, Pixel fill) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide ||
        static_cast<int64_t>(width) * height > kMaxArea) {
        throw Exception("Cannot make a surface of " + std::to_string(width) + " x " +
                        std::to_string(height) + " pixels: each side must be 0 to " +
                        std::to_string(kMaxSide) + " and the area at most " +
                        std::to_string(kMaxArea) + " pixels");
    }
    if (FMonochrome) fill = (fill & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFF : 0;
    FPixels.assign(static_cast<size_t>(width) * height, fill & 0xFFFFFF);
    FWidth = width;
    FHeight = height;
}

void Surface::SetMonochrome(bool mono) {
    if (mono && !FMonochrome) {
        for (Pixel& p : FPixels) p = (p & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFF : 0;
    }
    FMonochrome = mono;
}

namespace {
struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
} // namespace

void SavePng(const Surface& s, const char* path) {
    if (s.Width() == 0 || s.Height() == 0)
        throw Exception(std::string("Cannot write an empty picture to ") + path);
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path, "wb"));
    if (!file) throw Exception(std::string("Cannot open ") + path + " for writing");

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw Exception("Out of memory while writing a PNG file");
    }
    // Allocated before setjmp so that a longjmp out of libpng leaks nothing.
    std::vector<png_byte> row(static_cast<size_t>(s.Width()) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw Exception(std::string("Cannot write the PNG file ") + path);
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, s.Width(), s.Height(), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < s.Height(); ++y) {
        const Pixel* src = s.Row(y);
        for (int x = 0; x < s.Width(); ++x) {
            row[x * 3] = static_cast<png_byte>(src[x] >> 16);
            row[x * 3 + 1] = static_cast<png_byte>(src[x] >> 8);
            row[x * 3 + 2] = static_cast<png_byte>(src[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0) throw Exception(std::string("Cannot write the PNG file ") + path);
}

}  // namespace lumivane
