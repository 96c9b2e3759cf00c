#pragma once
#include <string>
#include <string_view>

namespace lumivane {

// The system's text is UTF-8 in std::string everywhere; Windows-1252 survives only where older
// data speaks it (#128..#159 in a layout, the validating edit's 8-bit rules). One coder for both,
// strict where it reads: malformed, overlong and surrogate sequences and values above U+10FFFF
// are never guessed at. Text that breaks those rules is taken with each byte that starts no
// well-formed sequence replaced by U+FFFD, the same way wherever it comes in (ValidUtf8) and
// wherever it is measured or drawn (NextChar).

// A Unicode scalar value: a code point that UTF-8 can hold (no surrogate, not above U+10FFFF).
constexpr bool IsScalarValue(char32_t cp) { return cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF); }
// UTF-8. Appends the code point's sequence (cp must be a Unicode scalar value).
void AppendUtf8(std::string& out, char32_t cp);
// One character as a string ("" for 0), and the first character of text (0 when it is empty):
// how a character property (a password character) is stored in a layout.
std::string CharToString(char32_t cp);
char32_t FirstCharOf(std::string_view s);
// Decodes one code point at pos and advances pos past it; false, with pos unchanged, on a
// malformed, cut-short, overlong or surrogate sequence or a value above U+10FFFF.
bool DecodeUtf8(std::string_view s, size_t& pos, char32_t& cp);

constexpr char32_t kReplacementChar = 0xFFFD;
// The character at pos, advancing pos past it; a byte that starts no well-formed sequence is one
// U+FFFD and pos moves by that one byte. pos must be below s.size().
inline char32_t NextChar(std::string_view s, size_t& pos) {
    const auto b = static_cast<unsigned char>(s[pos]);
    if (b < 0x80) {
        ++pos;
        return b;
    }
    char32_t cp;
    if (DecodeUtf8(s, pos, cp)) return cp;
    ++pos;
    return kReplacementChar;
}
// The text as stored and shown: unchanged when it is well-formed, else with each bad byte
// replaced by U+FFFD. Every entry point of text into the library goes through it.
std::string ValidUtf8(std::string_view s);
bool IsValidUtf8(std::string_view s);
// Characters (code points) in well-formed text; each bad byte counts as one.
size_t CountChars(std::string_view s);
// The byte offset of character `index` (s.size() past the end), and the number of characters
// before byte offset `pos`.
size_t CharToByte(std::string_view s, size_t index);
size_t ByteToChar(std::string_view s, size_t pos);
// The longest prefix of at most maxBytes bytes that splits no character.
size_t FitUtf8(std::string_view s, size_t maxBytes);

// Windows-1252. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// stand for the C1 code points of the same value, so every byte survives a round trip.
char32_t Cp1252ToUnicode(unsigned char byte);
// False when the code point has no Windows-1252 form.
bool UnicodeToCp1252(char32_t cp, char& out);
// Latin-1 bytes (the X STRING type) as UTF-8, and UTF-8 as Latin-1 when every character has a
// form there (false otherwise).
std::string Latin1ToUtf8(std::string_view s);
bool Utf8ToLatin1(std::string_view s, std::string& latin1);

}  // namespace lumivane
