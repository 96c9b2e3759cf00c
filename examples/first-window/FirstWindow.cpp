#include "FirstWindow.h"

#include <lumivane/controls/ImButton.h>
#include <lumivane/controls/KdUpDownEdit.h>
#include <lumivane/controls/KdUrlLabel.h>
#include <lumivane/framework/ClassRegistry.h>
#include <lumivane/framework/Published.h>

using namespace lumivane;

TFirstWindow* FirstWindow = nullptr;
std::string TFirstWindow::Layout;

// What the layout may name: the handlers it binds and the fields it fills in.
LUMI_DEFINE_CLASS(TFirstWindow) {
    p.ExposeMethod("AddClick", &TFirstWindow::AddClick)
        .ExposeMethod("CloseClick", &TFirstWindow::CloseClick)
        .ExposeField("udCount", &TFirstWindow::udCount)
        .ExposeField("btnAdd", &TFirstWindow::btnAdd)
        .ExposeField("lblTotal", &TFirstWindow::lblTotal);
}

TFirstWindow::TFirstWindow(TComponent* Owner) : TForm(Owner) { LoadFormText(Layout); }

void TFirstWindow::AddClick(TObject* /*Sender*/) {
    FTotal += udCount->Value();
    lblTotal->SetCaption("Total: " + std::to_string(FTotal));
}

void TFirstWindow::CloseClick(TObject* /*Sender*/) { Close(); }

void RegisterFirstWindow() {
    // Each control unit puts its classes on the palette, and so in the layout reader's registry.
    ImButton::Register();
    KdUpDownEdit::Register();
    KdUrlLabel::Register();
    RegisterClass(TFirstWindow::StaticClass());
}
