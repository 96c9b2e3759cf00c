// The notice program: shows the "Renamed to Lumivane" window until it is closed.
#include "app/RunOnDisplay.h"
#include "app/frmMain.h"

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
