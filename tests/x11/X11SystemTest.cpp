// The X11 driver's services beside windows: the clipboard, opening addresses, cursor shapes and a lost display.
#include "tests/x11/X11TestKit.h"

using namespace lumivane;
using namespace lumivane::x11test;

namespace {

TEST_F(X11DriverTest, ClipboardFromUsToOthers) {
    ShowWindow();
    driver->SetSelectionText(TSelection::Clipboard, "h\xC3\xA9llo \xE2\x82\xAC \"q\" \xE6\xBC\xA2");
    EXPECT_EQ(probe.SelectionOwner("CLIPBOARD") != 0, true);
    EXPECT_EQ(RunPumping(*driver, "xclip -selection clipboard -o"), "h\xC3\xA9llo \xE2\x82\xAC \"q\" \xE6\xBC\xA2");
    EXPECT_EQ(RunPumping(*driver, "xclip -selection clipboard -o -t TEXT"), "h\xC3\xA9llo \xE2\x82\xAC \"q\" \xE6\xBC\xA2");
    // Latin-1 (STRING) only for text that Latin-1 holds.
    std::string targets = RunPumping(*driver, "xclip -selection clipboard -o -t TARGETS");
    EXPECT_NE(targets.find("UTF8_STRING"), std::string::npos) << targets;
    EXPECT_EQ(targets.find("STRING\n"), targets.find("UTF8_STRING\n") + 5) << targets; // no plain STRING
    EXPECT_EQ(RunPumping(*driver, "xclip -selection clipboard -o -t STRING 2>/dev/null"), "");
    driver->SetSelectionText(TSelection::Clipboard, "h\xC3\xA9llo");
    EXPECT_EQ(RunPumping(*driver, "xclip -selection clipboard -o -t STRING"), "h\xE9llo");
    std::string back;
    ASSERT_TRUE(driver->GetSelectionText(TSelection::Clipboard, back));
    EXPECT_EQ(back, "h\xC3\xA9llo");

    // One piece up to 256 KB; beyond, INCR pieces that the loop hands out as xclip takes them.
    for (size_t size : {size_t{200 * 1024}, size_t{1536 * 1024}}) {
        std::string big;
        for (size_t i = 0; big.size() < size; ++i) big += i % 40 == 39 ? "\xE6\xBC\xA2" : "x";
        driver->SetSelectionText(TSelection::Clipboard, big);
        EXPECT_EQ(RunPumping(*driver, "xclip -selection clipboard -o"), big) << size;
    }
    // The primary selection, beside the clipboard.
    driver->SetSelectionText(TSelection::Primary, "\xD1\x8F primary");
    EXPECT_EQ(RunPumping(*driver, "xclip -selection primary -o"), "\xD1\x8F primary");
    ASSERT_TRUE(driver->GetSelectionText(TSelection::Primary, back));
    EXPECT_EQ(back, "\xD1\x8F primary");
}

TEST_F(X11DriverTest, ClipboardFromOthersToUs) {
    ShowWindow();
    driver->SetSelectionText(TSelection::Clipboard, "ours");
    // xclip takes the clipboard and stays in the background to serve it; we lose ownership.
    RunPumping(*driver, "xclip -selection clipboard -i", "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x9C\x93 \xE2\x82\xAC");
    for (int i = 0; i < 100 && probe.SelectionOwner("CLIPBOARD") == 0; ++i) usleep(10000);
    std::string text;
    ASSERT_TRUE(driver->GetSelectionText(TSelection::Clipboard, text));
    EXPECT_EQ(text, "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x9C\x93 \xE2\x82\xAC");

    std::string big;
    for (int i = 0; i < 200 * 1024; ++i) big += static_cast<char>('a' + i % 26);
    const auto firstOwner = probe.SelectionOwner("CLIPBOARD");
    RunPumping(*driver, "xclip -selection clipboard -i", big);
    // The second xclip takes the clipboard from the first one in its own time.
    for (int i = 0; i < 100 && probe.SelectionOwner("CLIPBOARD") == firstOwner; ++i) usleep(10000);
    ASSERT_TRUE(driver->GetSelectionText(TSelection::Clipboard, text));
    EXPECT_EQ(text, big);

    // Bytes that are not UTF-8, from another program, are U+FFFD each; Latin-1 (STRING) becomes UTF-8.
    RunPumping(*driver, "xclip -selection primary -i", "a\xFF" "b\xC3");
    for (int i = 0; i < 100 && probe.SelectionOwner("PRIMARY") == 0; ++i) usleep(10000);
    ASSERT_TRUE(driver->GetSelectionText(TSelection::Primary, text));
    EXPECT_EQ(text, "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

TEST_F(X11DriverTest, ClipboardIncrementalTransfer) {
    const DriverWindowId id = ShowWindow();
    const TPoint o = driver->ClientOrigin(id);
    for (size_t size : {size_t{200 * 1024}, size_t{1536 * 1024}}) {
        std::string text;
        for (size_t i = 0; i < size; ++i) text += static_cast<char>('A' + i % 23);
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        if (child == 0) ServeClipboardIncrementally(text, 64 * 1024, ready[1]);
        close(ready[1]);
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        close(ready[0]);

        // Input that arrives while the clipboard is read is kept for the next wait.
        probe.MovePointer(o.x + 30, o.y + static_cast<int>(size % 7) + 3);
        std::string got;
        ASSERT_TRUE(driver->GetSelectionText(TSelection::Clipboard, got));
        EXPECT_EQ(got, text);
        Events ev;
        driver->WaitEvents(driver->Now() + 1000, ev);
        EXPECT_NE(First(ev, DriverEvent::PointerMove), nullptr);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

// While another program's text comes, the driver runs the window system's pump between looks
// at the display; a transfer that stops coming is given up with nothing read, a read asked for
// from the pump meanwhile gets nothing, and a pump that answers "the program is ending" ends
// the wait at once.
TEST_F(X11DriverTest, ClipboardTransferRunsThePumpAndGivesUpAnOwnerThatStops) {
    ShowWindow();
    const std::string text(300 * 1024, 'q');
    struct Case {
        size_t stopAfter;
        bool pumpGoesOn;
        bool got;
    } cases[] = {{SIZE_MAX, true, true}, {2, true, false}, {2, false, false}};
    for (const Case& c : cases) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        if (child == 0) ServeClipboardIncrementally(text, 64 * 1024, ready[1], c.stopAfter);
        close(ready[1]);
        char byte = 0;
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);

        int pumped = 0;
        bool nestedRefused = false;
        driver->SetWaitPump([&] {
            if (++pumped == 1) {
                std::string again = "kept";
                nestedRefused = !driver->GetSelectionText(TSelection::Clipboard, again) && again == "kept";
            }
            return c.pumpGoesOn;
        });
        std::string got = "untouched";
        EXPECT_EQ(driver->GetSelectionText(TSelection::Clipboard, got), c.got) << c.stopAfter;
        EXPECT_EQ(got, c.got ? text : "untouched") << c.stopAfter;
        // A whole transfer may come before the pump is needed; a stalled one keeps it running.
        if (!c.got) {
            EXPECT_TRUE(nestedRefused) << c.stopAfter;
        }
        if (!c.got && c.pumpGoesOn) {
            EXPECT_GT(pumped, 1) << c.stopAfter;
        }
        if (!c.pumpGoesOn) {
            EXPECT_EQ(pumped, 1);
        }
        driver->SetWaitPump(nullptr);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

TEST_F(X11DriverTest, OpenAddressPassesOneArgumentAndLeavesNoZombie) {
    const char* tmp = std::getenv("TMPDIR");
    std::string dirName = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/lumi-xdg.XXXXXX";
    char* dir = dirName.data();
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string log = std::string(dir) + "/log";
    const std::string fake = std::string(dir) + "/xdg-open";
    {
        std::ofstream f(fake);
        f << "#!/bin/sh\nprintf '%s\\n' \"$#\" >\"" << log << ".tmp\"\n"
          << "printf '%s' \"$1\" >>\"" << log << ".tmp\"\nmv \"" << log << ".tmp\" \"" << log << "\"\n"
          << "echo noise; echo noise >&2\n";
    }
    chmod(fake.c_str(), 0755);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (std::string(dir) + ":" + oldPath).c_str(), 1);

    const std::string address = "https://example.com/a'b\"c$(touch /tmp/lumi-pwned);d e`id`&f|g";
    driver->GetSystem().OpenAddress(address);
    driver->GetSystem().OpenAddress("-x"); // never reaches xdg-open as an option
    for (int i = 0; i < 100 && access(log.c_str(), F_OK) != 0; ++i) Pump(nullptr, 20);
    EXPECT_EQ(ReadFile(log), "1\n" + address);
    EXPECT_NE(access("/tmp/lumi-pwned", F_OK), 0);

    // The ended child is reaped by the loop itself: no zombie stays behind.
    auto zombies = [] {
        int n = 0;
        std::ifstream kids("/proc/self/task/" + std::to_string(getpid()) + "/children");
        pid_t pid;
        while (kids >> pid) {
            const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
            const size_t close = stat.rfind(')');
            if (close != std::string::npos && stat.size() > close + 2 && stat[close + 2] == 'Z') ++n;
        }
        return n;
    };
    for (int i = 0; i < 50 && zombies() > 0; ++i) Pump(nullptr, 20);
    EXPECT_EQ(zombies(), 0);
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(std::system((std::string("rm -rf ") + dir).c_str()), 0);
}

TEST_F(X11DriverTest, CursorShapesAreAccepted) {
    const DriverWindowId id = ShowWindow();
    for (CursorKind c : {CursorKind::Default, CursorKind::Arrow, CursorKind::Cross, CursorKind::IBeam,
                         CursorKind::HandPoint, CursorKind::SizeWE, CursorKind::Hidden, CursorKind::SizeAll,
                         CursorKind::MultiDrag})
        driver->SetCursor(id, c);
    TPoint p;
    EXPECT_TRUE(driver->GetCursorPos(p)); // still connected, no error ended us
    driver->DestroyTopLevel(id);
    driver->SetCursor(id, CursorKind::HandPoint); // a stale id is ignored
    driver->Present(id, Surface(2, 2), {{0, 0, 2, 2}});
}

// A display that goes away ends the program with a message and status 3, never a hang.
TEST(X11DriverConnection, LostDisplayEndsTheProcess) {
    int displayPipe[2], errPipe[2];
    ASSERT_EQ(pipe(displayPipe), 0);
    ASSERT_EQ(pipe(errPipe), 0);
    const pid_t server = fork();
    if (server == 0) {
        dup2(displayPipe[1], 3);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "320x240x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(displayPipe[1]);
    // The server writes its number and then a newline; it dies if the pipe closes in between.
    std::string number;
    char c = 0;
    while (number.size() < 16 && read(displayPipe[0], &c, 1) == 1 && c != '\n') number += c;
    if (number.empty()) {
        close(displayPipe[0]);
        kill(server, SIGKILL);
        waitpid(server, nullptr, 0);
        GTEST_SKIP() << "could not start a second Xvfb";
    }
    const std::string name = ":" + number;

    const pid_t client = fork();
    if (client == 0) {
        // Never back into the test runner from here.
        dup2(errPipe[1], 2);
        std::unique_ptr<Driver> d;
        for (int i = 0; i < 50 && !d; ++i) {
            try {
                d = CreateX11Driver(name.c_str());
            } catch (const Exception&) {
                usleep(20000);
            }
        }
        if (!d) { _exit(4); }
        TopLevelSpec request;
        request.bounds = {0, 0, 20, 20};
        d->ShowTopLevel(d->CreateTopLevel(request), true);
        std::fputs("ready\n", stderr);
        std::fflush(stderr);
        std::vector<DriverEvent> ev;
        for (;;) d->WaitEvents(-1, ev);
    }
    close(errPipe[1]);
    std::string err;
    char buf[256];
    ssize_t got = 0;
    while (err.find("ready\n") == std::string::npos && (got = read(errPipe[0], buf, sizeof buf)) > 0)
        err.append(buf, static_cast<size_t>(got));
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    close(displayPipe[0]);
    int status = 0;
    for (int i = 0; i < 500 && waitpid(client, &status, WNOHANG) == 0; ++i) usleep(10000);
    if (waitpid(client, &status, WNOHANG) == 0 && !WIFEXITED(status)) {
        kill(client, SIGKILL);
        waitpid(client, &status, 0);
        FAIL() << "the client hung after losing its display";
    }
    while ((got = read(errPipe[0], buf, sizeof buf)) > 0) err.append(buf, static_cast<size_t>(got));
    close(errPipe[0]);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_NE(err.find("lost the connection to the X display"), std::string::npos) << err;
}

}  // namespace
