// formview: shows a form layout in a real window, running the application's message loop, and
// loads it again each time the file is saved; with --design, edits it. Exit status: 0 when the
// window was closed (or, with --once, painted), 1 when the layout did not load with --once or
// --design, or the display cannot be opened, 2 for a bad command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "lumivane/drivers/posix/TerminationSignals.h"
#include "lumivane/drivers/x11/RunOnDisplay.h"
#include "lumivane/framework/Application.h"
#include "lumivane/framework/Form.h"
#include "lumivane/windows/Window.h"
#include "lumivane/base/Exception.h"
#include "lumivane/drivers/x11/X11Driver.h"
#include "tools/ToolClasses.h"
#include "tools/formview/Designer.h"
#include "tools/formview/Viewer.h"

using namespace lumivane;

namespace {

const char* const kUsage =
    "usage: formview LAYOUT.txt [--once | --design] [--scale N]\n"
    "\n"
    "Shows the form layout in a window (every class of the library is known; a window class of your\n"
    "own is shown as a plain TForm whose events call nothing) and loads it again\n"
    "each time the file is saved; a layout that does not load shows its error, with the line, in the\n"
    "window until the next save. Close the window to end.\n"
    "--once: exit after the first paint: status 0, or 1 when the layout does not load.\n"
    "--design: edit the layout: select, move and size its controls on an 8-pixel grid (Alt: freely),\n"
    "edit their properties in the inspector, add controls from its palette; Delete, Ctrl+C, Ctrl+V,\n"
    "Ctrl+Z, Ctrl+Shift+Z, Ctrl+S saves. Status 1 when the layout does not load.\n"
    "--scale N (1 to 4): N device pixels per pixel, as on a high-density display (the same as\n"
    "LUMIVANE_SCALE=N; without either, the desktop's Xft.dpi decides).\n";

int FormView(const std::string& path, bool once) {
    Application->Initialize();
    RegisterToolClasses();
    Application->SetTitle("formview");
    TFormViewer viewer(path);
    bool loaded = viewer.Load();
    if (once && !loaded) return 1;
    if (once) {
        // The idle handler runs when every message is handled, the paints included.
        Application->OnIdle = [](TObject*) { Application->Terminate(); };
    } else {
        viewer.Watch();
    }
    Application->Run();
    return 0;
}

int FormDesign(const std::string& path) {
    Application->Initialize();
    RegisterToolClasses();
    Application->SetTitle("formview");
    TDesigner designer(path);
    if (!designer.Open()) return 1;
    return designer.Run();
}

} // namespace

int main(int argc, char** argv) {
    std::string path;
    bool once = false, design = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--once") == 0) {
            once = true;
        } else if (std::strcmp(argv[i], "--scale") == 0) {
            const char* n = i + 1 < argc ? argv[++i] : "";
            if (std::strlen(n) != 1 || n[0] < '1' || n[0] > '4') {
                std::fprintf(stderr, "formview: --scale takes 1, 2, 3 or 4, not '%s'\n%s", n, kUsage);
                return 2;
            }
            // The display driver reads it when it connects.
            setenv("LUMIVANE_SCALE", n, 1);
        } else if (std::strcmp(argv[i], "--design") == 0) {
            design = true;
        } else if (argv[i][0] == '-' || !path.empty()) {
            std::fprintf(stderr, "formview: unexpected argument %s\n%s", argv[i], kUsage);
            return 2;
        } else {
            path = argv[i];
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "formview: no layout file given\n%s", kUsage);
        return 2;
    }
    if (once && design) {
        std::fprintf(stderr, "formview: --once and --design do not go together\n%s", kUsage);
        return 2;
    }
    CloseOnTerminationSignals();
    if (design) return RunOnDisplay("formview", [&] { return FormDesign(path); }, false);
    return RunOnDisplay("formview", [&] { return FormView(path, once); }, false);
}
