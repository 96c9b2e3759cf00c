#pragma once
#include "lumivane/controls/ImImage.h"
#include "lumivane/framework/Panel.h"

namespace lumivane {

// A panel that manages the tri-state images placed directly on it as a group: hot images go back
// to normal when the pointer moves onto the panel's surface, onto another image, or (found by a
// cursor poll once a second) anywhere outside the panel; a click on an image clears the
// selection, and with KeepSelStatus leaves just the clicked image selected. The images drive
// this from their own mouse handling; the panel changes them only through fSetImStatus, so every
// change is reported by the image and inert images refuse it.
class TImPanel : public TPanel, public IImPanelHost {
    LUMI_CLASS(TImPanel, TPanel)
public:
    explicit TImPanel(TComponent* AOwner);
    ~TImPanel() override;

    bool fGetKeepSelStatus() const override { return FKeepSelStatus; }
    // Turning it off clears the selection at once.
    void fSetKeepSelStatus(bool Value);
    bool KeepSelStatus() const { return fGetKeepSelStatus(); }
    void SetKeepSelStatus(bool Value) { fSetKeepSelStatus(Value); }

    // The cursor poll: hot images back to normal when the cursor is outside the panel. The right
    // and bottom edges count as inside (x = Width, y = Height).
    virtual void ImMousePosTimer(TObject* Sender);
    // Every image to normal, reported by each even if it already was; for the owner's code.
    virtual void InitializeImPanel();
    void ResetAllImages() override;
    void UnselAllImages() override;
    // Wakes the cursor poll (see ImMousePosTimer).
    void ImageTurnedHot() override;

    TTimer* Timer() const { return FTimer; }

    // Replaces the panel's own painting (bevels, background, caption) when handled.
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    // Requests normal for each direct child image whose status passes `which`. One child's
    // failure is swallowed and the pass goes on with the next one.
    template <class Which>
    void NormalizeImages(Which which);
    bool AnyHotImage();

    bool FKeepSelStatus = false;
    TTimer* FTimer = nullptr;
};

namespace ImPanel {
// Puts the unit's classes on the library's palette page.
void Register();
}  // namespace ImPanel

}  // namespace lumivane
