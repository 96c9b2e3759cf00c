#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lumivane {

// Whole-file reading and writing for the picture codecs. Throws Exception naming the path on
// failure; a file larger than `maxSize` is refused before anything is allocated for it.
std::vector<uint8_t> ReadFileBytes(const std::string& path, size_t maxSize);
// The same for a file a program watches or is handed by someone else: only a regular file is
// read, and opening never blocks (a FIFO or a device put in the file's place is refused at once).
std::vector<uint8_t> ReadRegularFileBytes(const std::string& path, size_t maxSize);
void WriteFileBytes(const std::string& path, std::span<const uint8_t> data);

}  // namespace lumivane
