#pragma once
#include <string>

namespace lumivane {

// Text crossing the X boundary: the window system speaks Windows-1252, X speaks UTF-8 (and
// Latin-1 for the old STRING type). What the receiving side cannot show is dropped: characters
// with no form there, malformed UTF-8, NUL bytes, C1 controls and the code page's undefined bytes.
// The coding itself is the drawing layer's (TextEncoding); this is only what X needs on top of it.
namespace x11 {

std::string Utf8ToCp1252(const std::string& utf8);
std::string Cp1252ToUtf8(const std::string& cp1252);
// The character a key gives, as Windows-1252 ("" when it has no form there).
std::string CharToCp1252(char32_t c);
std::string Latin1ToCp1252(const std::string& latin1);
// Characters beyond Latin-1 (the Euro sign, curly quotes...) become '?'.
std::string Cp1252ToLatin1(const std::string& cp1252);
// The text as Latin-1 when it is well-formed UTF-8 made only of printable Latin-1 characters and
// tabs (what the STRING type holds as it is); false, with latin1 unspecified, otherwise.
bool Utf8ToPrintableLatin1(const std::string& utf8, std::string& latin1);

} // namespace x11

}  // namespace lumivane
