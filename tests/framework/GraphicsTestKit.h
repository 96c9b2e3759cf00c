#pragma once
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/gfx/image/FileBytes.h"

using namespace lumivane;

// Small helpers shared by the graphics tests.
inline std::unique_ptr<TBitmap> Filled(int w, int h, TColor c) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect({0, 0, w, h});
    return b;
}

inline std::vector<TColor> Row(TBitmap& b, int y) {
    std::vector<TColor> out;
    for (int x = 0; x < b.Width(); ++x) out.push_back(b.Canvas()->Pixels(x, y));
    return out;
}

// One of the program's own pictures (app/pictures), read from the source tree.
inline std::vector<uint8_t> AppPicture(const std::string& name) {
    const char* root = std::getenv("LUMI_SOURCE_DIR");
    return ReadFileBytes(std::string(root ? root : ".") + "/app/pictures/" + name, size_t{1} << 20);
}
