#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

#include "lumivane/framework/WinControl.h"
#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

// How the background picture covers the control.
enum TKdBackImageStyle : uint8_t { kdbmsNormal, kdbmsCenter, kdbmsTiled, kdbmsStretch };
inline constexpr std::string_view KdBackImageStyleNames[] = {"kdbmsNormal", "kdbmsCenter", "kdbmsTiled",
                                                             "kdbmsStretch"};

// A windowless control that paints one picture over its whole area: once at the top-left, once
// centred, tiled from the top-left, or stretched. Without a picture it shows only an inverted
// one-pixel frame, so an empty one can still be found on a form.
class TKdBackImage : public TGraphicControl {
    LUMI_CLASS(TKdBackImage, TGraphicControl)
public:
    explicit TKdBackImage(TComponent* AOwner);
    ~TKdBackImage() override;
    // Background: not exposed.
    void GetAccessible(TAccessibleInfo& Info) override { Info.Role = TAccRole::None; }

    TPicture* fGetPicture() const { return FPicture.get(); }
    // Copies Value into the owned picture (a descendant with AutoSize takes its size).
    void fSetPicture(TPicture* Value);
    bool fGetTransparent() const { return FTransparent; }
    void fSetTransparent(bool Value);
    TKdBackImageStyle fGetStyle() const { return FStyle; }
    void fSetStyle(TKdBackImageStyle Value);
    // The properties by their published names.
    TPicture* Picture() const { return fGetPicture(); }
    void SetPicture(TPicture* Value) { fSetPicture(Value); }
    bool Transparent() const { return fGetTransparent(); }
    void SetTransparent(bool Value) { fSetTransparent(Value); }
    TKdBackImageStyle Style() const { return fGetStyle(); }
    void SetStyle(TKdBackImageStyle Value) { fSetStyle(Value); }

protected:
    void Paint() override;
    void fPaintNormal();
    void fPaintCenter();
    void fPaintTiled();
    void fPaintStrech();
    void fPaintDefault();

private:
    // The graphic to draw, with the control's transparency handed to it.
    TGraphic* PreparedGraphic();

    std::unique_ptr<TPicture> FPicture;
    bool FTransparent = false;
    TKdBackImageStyle FStyle = kdbmsTiled;
};

namespace KdBackImage {
// Puts the unit's classes on the library's palette page.
void Register();
}  // namespace KdBackImage

}  // namespace lumivane
