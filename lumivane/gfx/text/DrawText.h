#pragma once
#include "lumivane/gfx/text/Font.h"

namespace lumivane {

enum : unsigned {
    DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_END_ELLIPSIS = 0x8000,
    DT_HIDEPREFIX = 0x100000
};

// Formats text in the rectangle with the context's font and colours. '&' underlines the next
// character unless DT_NOPREFIX ("&&" is one ampersand); output is clipped to the rectangle unless
// DT_NOCLIP. With DT_CALCRECT nothing is drawn and the rectangle's Right and Bottom are set to the
// extent the text needs. Returns the height of the text. len < 0 means up to the terminating NUL.
int DrawTextA(HDC dc, const char* text, int len, RECT* rect, unsigned format);

}  // namespace lumivane
