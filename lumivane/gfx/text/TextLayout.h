#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace lumivane {

class Font;

// One line as DrawTextA lays it out: the bytes to draw ('&' prefixes already resolved), which of
// them carry an accelerator underline, and the width in pixels.
struct TextLine {
    std::string text;
    std::vector<bool> accel;
    int width = 0;
};

// Splits Windows-1252 text into lines for a rectangle `width` pixels wide, honouring
// DT_SINGLELINE, DT_WORDBREAK, DT_NOPREFIX and DT_HIDEPREFIX. There is always at least one line.
std::vector<TextLine> LayoutText(const Font& font, std::string_view text, int width, unsigned format);

}  // namespace lumivane
