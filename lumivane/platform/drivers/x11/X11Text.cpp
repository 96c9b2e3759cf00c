#include "lumivane/platform/drivers/x11/X11Text.h"

#include "lumivane/platform/text/Cp1252.h"

namespace {

// Unicode to Windows-1252; 0 when the code point has no 8-bit form.
unsigned char UnicodeToCp1252(char32_t c) {
    if (c == 0) return 0;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    for (unsigned b = 0x80; b < 0xA0; ++b)
        if (Cp1252ToUnicode(static_cast<unsigned char>(b)) == c) return static_cast<unsigned char>(b);
    return 0;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string Utf8ToCp1252(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        int len = 0;
        char32_t c = 0;
        if (b < 0x80) { len = 1; c = b; }
        else if ((b & 0xE0) == 0xC0) { len = 2; c = b & 0x1F; }
        else if ((b & 0xF0) == 0xE0) { len = 3; c = b & 0x0F; }
        else if ((b & 0xF8) == 0xF0) { len = 4; c = b & 0x07; }
        else { ++i; continue; } // stray continuation or invalid lead byte
        if (i + len > n) break;  // truncated sequence at the end
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            const unsigned char cb = static_cast<unsigned char>(utf8[i + k]);
            if ((cb & 0xC0) != 0x80) { ok = false; break; }
            c = (c << 6) | (cb & 0x3F);
        }
        if (!ok) { ++i; continue; }
        // Overlong forms would smuggle ASCII (a NUL, a quote) past a byte-level check.
        static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (c >= kMin[len]) {
            const unsigned char out8 = UnicodeToCp1252(c);
            if (out8) out += static_cast<char>(out8);
        }
        i += len;
    }
    return out;
}

std::string Cp1252ToUtf8(const std::string& cp1252) {
    std::string out;
    out.reserve(cp1252.size() + cp1252.size() / 4);
    for (char ch : cp1252) {
        const char32_t c = Cp1252ToUnicode(static_cast<unsigned char>(ch));
        if (c) AppendUtf8(out, c);
    }
    return out;
}

std::string Latin1ToCp1252(const std::string& latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char ch : latin1) {
        const unsigned char b = static_cast<unsigned char>(ch);
        // 0x80..0x9F are C1 controls in Latin-1 but printable in Windows-1252: drop them.
        if (b != 0 && (b < 0x80 || b >= 0xA0)) out += ch;
    }
    return out;
}

std::string Cp1252ToLatin1(const std::string& cp1252) {
    std::string out;
    out.reserve(cp1252.size());
    for (char ch : cp1252) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b == 0) continue;
        out += (b >= 0x80 && b < 0xA0) ? '?' : ch;
    }
    return out;
}

bool Utf8ToPrintableLatin1(const std::string& utf8, std::string& latin1) {
    latin1.clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        unsigned c = b;
        if (b >= 0x80) {
            // Latin-1 beyond ASCII takes two bytes, C2 or C3 and one continuation byte.
            if ((b != 0xC2 && b != 0xC3) || i + 1 >= utf8.size()) return false;
            const unsigned char cb = static_cast<unsigned char>(utf8[++i]);
            if ((cb & 0xC0) != 0x80) return false;
            c = ((b & 0x1Fu) << 6) | (cb & 0x3Fu);
        }
        const bool printable = (c >= 0x20 && c < 0x7F) || c >= 0xA0 || c == '\t';
        if (!printable) return false;
        latin1 += static_cast<char>(c);
    }
    return true;
}
