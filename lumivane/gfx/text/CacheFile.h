#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumivane {

// The files we keep between runs under the user's cache folder: small, ours alone, and never
// seen half written by another run.

// The whole file; nullopt when it cannot be read or is larger than maxSize.
std::optional<std::string> ReadCacheFile(const std::string& path, size_t maxSize);
// Writes bytes aside and renames them over path, making its folders first; false on failure.
bool WriteCacheFile(const std::string& path, std::string_view bytes);
// A short fingerprint of text, for file names.
uint64_t Fnv1a(std::string_view text);

}  // namespace lumivane
