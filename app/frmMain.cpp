#include "app/frmMain.h"

#include <cstdlib>

#include "lumivane/controls/ImPanel.h"
#include "lumivane/framework/ClassRegistry.h"
#include "lumivane/framework/Published.h"
#include "lumivane/gfx/image/FileBytes.h"

using namespace lumivane;

TMain* Main = nullptr;

const char* const NoticeText =
    "    Draventa, have made numerous improvements to Quillomat. With all these improvements and new "
    "features, we decided we needed a new name! Quillomat is now known as Lumivane 1.0. Lumivane has "
    "all of the features you have come to know and love of our Quillomat, plus many more. You will "
    "also be happy to know, that even will all the improvments and changes, we have not raised the "
    "price for Lumivane.";

LUMI_DEFINE_CLASS(TMain) {
    p.ExposeMethod("FormCreate", &TMain::FormCreate)
        .ExposeMethod("btnCloseClick", &TMain::btnCloseClick)
        .ExposeField("KdUrlLabel1", &TMain::KdUrlLabel1)
        .ExposeField("KdBackImage1", &TMain::KdBackImage1)
        .ExposeField("ImImage1", &TMain::ImImage1)
        .ExposeField("Label1", &TMain::Label1)
        .ExposeField("Label2", &TMain::Label2)
        .ExposeField("KdUrlLabel2", &TMain::KdUrlLabel2)
        .ExposeField("btnClose", &TMain::btnClose);
}

TMain::TMain(TComponent* Owner) : TForm(Owner) {
    // Tests may hand the window another layout file to check how start-up failures are reported.
    if (const char* path = std::getenv("LUMI_TEST_LAYOUT")) {
        std::vector<uint8_t> bytes;
        try {
            bytes = ReadFileBytes(path, 16u << 20);
        } catch (const Exception& e) {
            throw Exception("cannot read the window layout: " + e.Message());
        }
        LoadFormText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        return;
    }
    LoadForm("TMAIN");
}

void TMain::FormCreate(TObject* /*Sender*/) { Label1->SetCaption(NoticeText); }

void TMain::btnCloseClick(TObject* /*Sender*/) { Close(); }

void RegisterNoticeWindow() {
    // The library's units put their classes on the palette (and so in the registry).
    ImButton::Register();
    ImImage::Register();
    ImPanel::Register();
    KdUrlLabel::Register();
    KdBackImage::Register();
    RegisterClass(TMain::StaticClass());
}
