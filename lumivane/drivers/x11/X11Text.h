#pragma once
#include <string>

namespace lumivane {

// Text crossing the X boundary that the drawing layer's coder (TextEncoding) does not cover.
namespace x11 {

// The text as Latin-1 when it is well-formed UTF-8 made only of printable Latin-1 characters and
// tabs (what the STRING type holds as it is); false, with latin1 unspecified, otherwise.
bool Utf8ToPrintableLatin1(const std::string& utf8, std::string& latin1);

} // namespace x11

}  // namespace lumivane
