#include "lumivane/gfx/text/TextEncoding.h"

#include <cstdint>
#include <cstring>

namespace lumivane {

namespace {
// 0x80..0x9F; the undefined ones keep their own value. The rest of the code page is Latin-1.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool DecodeUtf8(std::string_view s, size_t& pos, char32_t& cp) {
    if (pos >= s.size()) return false;
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        cp = b0;
        ++pos;
        return true;
    }
    int len;
    char32_t c, min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, c = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, c = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, c = b0 & 0x07, min = 0x10000;
    } else {
        return false;
    }
    if (s.size() - pos < static_cast<size_t>(len)) return false;
    for (int i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) return false;
        c = (c << 6) | (b & 0x3F);
    }
    // Overlong forms would smuggle ASCII (a NUL, a quote) past a byte-level check.
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    cp = c;
    pos += len;
    return true;
}

char32_t Cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHigh[byte - 0x80];
    return byte;
}

bool UnicodeToCp1252(char32_t cp, char& out) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        out = static_cast<char>(cp);
        return true;
    }
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) {
            out = static_cast<char>(0x80 + i);
            return true;
        }
    return false;
}

std::string CharToString(char32_t cp) {
    std::string out;
    if (cp != 0 && IsScalarValue(cp)) AppendUtf8(out, cp);
    return out;
}

char32_t FirstCharOf(std::string_view s) {
    size_t i = 0;
    return s.empty() ? 0 : NextChar(s, i);
}

std::string ValidUtf8(std::string_view s) {
    if (IsValidUtf8(s)) return std::string(s);
    std::string out;
    out.reserve(s.size() + 8);
    for (size_t i = 0; i < s.size();) AppendUtf8(out, NextChar(s, i));
    return out;
}

bool IsValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        // Runs of ASCII eight bytes at a time: most text is mostly ASCII.
        while (i + 8 <= s.size()) {
            uint64_t word;
            std::memcpy(&word, s.data() + i, 8);
            if (word & 0x8080808080808080ull) break;
            i += 8;
        }
        if (i >= s.size()) break;
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t cp;
        if (!DecodeUtf8(s, i, cp)) return false;
    }
    return true;
}

size_t CountChars(std::string_view s) {
    size_t n = 0;
    for (size_t i = 0; i < s.size(); ++n) NextChar(s, i);
    return n;
}

size_t CharToByte(std::string_view s, size_t index) {
    size_t i = 0;
    for (size_t n = 0; n < index && i < s.size(); ++n) NextChar(s, i);
    return i;
}

size_t ByteToChar(std::string_view s, size_t pos) {
    size_t n = 0;
    for (size_t i = 0; i < s.size() && i < pos; ++n) NextChar(s, i);
    return n;
}

size_t FitUtf8(std::string_view s, size_t maxBytes) {
    if (maxBytes >= s.size()) return s.size();
    // A sequence is at most four bytes: the one that may cross the cut starts at most three
    // bytes before it.
    size_t start = maxBytes;
    while (start > 0 && maxBytes - start < 3 && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80) --start;
    size_t end = start;
    char32_t cp;
    if (DecodeUtf8(s, end, cp) && end > maxBytes) return start;
    return maxBytes; // no well-formed sequence crosses the cut
}

std::string Latin1ToUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() + s.size() / 4);
    for (char c : s) AppendUtf8(out, static_cast<unsigned char>(c));
    return out;
}

bool Utf8ToLatin1(std::string_view s, std::string& latin1) {
    latin1.clear();
    for (size_t i = 0; i < s.size();) {
        char32_t cp;
        if (!DecodeUtf8(s, i, cp) || cp > 0xFF) return false;
        latin1 += static_cast<char>(cp);
    }
    return true;
}

}  // namespace lumivane
