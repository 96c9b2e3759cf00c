// Feeds arbitrary bytes as the root window's resource text (anyone may set it) and as
// LUMIVANE_SCALE. Nothing may crash or over-read; a value found is positive and finite, and the
// scale chosen is always 1 to 4, with a warning of one line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cmath>
#include <string>
#include <string_view>

#include "lumivane/windows/DisplayScale.h"

using namespace lumivane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto dpi = XftDpiFromResources(text); dpi && !(std::isfinite(*dpi) && *dpi > 0))
        std::abort();
    // The first line, up to any NUL, doubles as the variable's value.
    const std::string variable(text.substr(0, std::min(text.find('\n'), text.size())));
    const DisplayScaleChoice c = ChooseDisplayScale(variable.c_str(), text);
    if (c.scale < kMinDisplayScale || c.scale > kMaxDisplayScale) std::abort();
    if (c.warning.find('\n') != std::string::npos) std::abort();
    return 0;
}
