// The control gallery: one window with every control of the library, live.
#include "app/RunOnDisplay.h"
#include "gallery/frmGallery.h"
#include "lumivane/platform/Window.h"
#include "lumivane/framework/Exceptions.h"
#include "lumivane/platform/drivers/x11/X11Driver.h"

int main() {
    return RunOnDisplay(
        "lumivane-gallery",
        [] {
            Application->Initialize();
            RegisterGalleryWindow();
            EchoGalleryEvents(true);
            Application->SetTitle("Lumivane controls");
            Application->CreateForm(Gallery);
            Application->Run();
            return 0;
        },
        true);
}
