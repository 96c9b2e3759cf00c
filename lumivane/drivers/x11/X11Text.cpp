#include "lumivane/drivers/x11/X11Text.h"

#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace x11 {

bool Utf8ToPrintableLatin1(const std::string& utf8, std::string& latin1) {
    latin1.clear();
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        if (!DecodeUtf8(utf8, i, c) || c > 0xFF) return false;
        const bool printable = (c >= 0x20 && c < 0x7F) || c >= 0xA0 || c == '\t';
        if (!printable) return false;
        latin1 += static_cast<char>(c);
    }
    return true;
}

} // namespace x11

}  // namespace lumivane
