#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "lumivane/framework/Events.h"
#include "lumivane/framework/Graphics.h"
#include "lumivane/framework/PropInfo.h"
#include "lumivane/gfx/image/Dib.h"
#include "lumivane/gfx/image/Ico.h"
#include "lumivane/gfx/raster/Surface.h"

namespace lumivane {

// A picture that can draw itself on a canvas: a bitmap or an icon. Graphics are copied with
// Assign, never shared.
class TGraphic : public TPersistent {
    LUMI_CLASS(TGraphic, TPersistent)
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Whether drawing leaves out the transparent parts (a bitmap: its transparent colour).
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    // Draws the graphic scaled into the rectangle of the canvas (at its own size when the
    // rectangle has that size). TCanvas::Draw and StretchDraw come here.
    virtual void Draw(TCanvas* canvas, const TRect& r) = 0;

    // The graphic's file format (BMP, ICO). Bad data throws Exception and leaves the graphic as
    // it was.
    virtual void LoadFromStream(std::span<const uint8_t> data) = 0;
    virtual TBytes SaveToStream() const = 0;
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    // A new empty graphic of the same class, so a picture can hold a copy of it; null when the
    // class cannot be copied that way.
    virtual std::unique_ptr<TGraphic> CreateNew() const { return nullptr; }

    TNotifyEvent OnChange;

protected:
    TGraphic() = default;
    // Marks the graphic modified and fires OnChange.
    virtual void Changed();
    // Largest file the graphic reads from disk.
    virtual size_t MaxFileSize() const = 0;

    bool FTransparent = false;
    bool FModified = false;
};

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

// A holder for one graphic of any class, owned by a control. Setting it copies the graphic.
// Published: Data, the stored form of the graphic (class name, then the file).
class TPicture : public TPersistent {
    LUMI_CLASS(TPicture, TPersistent)
public:
    explicit TPicture(TPersistent* owner = nullptr);
    ~TPicture() override;

    // The graphic, or null.
    TGraphic* Graphic() const { return FGraphic.get(); }
    // Replaces the graphic with a copy of Value (null: none).
    void SetGraphic(TGraphic* Value);
    // The graphic as a bitmap (or icon); an empty one replaces a graphic of another class.
    TBitmap* Bitmap();
    TIcon* Icon();
    void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
    void SetIcon(TIcon* Value) { SetGraphic(Value); }

    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    // True when there is a graphic and it has pixels.
    bool HasGraphic() const { return FGraphic && !FGraphic->Empty(); }

    // A picture, a graphic or null: copies the graphic; a source without one empties this picture.
    void Assign(TPersistent* Source) override;

    // By extension: .bmp gives a bitmap, .ico an icon.
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    // The stored form: class name length byte, class name, then for a bitmap its file's length
    // (32 bits, little-endian) and the file, for an icon the file. Empty without a graphic.
    TBytes Data() const;
    void SetData(const TBytes& data);

    TPersistent* GetOwner() override { return FOwner; }

    TNotifyEvent OnChange;

protected:
    void AssignTo(TPersistent* Dest) override;
    virtual void Changed();

private:
    void Adopt(std::unique_ptr<TGraphic> g);

    TPersistent* FOwner;
    std::unique_ptr<TGraphic> FGraphic;
};

// The stored picture data on its own: the graphic it holds (null for no data). Throws Exception
// naming the problem for an unknown class or a damaged file.
std::unique_ptr<TGraphic> ReadPictureData(std::span<const uint8_t> data);
TBytes WritePictureData(const TGraphic* graphic);

}  // namespace lumivane
