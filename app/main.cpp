// The notice program: shows the "Renamed to Lumivane" window until it is closed.
#include <cstdio>
#include <memory>

#include "app/frmMain.h"
#include "lumivane/platform/Window.h"
#include "lumivane/framework/Exceptions.h"
#include "lumivane/platform/drivers/x11/X11Driver.h"

int main() {
    std::unique_ptr<Driver> driver;
    try {
        driver = CreateX11Driver(nullptr);
    } catch (const Exception& e) {
        // No display: there is nobody to show a message box to.
        std::fprintf(stderr, "lumivane-notice: %s\n", e.what());
        return 1;
    }
    InitWindowSystem(driver.get());
    int status = 0;
    try {
        Application->Initialize();
        RegisterNoticeWindow();
        Application->SetTitle("Test TImButtons");
        Application->CreateForm(Main);
        Application->Run();
    } catch (Exception& e) {
        // A failed start-up is reported to the user, and to whoever started us: a non-zero status.
        std::fprintf(stderr, "lumivane-notice: %s\n", e.what());
        Application->ShowException(e);
        status = 1;
    }
    delete Application;
    ShutdownWindowSystem();
    return status;
}
