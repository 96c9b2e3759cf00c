#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "lumivane/framework/Canvas.h"
#include "lumivane/framework/Graphic.h"
#include "lumivane/gfx/image/Dib.h"
#include "lumivane/gfx/raster/Surface.h"

namespace lumivane {

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

// A bitmap held as a 32-bit surface with its own memory context and canvas. The depth, palette,
// resolution and row order of the file it was loaded from are remembered, so saving writes the
// same format (and, unchanged, the same bytes).
class TBitmap : public TGraphic {
    LUMI_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    ~TBitmap() override;

    bool Empty() const override { return FSurface.Width() == 0 || FSurface.Height() == 0; }
    int Width() const override { return FSurface.Width(); }
    int Height() const override { return FSurface.Height(); }
    // Resizing keeps the top-left content; new pixels are white.
    void SetWidth(int Value) { SetSize(Value, Height()); }
    void SetHeight(int Value) { SetSize(Width(), Value); }
    void SetSize(int w, int h);

    // Drawing on the bitmap goes through its canvas; its changes mark the bitmap modified.
    TCanvas* Canvas() const { return FCanvas.get(); }
    HDC Handle() { return FCanvas->Handle(); }
    const Surface& Pixels() const { return FSurface; }
    Surface& Pixels() { return FSurface; }

    // 1 bit a pixel, black and white only. Switching maps white to white and everything else to black.
    bool Monochrome() const { return FSurface.Monochrome(); }
    void SetMonochrome(bool Value);
    // pf1bit is Monochrome; pf4bit and pf8bit map the pixels to the palette; pfDevice, pf24bit and
    // pf32bit keep them as they are.
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value);
    // The palette of an indexed format (empty for the others).
    const std::vector<Pixel>& Palette() const { return FPalette; }

    // With tmAuto the colour of the bottom-left pixel; with tmFixed the colour set.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(std::span<const uint8_t> data) override;
    TBytes SaveToStream() const override;
    std::unique_ptr<TGraphic> CreateNew() const override { return std::make_unique<TBitmap>(); }
    // The pixels as a bitmap file would hold them, in the remembered format.
    Dib ToDib() const;
    void LoadFromDib(const Dib& d);
    void LoadFromDib(Dib&& d);  // keeps d's pixels instead of a copy

    // Copies pixels and format from another bitmap; a null source or another empty graphic
    // empties this one.
    void Assign(TPersistent* Source) override;
    void Dormant() {}
    void FreeImage() {}

protected:
    void Changed() override;
    size_t MaxFileSize() const override;

private:
    void ResetContext();
    void Clear();

    Surface FSurface;
    std::unique_ptr<DeviceContext> FDC;
    std::unique_ptr<TCanvas> FCanvas;
    TPixelFormat FPixelFormat = pfDevice;
    std::vector<Pixel> FPalette;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    // What was loaded, to write the very same bytes back while nothing changed.
    std::shared_ptr<const Dib> FLoadedDib;
    std::shared_ptr<const TBytes> FLoadedBytes;
};

}  // namespace lumivane
