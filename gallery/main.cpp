// The control gallery: one window with every control of the library, live.
#include "lumivane/drivers/posix/TerminationSignals.h"
#include "lumivane/drivers/x11/RunOnDisplay.h"
#include "gallery/frmGallery.h"
#include "lumivane/windows/Window.h"
#include "lumivane/base/Exception.h"
#include "lumivane/drivers/x11/X11Driver.h"

using namespace lumivane;

int main() {
    // Logout and kill close the window as its close box does.
    CloseOnTerminationSignals();
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
