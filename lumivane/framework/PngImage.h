#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "lumivane/framework/Graphic.h"
#include "lumivane/gfx/raster/Surface.h"

namespace lumivane {

// A PNG picture: its file (saved back unchanged) and the pixels with their alpha channel. Drawn
// with Transparent (as the controls draw pictures transparent: an image with Transparent, a
// background image with Transparent, a button's picture strip) it is blended by its alpha over
// what lies beneath; without, its colours are copied and the alpha ignored.
class TPngImage : public TGraphic {
    LUMI_CLASS(TPngImage, TGraphic)
public:
    TPngImage();
    ~TPngImage() override;

    bool Empty() const override { return FColor.Width() == 0 || FColor.Height() == 0; }
    int Width() const override { return FColor.Width(); }
    int Height() const override { return FColor.Height(); }
    const Surface& Pixels() const { return FColor; }
    // One byte a pixel, row-major.
    const std::vector<uint8_t>& Alpha() const { return FAlpha; }

    void Draw(TCanvas* canvas, const TRect& r) override;
    // Draws the part `source` of the image at (x, y), at its own size (a frame of a strip).
    void DrawPart(TCanvas* canvas, int x, int y, const TRect& source);
    void LoadFromStream(std::span<const uint8_t> data) override;
    TBytes SaveToStream() const override { return FBytes; }
    std::unique_ptr<TGraphic> CreateNew() const override { return std::make_unique<TPngImage>(); }
    // Copies another PNG picture; a null source or another empty graphic empties this one.
    void Assign(TPersistent* Source) override;

protected:
    size_t MaxFileSize() const override;

private:
    TBytes FBytes;
    Surface FColor;
    std::vector<uint8_t> FAlpha;
};

}  // namespace lumivane
