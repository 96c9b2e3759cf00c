// The notice program: shows the "Renamed to Lumivane" window until it is closed.
#include "app/RunOnDisplay.h"
#include "app/frmMain.h"
#include "lumivane/platform/Window.h"
#include "lumivane/framework/Exceptions.h"
#include "lumivane/platform/drivers/x11/X11Driver.h"

int main() {
    return RunOnDisplay(
        "lumivane-notice",
        [] {
            Application->Initialize();
            RegisterNoticeWindow();
            Application->SetTitle("Test TImButtons");
            Application->CreateForm(Main);
            Application->Run();
            return 0;
        },
        true);
}
