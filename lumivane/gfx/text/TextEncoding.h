#pragma once
#include <string>
#include <string_view>

namespace lumivane {

// The two encodings of the system's text: Windows-1252, the window system's and the controls'
// 8-bit strings, and UTF-8, the layout's, the fonts' and the display's. One coder for all of
// them, strict where it reads: malformed, overlong and surrogate sequences and values above
// U+10FFFF are refused, never guessed at.

// UTF-8. Appends the code point's sequence (cp must be a Unicode scalar value).
void AppendUtf8(std::string& out, char32_t cp);
// Decodes one code point at pos and advances pos past it; false, with pos unchanged, on a
// malformed, cut-short, overlong or surrogate sequence or a value above U+10FFFF.
bool DecodeUtf8(std::string_view s, size_t& pos, char32_t& cp);

// Windows-1252. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// stand for the C1 code points of the same value, so every byte survives a round trip; whoever
// shows text asks IsCp1252Defined first.
char32_t Cp1252ToUnicode(unsigned char byte);
bool IsCp1252Defined(unsigned char byte);
// False when the code point has no Windows-1252 form.
bool UnicodeToCp1252(char32_t cp, char& out);
// Every byte, the undefined ones as their C1 code points.
std::string Cp1252ToUtf8(std::string_view s);

}  // namespace lumivane
