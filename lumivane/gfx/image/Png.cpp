#include "lumivane/gfx/image/Png.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "lumivane/base/Exception.h"

namespace lumivane {

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Ancillary chunks (text, profiles) are read and dropped; none may make libpng hold more.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;

// libpng reports through these: what it read so far, and the first error's text. The longjmp back
// into the function that called setjmp crosses only libpng's own frames and these.
struct Source {
    std::span<const uint8_t> data;
    size_t pos = 0;
    char error[160] = {};
};

void ReadBytes(png_structp png, png_bytep out, size_t n) {
    auto* s = static_cast<Source*>(png_get_io_ptr(png));
    if (n > s->data.size() - s->pos) png_error(png, "the file ends early");
    std::memcpy(out, s->data.data() + s->pos, n);
    s->pos += n;
}

void OnError(png_structp png, png_const_charp message) {
    auto* s = static_cast<Source*>(png_get_error_ptr(png));
    if (s && !s->error[0]) std::snprintf(s->error, sizeof s->error, "%s", message ? message : "damaged file");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// The header, and libpng told to deliver 8-bit RGBA rows. No object with a destructor lives in
// a function that calls setjmp.
bool ReadHeader(png_structp png, png_infop info, png_uint_32* width, png_uint_32* height) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_set_expand(png);          // palette and low gray depths to 8 bits, tRNS to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    *width = png_get_image_width(png, info);
    *height = png_get_image_height(png, info);
    return png_get_rowbytes(png, info) == size_t{*width} * 4;
}

bool ReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

[[noreturn]] void Fail(const std::string& what) { throw Exception("PNG: " + what); }

}  // namespace

bool LooksLikePng(std::span<const uint8_t> data) {
    return data.size() >= sizeof kSignature && std::memcmp(data.data(), kSignature, sizeof kSignature) == 0;
}

PngImage ReadPng(std::span<const uint8_t> file) {
    if (!LooksLikePng(file)) Fail("not a PNG file (no PNG signature)");
    Source source{file};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnError, OnWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        Fail("out of memory");
    }
    struct Release {
        png_structp& png;
        png_infop& info;
        ~Release() { png_destroy_read_struct(&png, &info, nullptr); }
    } release{png, info};
    png_set_read_fn(png, &source, ReadBytes);
    png_set_user_limits(png, Surface::kMaxSide, Surface::kMaxSide);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, 1000);

    png_uint_32 width = 0, height = 0;
    if (!ReadHeader(png, info, &width, &height)) Fail(source.error[0] ? source.error : "damaged header");
    if (width == 0 || height == 0) Fail("an image without pixels");
    if (int64_t{width} * height > Surface::kMaxArea)
        Fail("the image is too large (" + std::to_string(width) + " x " + std::to_string(height) + ")");

    std::vector<uint8_t> pixels(size_t{width} * height * 4);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + size_t{y} * width * 4;
    if (!ReadRows(png, rows.data())) Fail(source.error[0] ? source.error : "damaged image data");

    PngImage out;
    out.colour.Resize(static_cast<int>(width), static_cast<int>(height));
    out.alpha.resize(size_t{width} * height);
    for (size_t i = 0; i < out.alpha.size(); ++i) {
        const uint8_t* p = pixels.data() + i * 4;
        out.colour.Pixels()[i] = Pixel{p[0]} << 16 | Pixel{p[1]} << 8 | p[2];
        out.alpha[i] = p[3];
    }
    return out;
}

}  // namespace lumivane
