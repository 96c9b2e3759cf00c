#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "lumivane/framework/Events.h"
#include "lumivane/framework/Bitmap.h"
#include "lumivane/framework/Graphic.h"
#include "lumivane/framework/Icon.h"
#include "lumivane/framework/PropInfo.h"

namespace lumivane {

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

    // By extension: .bmp gives a bitmap, .ico an icon, .png a TPngImage.
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    // The stored form: class name length byte, class name, then for a bitmap or a PNG picture its
    // file's length (32 bits, little-endian) and the file, for an icon the file. Empty without a
    // graphic.
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
