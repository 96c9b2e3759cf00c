// Termination signals on the real display: left alone unless the program asks, and then turned
// into a close that the program may refuse, a second signal or a stuck program ending at once.
#include "tests/x11/X11TestKit.h"

#include "lumivane/drivers/posix/TerminationSignals.h"
#include "lumivane/windows/Window.h"

#include <memory>

using namespace lumivane;
using namespace lumivane::x11test;

namespace {

bool IsDefault(int sig) {
    struct sigaction sa {};
    return sigaction(sig, nullptr, &sa) == 0 && sa.sa_handler == SIG_DFL;
}

// A program on the display in a child: prepare runs first, then the driver and the window system
// start, then started; 'r' goes to the pipe and the message loop runs; the child exits 7 when the
// loop ends. Both get the pipe to the parent.
struct Child {
    pid_t pid = -1;
    int fromChild = -1;

    explicit Child(const std::function<int(int)>& prepare, const std::function<void(int)>& started = nullptr) {
        int fds[2];
        if (pipe(fds) != 0) return;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const int early = prepare(fds[1]);
            if (early) _exit(early);
            std::unique_ptr<Driver> driver;
            try {
                driver = CreateX11Driver(nullptr);
            } catch (const Exception&) {
                _exit(4);
            }
            InitWindowSystem(driver.get());
            if (started) started(fds[1]);
            if (write(fds[1], "r", 1) != 1) _exit(5);
            MSG m;
            while (GetMessageA(&m, nullptr, 0, 0)) DispatchMessageA(&m);
            _exit(7);
        }
        close(fds[1]);
        fromChild = fds[0];
    }
    ~Child() {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (fromChild >= 0) close(fromChild);
    }
    char Next() {
        char c = 0;
        return read(fromChild, &c, 1) == 1 ? c : 0;
    }
    // The child's status once it ended, waiting up to about ten seconds; -1 while it runs.
    int Ended() {
        int status = 0;
        for (int i = 0; i < 1000; ++i) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return status;
            }
            usleep(10000);
        }
        return -1;
    }
    bool Running() {
        usleep(200000);
        return waitpid(pid, nullptr, WNOHANG) == 0;
    }
};

} // namespace

class X11Signals : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display (run through run-with-xvfb.sh)";
    }
};

TEST_F(X11Signals, AProgramThatDidNotAskMeetsEachSignalsDefaultAction) {
    for (const int sig : {SIGTERM, SIGINT, SIGHUP}) {
        Child child([](int) { return 0; });
        ASSERT_EQ(child.Next(), 'r');
        // The driver and window system took nothing over.
        ASSERT_EQ(kill(child.pid, sig), 0);
        const int status = child.Ended();
        ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << sig << ", status " << status;
        EXPECT_EQ(WTERMSIG(status), sig);
    }
    Child looks([](int) {
        for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGALRM, SIGPIPE, SIGCHLD})
            if (!IsDefault(sig)) return 9;
        return 0;
    });
    ASSERT_EQ(looks.Next(), 'r');
    kill(looks.pid, SIGTERM);
    EXPECT_TRUE(WIFSIGNALED(looks.Ended()));
}

TEST_F(X11Signals, AnAskedSignalEndsTheLoopAndAnInheritedIgnoreStands) {
    Child child([](int) {
        signal(SIGHUP, SIG_IGN); // as nohup starts it
        alarm(1000);             // the program's own alarm
        CloseOnTerminationSignals();
        CloseOnTerminationSignals(); // twice is once
        const bool alarmKept = alarm(1000) > 990 && IsDefault(SIGALRM);
        struct sigaction hup {};
        sigaction(SIGHUP, nullptr, &hup);
        return alarmKept && hup.sa_handler == SIG_IGN && !IsDefault(SIGTERM) && !IsDefault(SIGINT) ? 0 : 9;
    });
    ASSERT_EQ(child.Next(), 'r');
    ASSERT_EQ(kill(child.pid, SIGHUP), 0);
    EXPECT_TRUE(child.Running()) << "SIGHUP was ignored when the program started";
    ASSERT_EQ(kill(child.pid, SIGINT), 0);
    const int status = child.Ended();
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 7) << "the loop ended and the program went on to exit";
}

// The program refuses the first request (its window stays open) and is back waiting: the next
// signal is a new request. That one hangs in its handler, as a program does whose display server
// froze: it ends by the signal's default action without a third signal.
TEST_F(X11Signals, ARefusedRequestIsForgottenAndAStuckOneEndsByTheDeadline) {
    Child child([](int) { CloseOnTerminationSignals(); return 0; },
                [](int toParent) {
                    SetTerminateHandler([toParent, calls = std::make_shared<int>(0)] {
                        if (++*calls == 1) {
                            if (write(toParent, "a", 1) != 1) _exit(5);
                            return;
                        }
                        if (write(toParent, "s", 1) != 1) _exit(5);
                        for (;;) pause();
                    });
                });
    ASSERT_EQ(child.Next(), 'r');
    ASSERT_EQ(kill(child.pid, SIGTERM), 0);
    ASSERT_EQ(child.Next(), 'a');
    EXPECT_TRUE(child.Running());
    ASSERT_EQ(kill(child.pid, SIGTERM), 0);
    ASSERT_EQ(child.Next(), 's');
    const int status = child.Ended();
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

TEST_F(X11Signals, ASecondSignalEndsAStuckProgramAtOnce) {
    Child child([](int) { CloseOnTerminationSignals(); return 0; },
                [](int toParent) {
                    SetTerminateHandler([toParent] {
                        if (write(toParent, "s", 1) != 1) _exit(5);
                        for (;;) pause();
                    });
                });
    ASSERT_EQ(child.Next(), 'r');
    ASSERT_EQ(kill(child.pid, SIGINT), 0);
    ASSERT_EQ(child.Next(), 's');
    ASSERT_EQ(kill(child.pid, SIGHUP), 0);
    const int status = child.Ended();
    ASSERT_TRUE(WIFSIGNALED(status)) << status;
    EXPECT_EQ(WTERMSIG(status), SIGHUP) << "the second signal's own default action, not the deadline's";
}
