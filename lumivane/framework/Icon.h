#pragma once
#include <cstdint>
#include <vector>

#include "lumivane/framework/Graphic.h"
#include "lumivane/gfx/image/Ico.h"

namespace lumivane {

// An icon file and the image of it that is drawn: the one that suits 32 by 32 pixels best.
// Saving gives back the file's bytes unchanged. Always drawn with its mask (or alpha).
class TIcon : public TGraphic {
    LUMI_CLASS(TIcon, TGraphic)
public:
    TIcon();
    ~TIcon() override;

    bool Empty() const override { return FImage.Width() == 0 || FImage.Height() == 0; }
    int Width() const override { return FImage.Width(); }
    int Height() const override { return FImage.Height(); }
    bool Transparent() const override { return true; }
    void SetTransparent(bool) override {}

    // The drawn image, and a new single-image icon made from one.
    const IconImage& Image() const { return FImage; }
    void SetImage(const IconImage& image);
    // Pixels 0xAARRGGBB, row-major, for a window's icon: alpha from the image's alpha channel,
    // else 0 where the mask is transparent and 255 elsewhere.
    std::vector<uint32_t> ToArgb() const;

    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(std::span<const uint8_t> data) override;
    TBytes SaveToStream() const override { return FBytes; }
    std::unique_ptr<TGraphic> CreateNew() const override { return std::make_unique<TIcon>(); }

    void Assign(TPersistent* Source) override;

protected:
    size_t MaxFileSize() const override;

private:
    void Decode();

    TBytes FBytes;
    IconImage FImage;
    Surface FColor;
    Surface FMask;
};

}  // namespace lumivane
