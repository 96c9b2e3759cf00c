#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace lumivane {

class Font;

// One line as DrawTextA lays it out: the UTF-8 text to draw ('&' prefixes already resolved),
// which of its bytes carry an accelerator underline, and the width in pixels.
struct TextLine {
    std::string text;
    std::vector<bool> accel;
    int width = 0;
};

// Splits UTF-8 text into lines for a rectangle `width` pixels wide, honouring DT_SINGLELINE,
// DT_WORDBREAK, DT_END_ELLIPSIS, DT_NOPREFIX and DT_HIDEPREFIX. Lines break and end only
// between grapheme clusters. There is always at least one line.
std::vector<TextLine> LayoutText(const Font& font, std::string_view text, int width, unsigned format);

}  // namespace lumivane
