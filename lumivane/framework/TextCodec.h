#pragma once
#include <string>
#include <string_view>

// Windows-1252 (the program's 8-bit strings) and UTF-8 (the layout's text). The five bytes the
// code page leaves undefined stand for the C1 code points of the same value, so every byte
// survives a round trip.
char32_t Cp1252ToUnicode32(unsigned char byte);
// False when the code point has no Windows-1252 form.
bool UnicodeToCp1252(char32_t cp, char& out);
void AppendUtf8(std::string& out, char32_t cp);
// Decodes one code point at pos and advances it; false on a malformed, overlong or surrogate
// sequence or a value above U+10FFFF.
bool DecodeUtf8(std::string_view s, size_t& pos, char32_t& cp);
std::string Cp1252ToUtf8(std::string_view s);
