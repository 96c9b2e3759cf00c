#include "lumivane/drivers/posix/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

#include "lumivane/drivers/posix/TerminationSignalsInternal.h"

namespace lumivane {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kCount = static_cast<int>(std::size(kSignals));
constexpr time_t kDeadlineSeconds = 1;

// A signal handler reaches only what outlives every object: this one record for the process.
// The handler writes a byte to the pipe that the event wait polls; the loop turns it into a
// close of the main window. A timer per signal, made at install time (making one is not safe in
// a handler, arming it is), sends the same signal again at the deadline.
struct Handlers {
    bool installed = false;
    int pipe[2] = {-1, -1};
    bool hasTimer[kCount] = {};
    timer_t timer[kCount] = {};
    volatile sig_atomic_t pending = 0; // a request not yet answered
} gHandlers;

int IndexOf(int sig) {
    for (int i = 0; i < kCount; ++i)
        if (kSignals[i] == sig) return i;
    return -1;
}

void SetDeadline(int i, time_t seconds) {
    if (!gHandlers.hasTimer[i]) return;
    itimerspec when{};
    when.it_value.tv_sec = seconds;
    timer_settime(gHandlers.timer[i], 0, &when, nullptr);
}

void OnSignal(int sig) {
    const int saved = errno;
    if (gHandlers.pending) {
        // The second one, or the deadline: the default action, delivered when this returns.
        signal(sig, SIG_DFL);
        raise(sig);
    } else {
        gHandlers.pending = 1;
        const char b = 1;
        [[maybe_unused]] ssize_t n = write(gHandlers.pipe[1], &b, 1);
        if (const int i = IndexOf(sig); i >= 0) SetDeadline(i, kDeadlineSeconds);
    }
    errno = saved;
}

void BlockAll(bool block) {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : kSignals) sigaddset(&set, sig);
    sigprocmask(block ? SIG_BLOCK : SIG_UNBLOCK, &set, nullptr);
}

} // namespace

void CloseOnTerminationSignals() {
    if (gHandlers.installed) return;
    if (pipe2(gHandlers.pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    gHandlers.installed = true;
    for (int i = 0; i < kCount; ++i) {
        struct sigaction old {};
        // Started ignoring it (nohup, a shell's background job): the starter's choice stands.
        if (sigaction(kSignals[i], nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
        sigevent ev{};
        ev.sigev_notify = SIGEV_SIGNAL;
        ev.sigev_signo = kSignals[i];
        gHandlers.hasTimer[i] = timer_create(CLOCK_MONOTONIC, &ev, &gHandlers.timer[i]) == 0;
        struct sigaction sa {};
        sa.sa_handler = OnSignal;
        // One handler at a time: the first sets the deadline, any later one ends the program.
        sigemptyset(&sa.sa_mask);
        for (int sig : kSignals) sigaddset(&sa.sa_mask, sig);
        sa.sa_flags = SA_RESTART;
        sigaction(kSignals[i], &sa, nullptr);
    }
}

namespace termination {

int WakeFd() { return gHandlers.installed ? gHandlers.pipe[0] : -1; }

bool TakeRequest() {
    if (!gHandlers.installed) return false;
    char buf[16];
    bool any = false;
    while (read(gHandlers.pipe[0], buf, sizeof buf) > 0) any = true;
    return any;
}

void Answered() {
    if (!gHandlers.installed || !gHandlers.pending) return;
    BlockAll(true);
    int unread = 0;
    // A request still in the pipe has not been answered yet.
    if (ioctl(gHandlers.pipe[0], FIONREAD, &unread) == 0 && unread == 0) {
        for (int i = 0; i < kCount; ++i) SetDeadline(i, 0);
        gHandlers.pending = 0;
    }
    BlockAll(false);
}

}  // namespace termination

}  // namespace lumivane
