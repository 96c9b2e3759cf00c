// Where the notice program's start-up goes: runs the program's own start-up steps on the real X11
// driver with a clock between them and prints one line of phase times (ms), then ends at the
// first presented frame.
//
//   startup_phases            (DISPLAY set; re-executes itself to time the exec)
//
// Each phase is printed as NAME=WALL/CPU/HEAP (ms, ms, KB of heap in use at its end). Phases: exec (process start and dynamic linking, to main), x_connect (display, driver),
// font_lookup (the first font found: fontconfig's remembered answer, or its configuration and
// match when the answers of an earlier run no longer hold), fonts (the window's three fonts opened and
// the glyphs of its texts rendered, or taken from the glyphs an earlier run kept), layout (the form and its controls loaded from the resource),
// paint (showing the window until its first frame is handed over), present (that frame sent and
// drawn by the server: a round trip after it). Linked like the program, so the exec costs the same.
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "app/frmMain.h"
#include "lumivane/windows/Window.h"
#include "lumivane/drivers/x11/X11Driver.h"
#include "lumivane/gfx/text/Font.h"

using namespace lumivane;

namespace {

int64_t NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

int64_t CpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

int64_t gMark = 0, gCpuMark = 0;
std::string gLine;

// Adds the wall and CPU time since the last mark as `name`, and the heap in use at its end
// (name=WALL/CPU/KB), and sets a new mark.
void Phase(const char* name) {
    const int64_t now = NowNs(), cpu = CpuNs();
    const struct mallinfo2 heap = mallinfo2();
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s%s=%.3f/%.3f/%zu", gLine.empty() ? "" : " ", name, (now - gMark) / 1e6,
                  (cpu - gCpuMark) / 1e6, (heap.uordblks + heap.hblkhd) / 1024);
    gLine += buf;
    gMark = now;
    gCpuMark = cpu;
}

// Passes everything to the X11 driver; the first Present ends the measurement.
class TimingDriver final : public Driver {
public:
    explicit TimingDriver(std::unique_ptr<Driver> inner) : FInner(std::move(inner)) {}

    DriverWindowId CreateTopLevel(const TopLevelSpec& r) override { return FInner->CreateTopLevel(r); }
    void DestroyTopLevel(DriverWindowId id) override { FInner->DestroyTopLevel(id); }
    void ShowTopLevel(DriverWindowId id, bool v) override { FInner->ShowTopLevel(id, v); }
    void SetTitle(DriverWindowId id, const std::string& t) override { FInner->SetTitle(id, t); }
    void SetIcon(DriverWindowId id, int w, int h, const std::vector<uint32_t>& p) override { FInner->SetIcon(id, w, h, p); }
    void SetBounds(DriverWindowId id, const TRect& b) override { FInner->SetBounds(id, b); }
    TPoint ClientOrigin(DriverWindowId id) override { return FInner->ClientOrigin(id); }
    TSize ScreenSize() override { return FInner->ScreenSize(); }
    void Present(DriverWindowId id, const Surface& s, const std::vector<TRect>& rects) override {
        Phase("paint");
        FInner->Present(id, s, rects);
        TPoint p;
        FInner->GetCursorPos(p); // a round trip: the server has drawn the frame when it returns
        Phase("present");
        std::printf("%s\n", gLine.c_str());
        std::fflush(stdout);
        KeepDrawnGlyphs();
        _exit(0);
    }
    int64_t Now() override { return FInner->Now(); }
    void WaitEvents(int64_t deadline, std::vector<DriverEvent>& out) override { FInner->WaitEvents(deadline, out); }
    bool GetCursorPos(TPoint& p) override { return FInner->GetCursorPos(p); }
    void SetCursor(DriverWindowId id, CursorKind c) override { FInner->SetCursor(id, c); }
    void SetSelectionText(TSelection w, const std::string& t) override { FInner->SetSelectionText(w, t); }
    bool GetSelectionText(TSelection w, std::string& t) override { return FInner->GetSelectionText(w, t); }
    System& GetSystem() override { return FInner->GetSystem(); }
    void WatchReadable(int fd, bool watch) override { FInner->WatchReadable(fd, watch); }

private:
    std::unique_ptr<Driver> FInner;
};

} // namespace

int main(int argc, char** argv) {
    const char* started = std::getenv("LUMI_PHASES_EXEC_NS");
    if (!started) {
        // A child reads the clock just before its exec and again in the new image's main; its
        // CPU time until then is the exec's and the dynamic linker's.
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("LUMI_PHASES_EXEC_NS", std::to_string(NowNs()).c_str(), 1);
            execv("/proc/self/exe", argv);
            std::perror("startup_phases: exec");
            _exit(127);
        }
        int status = 1;
        if (pid < 0 || waitpid(pid, &status, 0) != pid) return 1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    }
    (void)argc;
    gMark = std::strtoll(started, nullptr, 10);
    Phase("exec");

    auto driver = std::make_unique<TimingDriver>(CreateX11Driver(nullptr));
    InitWindowSystem(driver.get());
    Phase("x_connect");

    // The form's fonts, as its layout asks for them; the first one reads the remembered font
    // answers (or fontconfig's configuration, when they no longer hold).
    FontSpec plain{.name = "宋体", .height = -14};
    FontSpec bold = plain, large = plain, link = plain;
    bold.bold = true;
    large.bold = true;
    large.height = -19;
    link.underline = true;
    GetFont(plain);
    Phase("font_lookup");
    TextWidth(GetFont(bold), NoticeText);
    TextWidth(GetFont(large), "Lumivane");
    TextWidth(GetFont(link), "Download Now draventa.example");
    TextWidth(GetFont(plain), "Close");
    Phase("fonts");

    Application->Initialize();
    RegisterNoticeWindow();
    Application->SetTitle("Test TImButtons");
    Application->CreateForm(Main);
    Phase("layout");
    Application->Run();
    std::fprintf(stderr, "startup_phases: the window closed before its first frame\n");
    return 1;
}
