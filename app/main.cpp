// The notice program: shows the "Renamed to Lumivane" window until it is closed.
#include "lumivane/drivers/posix/TerminationSignals.h"
#include "lumivane/drivers/x11/RunOnDisplay.h"
#include "app/frmMain.h"
#include "lumivane/windows/Window.h"
#include "lumivane/base/Exception.h"
#include "lumivane/drivers/x11/X11Driver.h"

using namespace lumivane;

int main() {
    // Logout and kill close the window as its close box does.
    CloseOnTerminationSignals();
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
