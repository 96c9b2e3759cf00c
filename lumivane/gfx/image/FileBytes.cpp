#include "lumivane/gfx/image/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "lumivane/base/Exception.h"

namespace lumivane {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

std::string Reason() { return std::strerror(errno); }

} // namespace

std::vector<uint8_t> ReadFileBytes(const std::string& path, size_t maxSize) {
    std::unique_ptr<FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f)
        throw Exception("Cannot open " + path + ": " + Reason());
    std::vector<uint8_t> data;
    uint8_t buf[65536];
    // Read in chunks rather than trusting a size reported up front (pipes, growing files).
    for (;;) {
        size_t n = std::fread(buf, 1, sizeof buf, f.get());
        if (n > 0) {
            if (data.size() + n > maxSize)
                throw Exception("Cannot read " + path + ": larger than " + std::to_string(maxSize) + " bytes");
            data.insert(data.end(), buf, buf + n);
        }
        if (n < sizeof buf) {
            if (std::ferror(f.get()))
                throw Exception("Cannot read " + path + ": " + Reason());
            break;
        }
    }
    return data;
}

void WriteFileBytes(const std::string& path, std::span<const uint8_t> data) {
    std::unique_ptr<FILE, FileCloser> f(std::fopen(path.c_str(), "wb"));
    if (!f)
        throw Exception("Cannot create " + path + ": " + Reason());
    if (std::fwrite(data.data(), 1, data.size(), f.get()) != data.size())
        throw Exception("Cannot write " + path + ": " + Reason());
    if (std::fclose(f.release()) != 0)
        throw Exception("Cannot write " + path + ": " + Reason());
}

}  // namespace lumivane
