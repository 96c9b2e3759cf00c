#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "lumivane/framework/Events.h"
#include "lumivane/framework/Persistent.h"
#include "lumivane/framework/PropInfo.h"
#include "lumivane/gfx/raster/Geometry.h"

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

}  // namespace lumivane
