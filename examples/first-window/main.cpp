// first-window: a window made of Lumivane controls, its layout read from FirstWindow.txt.
//
//   first-window                     shows the window until it is closed
//   first-window --headless OUT.png  runs it without a display: presses Add twice, writes the
//                                    window's picture and prints the total
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

#include <lumivane/framework/Application.h>
#include <lumivane/framework/Exceptions.h>
#include <lumivane/platform/Window.h>
#include <lumivane/platform/drivers/headless/Session.h>
#include <lumivane/platform/drivers/x11/X11Driver.h>
#include <lumivane/platform/raster/Surface.h>

#include "FirstWindow.h"

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

// On the real display: the usual life of a program.
int RunOnDisplay() {
    std::unique_ptr<Driver> driver = CreateX11Driver(nullptr);
    InitWindowSystem(driver.get());
    int status = 0;
    try {
        Application->Initialize();
        RegisterFirstWindow();
        Application->SetTitle("First window");
        Application->CreateForm(FirstWindow);
        Application->Run();
    } catch (Exception& e) {
        Application->ShowException(e);
        status = 1;
    }
    delete Application;
    ShutdownWindowSystem();
    return status;
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
        return RunOnDisplay();
    } catch (const Exception& e) {
        std::fprintf(stderr, "first-window: %s\n", e.what());
        return 1;
    }
}
