#pragma once
#include <memory>

#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/CustomControl.h"
#include "lumivane/framework/Picture.h"
#include "lumivane/framework/Graphic.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/drivers/headless/Session.h"

using namespace lumivane;

// A top-level window that paints itself in one colour, to host the graphic controls under test
// and to show what they leave uncovered.
class TTestHost : public TCustomControl {
public:
    TTestHost(TColor back, int width, int height) : TCustomControl(nullptr), FBack(back) {
        SetBounds(0, 0, width, height);
    }
    TColor FBack;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(FBack);
        Canvas()->FillRect(ClientRect());
    }
};

// A bitmap whose every pixel tells where it lies: RGB(x, y, blue).
inline std::unique_ptr<TBitmap> PositionBitmap(int width, int height, int blue = 7) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) bmp->Pixels().Set(x, y, ColorToPixel(RGB(x, y, blue)));
    return bmp;
}

inline std::unique_ptr<TPicture> PictureOf(TGraphic* g) {
    auto pic = std::make_unique<TPicture>();
    pic->Assign(g);
    return pic;
}

// Inverts every channel, as a white pen in xor mode does.
constexpr TColor Inverted(TColor c) { return c ^ 0xFFFFFF; }
