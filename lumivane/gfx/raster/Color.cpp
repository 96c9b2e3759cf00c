#include "lumivane/gfx/raster/Color.h"

namespace lumivane {

namespace {
// A standard light desktop palette.
constexpr TColor kPalette[COLOR_COUNT] = {
    RGB(200, 200, 200), // scroll bar
    RGB(0, 78, 152),    // desktop
    RGB(153, 180, 209), // active caption
    RGB(191, 205, 219), // inactive caption
    RGB(240, 240, 240), // menu
    RGB(255, 255, 255), // window
    RGB(100, 100, 100), // window frame
    RGB(0, 0, 0),       // menu text
    RGB(0, 0, 0),       // window text
    RGB(0, 0, 0),       // caption text
    RGB(180, 180, 180), // active border
    RGB(244, 247, 252), // inactive border
    RGB(171, 171, 171), // app workspace
    RGB(51, 153, 255),  // highlight
    RGB(255, 255, 255), // highlight text
    RGB(240, 240, 240), // button face
    RGB(160, 160, 160), // button shadow
    RGB(109, 109, 109), // grey text
    RGB(0, 0, 0),       // button text
    RGB(67, 78, 84),    // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(105, 105, 105), // 3D dark shadow
    RGB(227, 227, 227), // 3D light
    RGB(0, 0, 0),       // info text
    RGB(255, 255, 225), // info background
    RGB(0, 0, 0),       // (unused)
    RGB(0, 102, 204),   // hot light
    RGB(185, 209, 234), // gradient active caption
    RGB(215, 228, 242), // gradient inactive caption
    RGB(51, 153, 255),  // menu highlight
    RGB(240, 240, 240), // menu bar
};
} // namespace

TColor GetSysColor(int n) { return (n >= 0 && n < COLOR_COUNT) ? kPalette[n] : clBlack; }

TColor ColorToRGB(TColor c) {
    if (c & clSystemColor) return GetSysColor(static_cast<int>(c & 0xFF));
    if (c == clNone || c == clDefault) return clBlack;
    return c & 0xFFFFFF;
}

}  // namespace lumivane
