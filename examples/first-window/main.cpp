// first-window: a window made of Lumivane controls, its layout read from FirstWindow.txt.
//
//   first-window                     shows the window until it is closed
//   first-window --headless OUT.png  runs it without a display: presses Add twice, writes the
//                                    window's picture and prints the total
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include <lumivane/framework/Application.h>
#include <lumivane/base/Exception.h>
#include <lumivane/windows/Window.h>
#include <lumivane/drivers/headless/Session.h>
#include <lumivane/drivers/x11/RunOnDisplay.h>
#include <lumivane/gfx/raster/Surface.h>

#include "FirstWindow.h"

using namespace lumivane;

namespace {

// The layout lies beside the program.
std::string ReadLayout(const char* argv0) {
    std::string dir = ".";
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = n > 0 ? std::string(self, size_t(n)) : std::string(argv0);
    if (size_t slash = path.rfind('/'); slash != std::string::npos) dir = path.substr(0, slash);
    std::ifstream in(dir + "/FirstWindow.txt", std::ios::binary);
    if (!in) throw Exception("cannot read " + dir + "/FirstWindow.txt");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Without a display: the headless driver, input played by the program itself.
int RunHeadless(const std::string& png) {
    HeadlessSession session;
    Application->Initialize();
    RegisterFirstWindow();
    Application->CreateForm(FirstWindow);
    FirstWindow->Show();
    session.Pump();
    TImButton* add = FirstWindow->btnAdd;
    TPoint centre = add->ClientToScreen({add->Width() / 2, add->Height() / 2});
    session.Click(centre.x, centre.y);
    session.Click(centre.x, centre.y);
    session.Save(FirstWindow->Handle(), png);
    std::printf("%s\n", FirstWindow->lblTotal->Caption().c_str());
    const bool added = FirstWindow->Total() == 2;
    Application->DestroyComponents();
    return added ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    try {
        TFirstWindow::Layout = ReadLayout(argv[0]);
        if (argc == 3 && std::string(argv[1]) == "--headless") return RunHeadless(argv[2]);
        if (argc != 1) {
            std::fprintf(stderr, "usage: first-window [--headless OUT.png]\n");
            return 2;
        }
        // On the real display: the usual life of a program.
        return RunOnDisplay("first-window", [] {
            Application->Initialize();
            RegisterFirstWindow();
            Application->SetTitle("First window");
            Application->CreateForm(FirstWindow);
            Application->Run();
            return 0;
        });
    } catch (const Exception& e) {
        std::fprintf(stderr, "first-window: %s\n", e.what());
        return 1;
    }
}
