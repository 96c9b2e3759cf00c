#pragma once
#include <cstdint>

#include "lumivane/gfx/Forward.h"

namespace lumivane {

// TColor is 0x00BBGGRR (red in the low byte). 0x80000000 + n names system colour n, resolved
// through the palette only when drawn. Surfaces store pixels as 0x00RRGGBB (the display's order).

constexpr TColor RGB(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
constexpr unsigned GetRValue(TColor c) { return c & 0xFF; }
constexpr unsigned GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr unsigned GetBValue(TColor c) { return (c >> 16) & 0xFF; }

// System colour indices (COLOR_*).
enum : int {
    COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30, COLOR_COUNT = 31
};

constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clNone = 0x1FFFFFFFu;
constexpr TColor clDefault = 0x20000000u;

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;

constexpr TColor clScrollBar = clSystemColor + COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor + COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor + COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor + COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor + COLOR_MENU;
constexpr TColor clWindow = clSystemColor + COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor + COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor + COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor + COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor + COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor + COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor + COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor + COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor + COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor + COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor + COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor + COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor + COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor + COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor + COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor + COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor + COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor + COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor + COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor + COLOR_INFOBK;
constexpr TColor clHotLight = clSystemColor + COLOR_HOTLIGHT;

// The palette's colour for index n (a literal TColor); black for an unknown index.
TColor GetSysColor(int n);

// Resolves system colours; literal colours pass through with the top byte cleared.
// clNone and clDefault are never drawn: they resolve to black, and callers check them first.
TColor ColorToRGB(TColor c);

// Surface pixel (0x00RRGGBB) for a colour, and back.
inline Pixel ColorToPixel(TColor c) {
    TColor rgb = ColorToRGB(c);
    return (GetRValue(rgb) << 16) | (GetGValue(rgb) << 8) | GetBValue(rgb);
}
constexpr TColor PixelToColor(Pixel p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }

}  // namespace lumivane
