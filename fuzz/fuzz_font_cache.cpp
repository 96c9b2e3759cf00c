// The font match cache file under libFuzzer: any input either parses or is refused, and whatever
// parses must be written back and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lumivane/gfx/text/FontMatchCache.h"

using namespace lumivane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto contents = FontMatchCache::Parse(text)) {
        if (FontMatchCache::Parse(FontMatchCache::Format(*contents)) != contents) __builtin_trap();
    }
    return 0;
}
