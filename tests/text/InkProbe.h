#pragma once
#include <cstdio>
#include <filesystem>

#include "lumivane/gfx/raster/DeviceContext.h"
#include "lumivane/gfx/text/DrawText.h"
#include "lumivane/gfx/text/Font.h"

using namespace lumivane;

// Helpers that look at rendered pixels: the box of every pixel that is not the background.
inline TRect InkBox(const Surface& s, Pixel background, TRect within = {0, 0, 1 << 20, 1 << 20}) {
    within = within.Intersect(s.Bounds());
    TRect box{1 << 20, 1 << 20, -1, -1};
    for (int y = within.Top; y < within.Bottom; ++y)
        for (int x = within.Left; x < within.Right; ++x)
            if (s.Get(x, y) != background) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box.Right < 0 ? TRect{} : box;
}

inline int InkCount(const Surface& s, Pixel background, TRect within) {
    within = within.Intersect(s.Bounds());
    int n = 0;
    for (int y = within.Top; y < within.Bottom; ++y)
        for (int x = within.Left; x < within.Right; ++x) n += s.Get(x, y) != background;
    return n;
}

inline bool HaveWenQuanYi() { return std::filesystem::exists("/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"); }

inline HFONT SongTi(int height = -14, bool bold = false) {
    FontSpec fontSpec;
    fontSpec.name = "宋体";
    fontSpec.height = height;
    fontSpec.bold = bold;
    return GetFont(fontSpec);
}
