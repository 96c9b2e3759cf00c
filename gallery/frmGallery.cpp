#include "gallery/frmGallery.h"

#include <cstdio>

#include "lumivane/controls/ImButton.h"
#include "lumivane/controls/ImImage.h"
#include "lumivane/controls/ImPanel.h"
#include "lumivane/controls/KdBackImage.h"
#include "lumivane/controls/KdUpDownEdit.h"
#include "lumivane/controls/KdUrlLabel.h"
#include "lumivane/controls/ValidateEdit.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Image.h"
#include "lumivane/framework/Published.h"

using namespace lumivane;

TGallery* Gallery = nullptr;

namespace {
bool gEcho = false;
}  // namespace

void EchoGalleryEvents(bool Echo) { gEcho = Echo; }

LUMI_DEFINE_CLASS(TGallery) {
    p.ExposeMethod("AnyClick", &TGallery::AnyClick)
        .ExposeMethod("AnyDblClick", &TGallery::AnyDblClick)
        .ExposeMethod("AnyChange", &TGallery::AnyChange)
        .ExposeMethod("AnyMouseEnter", &TGallery::AnyMouseEnter)
        .ExposeMethod("AnyMouseLeave", &TGallery::AnyMouseLeave)
        .ExposeMethod("AnyImStatusChanged", &TGallery::AnyImStatusChanged)
        .ExposeMethod("AnyDragOver", &TGallery::AnyDragOver)
        .ExposeMethod("AnyDragDrop", &TGallery::AnyDragDrop)
        .ExposeField("lblEvent", &TGallery::lblEvent);
}

TGallery::TGallery(TComponent* Owner) : TForm(Owner) { LoadForm("TGALLERY"); }

void TGallery::AnyClick(TObject* Sender) { ShowEvent(Sender, "OnClick"); }
void TGallery::AnyDblClick(TObject* Sender) { ShowEvent(Sender, "OnDblClick"); }
// With the new text, so a script can follow what an edit holds.
void TGallery::AnyChange(TObject* Sender) {
    auto* control = dynamic_cast<TControl*>(Sender);
    ShowEvent(Sender, control ? "OnChange '" + control->GetText() + "'" : std::string("OnChange"));
}
void TGallery::AnyMouseEnter(TObject* Sender) { ShowEvent(Sender, "OnMouseEnter"); }
void TGallery::AnyMouseLeave(TObject* Sender) { ShowEvent(Sender, "OnMouseLeave"); }

void TGallery::AnyImStatusChanged(TObject* Sender, int NewStatus, int OldStatus) {
    ShowEvent(Sender, "status " + std::to_string(OldStatus) + " -> " + std::to_string(NewStatus));
}

void TGallery::AnyDragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
    Accept = dynamic_cast<TImage*>(Source) != nullptr;
}

void TGallery::AnyDragDrop(TObject* Sender, TObject* Source, int, int) {
    auto* source = dynamic_cast<TComponent*>(Source);
    ShowEvent(Sender, "OnDragDrop from " + (source ? source->Name() : std::string("?")));
}

void TGallery::ShowEvent(TObject* Sender, const std::string& What) {
    auto* component = dynamic_cast<TComponent*>(Sender);
    // An unnamed inner part (the validating edit's inner edit sends OnChange) goes by its owner.
    if (component && component->Name().empty() && component->Owner()) component = component->Owner();
    std::string line = (component ? component->Name() : std::string("?")) + ": " + What;
    if (gEcho) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    if (lblEvent) lblEvent->SetCaption(line);
}

void RegisterGalleryWindow() {
    // Every unit of the control library puts its classes on the palette (and so in the registry).
    ImButton::Register();
    ImImage::Register();
    ImPanel::Register();
    KdUrlLabel::Register();
    KdBackImage::Register();
    ValidateEdit::Register();
    KdUpDownEdit::Register();
    RegisterClass(TGallery::StaticClass());
}
