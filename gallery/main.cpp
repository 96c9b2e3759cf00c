// The control gallery: one window with every control of the library, live.
#include <cstdio>
#include <memory>

#include "gallery/frmGallery.h"
#include "lumivane/platform/Window.h"
#include "lumivane/framework/Exceptions.h"
#include "lumivane/platform/drivers/x11/X11Driver.h"

int main() {
    std::unique_ptr<Driver> driver;
    try {
        driver = CreateX11Driver(nullptr);
    } catch (const Exception& e) {
        std::fprintf(stderr, "lumivane-gallery: %s\n", e.what());
        return 1;
    }
    InitWindowSystem(driver.get());
    int status = 0;
    try {
        Application->Initialize();
        RegisterGalleryWindow();
        EchoGalleryEvents(true);
        Application->SetTitle("Lumivane controls");
        Application->CreateForm(Gallery);
        Application->Run();
    } catch (Exception& e) {
        std::fprintf(stderr, "lumivane-gallery: %s\n", e.what());
        Application->ShowException(e);
        status = 1;
    }
    delete Application;
    ShutdownWindowSystem();
    return status;
}
