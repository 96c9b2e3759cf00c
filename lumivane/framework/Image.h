#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "lumivane/framework/GraphicControl.h"

namespace lumivane {

enum TProgressStage { psStarting, psRunning, psEnding };
struct TProgressEvent : TEvent<TObject*, TProgressStage, uint8_t, bool, const TRect&, const std::string&> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, Stage, PercentDone, RedrawNow, R, Msg";
};

// A picture on its parent, without a window. The picture is drawn in DestRect: at the top-left
// at its own size, centred (Center), scaled to the client area (Stretch) or scaled keeping its
// aspect (Proportional; only shrinks unless Stretch is set too). With AutoSize the control takes
// the picture's size whenever the picture changes. Transparent draws a bitmap without its
// transparent colour (icons are always drawn with their mask).
class TImage : public TGraphicControl {
    LUMI_CLASS(TImage, TGraphicControl)
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value);
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool IncrementalDisplay() const { return FIncrementalDisplay; }
    void SetIncrementalDisplay(bool Value) { FIncrementalDisplay = Value; }
    void SetAutoSize(bool Value) override;
    void GetAccessible(TAccessibleInfo& Info) override;

    // Where the picture is drawn, in client coordinates.
    TRect DestRect();

    // Stored only: pictures load whole, so there is no progress to report.
    TProgressEvent OnProgress;

protected:
    void Paint() override;
    // The picture's OnChange: resize (AutoSize), carry Transparent over, repaint.
    virtual void PictureChanged(TObject* Sender);

private:
    void AdjustToPicture();

    std::unique_ptr<TPicture> FPicture;
    bool FCenter = false;
    bool FStretch = false;
    bool FProportional = false;
    bool FTransparent = false;
    bool FIncrementalDisplay = false;
};

}  // namespace lumivane
