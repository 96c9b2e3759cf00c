#pragma once
// What the X11 driver's tests share: a driver on the test's display, a probe of what the server
// shows, and pumping its events.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "lumivane/windows/Messages.h"
#include "lumivane/base/Exception.h"
#include "lumivane/drivers/x11/X11Driver.h"
#include "tests/x11/IncrOwner.h"
#include "tests/x11/XProbe.h"


namespace lumivane::x11test {

using Events = std::vector<DriverEvent>;

inline std::string BinDir() {
    char path[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string s(path, n > 0 ? static_cast<size_t>(n) : 0);
    return s.substr(0, s.rfind('/'));
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// Runs a shell command line with the given stdin text and returns its stdout. The driver keeps
// pumping events meanwhile, since the command may be talking to it (the clipboard).
inline std::string RunPumping(Driver& driver, const std::string& command, const std::string& input = "") {
    const char* tmp = std::getenv("TMPDIR");
    std::string inName = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/lumi-x11-in.XXXXXX";
    std::string outName = inName.substr(0, inName.size() - 13) + "out.XXXXXX";
    char* inPath = inName.data();
    char* outPath = outName.data();
    const int inFd = mkstemp(inPath), outFd = mkstemp(outPath);
    if (write(inFd, input.data(), input.size()) != static_cast<ssize_t>(input.size())) ADD_FAILURE();
    close(inFd);
    close(outFd);
    const std::string line = command + " <" + inPath + " >" + outPath;
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    Events ignored;
    int status = 0;
    for (int i = 0; i < 500 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        driver.WaitEvents(driver.Now() + 20, ignored);
    if (waitpid(pid, &status, WNOHANG) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        ADD_FAILURE() << "timed out: " << command;
    }
    const std::string out = ReadFile(outPath);
    unlink(inPath);
    unlink(outPath);
    return out;
}

class X11DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display (run through run-with-xvfb.sh)";
        driver = CreateX11Driver(nullptr);
        ASSERT_TRUE(probe.Ok());
        probe.MovePointer(0, 0);
    }

    DriverWindowId ShowWindow(TopLevelSpec request = {}) {
        if (request.bounds.IsEmpty()) {
            request.bounds = {0, 0, 478, 334};
            request.centred = true;
        }
        if (request.title.empty()) request.title = "Renamed to Lumivane";
        const DriverWindowId id = driver->CreateTopLevel(request);
        driver->ShowTopLevel(id, true);
        Pump([&](const DriverEvent&) { return false; }, 0); // let the map happen
        for (int i = 0; i < 100 && !probe.Viewable(id); ++i) Pump(nullptr, 10);
        return id;
    }

    // Collects events until one satisfies `until` or `ms` more milliseconds pass (a bound for a
    // broken driver, not a timing check).
    Events Pump(const std::function<bool(const DriverEvent&)>& until, int ms = 3000) {
        Events all;
        const int64_t end = driver->Now() + ms;
        for (;;) {
            Events got;
            driver->WaitEvents(std::min(end, driver->Now() + 50), got);
            all.insert(all.end(), got.begin(), got.end());
            for (const DriverEvent& e : got)
                if (until && until(e)) return all;
            if (driver->Now() >= end) return all;
        }
    }
    Events PumpFor(DriverEvent::Type type, int ms = 3000) {
        return Pump([type](const DriverEvent& e) { return e.type == type; }, ms);
    }
    static const DriverEvent* First(const Events& events, DriverEvent::Type type) {
        for (const DriverEvent& e : events)
            if (e.type == type) return &e;
        return nullptr;
    }
    static int Count(const Events& events, DriverEvent::Type type) {
        return static_cast<int>(std::count_if(events.begin(), events.end(),
                                              [type](const DriverEvent& e) { return e.type == type; }));
    }

    std::unique_ptr<Driver> driver;
    XProbe probe;
};

}  // namespace lumivane::x11test
