#pragma once
#include <memory>

#include "lumivane/framework/Image.h"

namespace lumivane {

// What an image asks of the image panel that holds it. The panel class implements it; an image
// reaches it only when its parent is that panel (or derives from it).
class IImPanelHost {
public:
    // Every hot image of the panel back to normal.
    virtual void ResetAllImages() = 0;
    // Every selected image of the panel back to normal.
    virtual void UnselAllImages() = 0;
    // Whether a click leaves the clicked image selected.
    virtual bool fGetKeepSelStatus() const = 0;
    // An image of the panel is hot now (it turned hot, or came onto the panel hot).
    virtual void ImageTurnedHot() {}

protected:
    ~IImPanelHost() = default;
};

// The states of a tri-state image. The status travels as an int (ImStatus, OnImStatusChanged):
// any other value requested means normal.
enum TImStatus : int { imsNormal = 0, imsHot = 1, imsSelected = 2 };

struct TImStatusChangedEvent : TEvent<TObject*, int, int> {
    using TEvent::TEvent;
    static constexpr const char* ParamNames = "Sender, NewStatus, OldStatus";
};

// A picture with three states, each with its own picture: normal (0), hot (1) and selected (2).
// The picture shown is TImage's Picture; a state change copies the state's picture into it.
// The image turns hot under the mouse but never back by itself: returning to normal is the
// panel's work. With IsBkgnd set it is an inert piece of background.
class TImImage : public TImage {
    LUMI_CLASS(TImImage, TImage)
public:
    explicit TImImage(TComponent* AOwner);
    ~TImImage() override;

    bool fGetIsBkgnd() const { return FIsBkgnd; }
    void fSetIsBkgnd(bool Value) { FIsBkgnd = Value; }
    // The state pictures: setting one copies the picture and changes nothing shown.
    TPicture* fGetNomPicture() const { return FNomPicture.get(); }
    void fSetNomPicture(TPicture* Value);
    TPicture* fGetHotPicture() const { return FHotPicture.get(); }
    void fSetHotPicutre(TPicture* Value);
    TPicture* fGetSelPicture() const { return FSelPicture.get(); }
    void fSetSelPicture(TPicture* Value);
    // The properties by their published names.
    bool IsBkgnd() const { return fGetIsBkgnd(); }
    void SetIsBkgnd(bool Value) { fSetIsBkgnd(Value); }
    TPicture* NomPicture() const { return fGetNomPicture(); }
    void SetNomPicture(TPicture* Value) { fSetNomPicture(Value); }
    TPicture* HotPicture() const { return fGetHotPicture(); }
    void SetHotPicture(TPicture* Value) { fSetHotPicutre(Value); }
    TPicture* SelPicture() const { return fGetSelPicture(); }
    void SetSelPicture(TPicture* Value) { fSetSelPicture(Value); }

    int fGetImStatus() const { return FImStatus; }
    // The only way the status changes. Refused (no event) for an inert image; otherwise the
    // event fires after the request, even when the status was already the requested one.
    void fSetImStatus(int Value);

    void Click() override;
    // A toggle button (a radio button in an image panel), checked while selected; an inert
    // image is background and not exposed.
    void GetAccessible(TAccessibleInfo& Info) override;
    void SetParent(TWinControl* AParent) override;

    TImStatusChangedEvent OnImStatusChanged;

protected:
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    // The parent as an image panel, or null for any other parent.
    IImPanelHost* PanelParent() const;

    bool FIsBkgnd = false;
    int FImStatus = imsNormal;
    std::unique_ptr<TPicture> FNomPicture;
    std::unique_ptr<TPicture> FHotPicture;
    std::unique_ptr<TPicture> FSelPicture;
};

namespace ImImage {
// Puts the unit's classes on the library's palette page.
void Register();
}  // namespace ImImage

}  // namespace lumivane
