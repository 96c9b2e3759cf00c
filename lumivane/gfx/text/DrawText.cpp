#include "lumivane/gfx/text/DrawText.h"

#include <algorithm>
#include <cstring>

#include "lumivane/gfx/text/FontFace.h"
#include "lumivane/gfx/text/TextLayout.h"
#include "lumivane/gfx/text/TextPainter.h"

namespace lumivane {

int DrawTextA(HDC dc, const char* text, int len, RECT* rect, unsigned format) {
    if (!dc || !text || !rect) return 0;
    const size_t n = len < 0 ? std::strlen(text) : static_cast<size_t>(len);
    const Font& font = dc->font ? *dc->font : *GetDefaultFont();
    const std::vector<TextLine> lines = LayoutText(font, std::string_view(text, n), rect->Width(), format);
    const int lineHeight = font.Metrics().height;
    const int textHeight = static_cast<int>(lines.size()) * lineHeight;

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& l : lines) widest = std::max(widest, l.width);
        rect->Right = rect->Left + widest;
        rect->Bottom = rect->Top + textHeight;
        return textHeight;
    }

    int y = rect->Top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect->Top + (rect->Height() - textHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect->Bottom - textHeight;
    }
    const TRect* clip = (format & DT_NOCLIP) ? nullptr : rect;
    for (const TextLine& l : lines) {
        int x = rect->Left;
        if (format & DT_CENTER)
            x = rect->Left + (rect->Width() - l.width) / 2;
        else if (format & DT_RIGHT)
            x = rect->Right - l.width;
        PaintTextLine(*dc, font, x, y, l.text, clip, l.accel);
        y += lineHeight;
    }
    return textHeight;
}

}  // namespace lumivane
