#include "lumivane/drivers/x11/X11Text.h"

#include "lumivane/gfx/text/TextEncoding.h"

namespace lumivane {

namespace x11 {

namespace {

bool IsC1(char32_t c) { return c >= 0x80 && c < 0xA0; }

// Appends the code point's Windows-1252 byte when the window system can take it as text.
void AppendShown(std::string& out, char32_t c) {
    char b = 0;
    if (c != 0 && !IsC1(c) && UnicodeToCp1252(c, b)) out += b;
}

} // namespace

std::string Utf8ToCp1252(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        if (DecodeUtf8(utf8, i, c))
            AppendShown(out, c);
        else
            ++i; // a byte that starts no well-formed sequence
    }
    return out;
}

std::string CharToCp1252(char32_t c) {
    std::string out;
    AppendShown(out, c);
    return out;
}

std::string Cp1252ToUtf8(const std::string& cp1252) {
    std::string out;
    out.reserve(cp1252.size() + cp1252.size() / 4);
    for (char ch : cp1252) {
        const auto b = static_cast<unsigned char>(ch);
        if (b != 0 && IsCp1252Defined(b)) AppendUtf8(out, Cp1252ToUnicode(b));
    }
    return out;
}

std::string Latin1ToCp1252(const std::string& latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char ch : latin1) {
        const auto b = static_cast<unsigned char>(ch);
        // 0x80..0x9F are C1 controls in Latin-1 but printable in Windows-1252: drop them.
        if (b != 0 && !IsC1(b)) out += ch;
    }
    return out;
}

std::string Cp1252ToLatin1(const std::string& cp1252) {
    std::string out;
    out.reserve(cp1252.size());
    for (char ch : cp1252) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == 0) continue;
        out += IsC1(b) ? '?' : ch;
    }
    return out;
}

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
