#include "lumivane/gfx/image/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// Reads in chunks rather than trusting a size reported up front (pipes, growing files).
std::vector<uint8_t> ReadAll(FILE* f, const std::string& path, size_t maxSize) {
    std::vector<uint8_t> data;
    uint8_t buf[65536];
    for (;;) {
        size_t n = std::fread(buf, 1, sizeof buf, f);
        if (n > 0) {
            if (data.size() + n > maxSize)
                throw Exception("Cannot read " + path + ": larger than " + std::to_string(maxSize) + " bytes");
            data.insert(data.end(), buf, buf + n);
        }
        if (n < sizeof buf) {
            if (std::ferror(f))
                throw Exception("Cannot read " + path + ": " + Reason());
            break;
        }
    }
    return data;
}

} // namespace

std::vector<uint8_t> ReadFileBytes(const std::string& path, size_t maxSize) {
    std::unique_ptr<FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f)
        throw Exception("Cannot open " + path + ": " + Reason());
    return ReadAll(f.get(), path, maxSize);
}

std::vector<uint8_t> ReadRegularFileBytes(const std::string& path, size_t maxSize) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) throw Exception("Cannot open " + path + ": " + Reason());
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        throw Exception("Cannot read " + path + ": not a regular file");
    }
    std::unique_ptr<FILE, FileCloser> f(fdopen(fd, "rb"));
    if (!f) {
        const std::string why = Reason();
        close(fd);
        throw Exception("Cannot open " + path + ": " + why);
    }
    return ReadAll(f.get(), path, maxSize);
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
