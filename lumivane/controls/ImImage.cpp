#include "lumivane/controls/ImImage.h"

#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/base/Exception.h"
#include "lumivane/framework/Form.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Published.h"
#include "lumivane/framework/Picture.h"

namespace lumivane {

LUMI_DEFINE_CLASS(TImImage) {
    p.Prop("IsBkgnd", &TImImage::fGetIsBkgnd, &TImImage::fSetIsBkgnd, false)
        .Object("HotPicture", &TImImage::fGetHotPicture)
        .Object("SelPicture", &TImImage::fGetSelPicture)
        .Object("NomPicture", &TImImage::fGetNomPicture)
        .Event("OnImStatusChanged", &TImImage::OnImStatusChanged);
}

TImImage::TImImage(TComponent* AOwner)
    : TImage(AOwner),
      FNomPicture(std::make_unique<TPicture>(this)),
      FHotPicture(std::make_unique<TPicture>(this)),
      FSelPicture(std::make_unique<TPicture>(this)) {}

// The members go selected, hot, normal: the reverse of their declaration.
TImImage::~TImImage() = default;

void TImImage::fSetNomPicture(TPicture* Value) { FNomPicture->Assign(Value); }
void TImImage::fSetHotPicutre(TPicture* Value) { FHotPicture->Assign(Value); }
void TImImage::fSetSelPicture(TPicture* Value) { FSelPicture->Assign(Value); }

IImPanelHost* TImImage::PanelParent() const {
    TWinControl* p = Parent();
    // By class name, so the image needs nothing of the panel's unit.
    if (!p || !p->InheritsFrom("TImPanel")) return nullptr;
    return dynamic_cast<IImPanelHost*>(p);
}

void TImImage::fSetImStatus(int Value) {
    if (FIsBkgnd) return;
    const int old = FImStatus;
    try {
        // The picture given at design time becomes the normal one unless one was set.
        if (!FNomPicture->HasGraphic()) FNomPicture->Assign(Picture());
        switch (Value) {
        case imsHot:
            if (FImStatus != imsHot) {
                Picture()->Assign(FHotPicture.get());
                FImStatus = imsHot;
            }
            break;
        case imsSelected:
            if (FImStatus != imsSelected) {
                Picture()->Assign(FSelPicture.get());
                FImStatus = imsSelected;
            }
            break;
        default:
            if (FImStatus != imsNormal) {
                Picture()->Assign(FNomPicture.get());
                FImStatus = imsNormal;
            }
            break;
        }
    } catch (const Exception&) {
        // A picture that cannot be copied leaves the status as far as it got; still report it.
    }
    if ((old == imsSelected) != (FImStatus == imsSelected)) AccNotifyState(this, asChecked, FImStatus == imsSelected);
    if (FImStatus == imsHot)
        if (IImPanelHost* panel = PanelParent()) panel->ImageTurnedHot();
    try {
        OnImStatusChanged(this, FImStatus, old);
    } catch (const Exception& e) {
        Application->MessageBox(e.Message(), Application->Title(), MB_ICONEXCLAMATION | MB_OK);
    }
}

void TImImage::SetParent(TWinControl* AParent) {
    inherited::SetParent(AParent);
    if (FImStatus == imsHot)
        if (IImPanelHost* panel = PanelParent()) panel->ImageTurnedHot();
}

namespace {
// The panel's failures do not stop the image's own mouse handling.
void ResetQuietly(IImPanelHost* panel) {
    try {
        panel->ResetAllImages();
    } catch (const Exception&) {
    }
}
}  // namespace

void TImImage::MouseMove(TShiftState Shift, int X, int Y) {
    TWatch w(this);
    inherited::MouseMove(Shift, X, Y);
    if (!w.Alive()) return;
    IImPanelHost* panel = PanelParent();
    if (FIsBkgnd) {
        // An inert image is part of the panel's background.
        if (panel) ResetQuietly(panel);
        return;
    }
    if (FImStatus == imsHot) return;
    if (panel) {
        ResetQuietly(panel);
        if (!w.Alive()) return;
    }
    // A selected image stays selected under the mouse.
    if (FImStatus != imsSelected) fSetImStatus(imsHot);
}

void TImImage::Click() {
    TWatch w(this);
    IImPanelHost* panel = PanelParent();
    if (!FIsBkgnd && panel) {
        try {
            panel->UnselAllImages();
            panel->ResetAllImages();
            if (w.Alive() && panel->fGetKeepSelStatus()) fSetImStatus(imsSelected);
        } catch (const Exception&) {
        }
    }
    if (w.Alive()) inherited::Click();
}

void TImImage::GetAccessible(TAccessibleInfo& Info) {
    inherited::GetAccessible(Info);
    if (FIsBkgnd) {
        Info.Role = TAccRole::None;
        return;
    }
    Info.Role = PanelParent() ? TAccRole::RadioButton : TAccRole::ToggleButton;
    Info.Name = Hint().empty() ? Name() : Hint();
    Info.Description.clear();
    Info.States << asCheckable;
    if (FImStatus == imsSelected) Info.States << asChecked;
    Info.Actions.push_back({"click", ""});
}

namespace ImImage {
void Register() { RegisterComponents("Lumivane", {TImImage::StaticClass()}); }
}  // namespace ImImage

}  // namespace lumivane
