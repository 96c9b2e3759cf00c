#include "lumivane/drivers/posix/PosixSystem.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace lumivane {

namespace {

// SIGTERM, SIGINT and SIGHUP (the session ends, the terminal closes) end the program the way
// closing it does: the handler only writes a byte to a pipe that the event wait polls, and the
// loop turns it into a Terminate event. The orderly way out talks to the display server
// (destroying windows, closing the display waits for its answer); a server that is frozen, not
// gone, would hold the program for as long as it stays frozen. So the handler also sets a
// deadline: a second later the program ends at once, whatever the server does.
int gTerminatePipe[2] = {-1, -1};
constexpr unsigned kTerminateDeadlineSeconds = 1;

void OnTerminateDeadline(int) { _exit(0); }

void OnTerminateSignal(int) {
    const int saved = errno;
    const char b = 1;
    [[maybe_unused]] ssize_t n = write(gTerminatePipe[1], &b, 1);
    // The first request sets the deadline; later ones do not push it back.
    static volatile sig_atomic_t deadlineSet = 0;
    if (!deadlineSet) {
        deadlineSet = 1;
        alarm(kTerminateDeadlineSeconds);
    }
    errno = saved;
}

void InstallTerminateHandler() {
    if (gTerminatePipe[0] >= 0) return;
    if (pipe2(gTerminatePipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction sa {};
    sa.sa_handler = OnTerminateSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    struct sigaction deadline {};
    deadline.sa_handler = OnTerminateDeadline;
    sigemptyset(&deadline.sa_mask);
    sigaction(SIGALRM, &deadline, nullptr);
}

} // namespace

PosixSystem::PosixSystem() { InstallTerminateHandler(); }

PosixSystem::~PosixSystem() {
    ReapChildren();
    for (const Child& c : FChildren)
        if (c.pidfd >= 0) close(c.pidfd);
}

bool PosixSystem::TakeTerminateRequest() {
    if (gTerminatePipe[0] < 0) return false;
    char buf[16];
    bool any = false;
    while (read(gTerminatePipe[0], buf, sizeof buf) > 0) any = true;
    return any;
}

void PosixSystem::AppendWakeFds(std::vector<pollfd>& fds) const {
    if (gTerminatePipe[0] >= 0) fds.push_back({gTerminatePipe[0], POLLIN, 0});
    for (const Child& c : FChildren)
        if (c.pidfd >= 0) fds.push_back({c.pidfd, POLLIN, 0});
}

void PosixSystem::OpenAddress(const std::string& address) {
    // An address that starts with '-' would be read as an option.
    if (address.empty() || address[0] == '-' || address.find('\0') != std::string::npos) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Whatever xdg-open says (no browser...) is not ours to show.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::string arg = address;
    char* argv[] = {const_cast<char*>("xdg-open"), arg.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdg-open", &actions, &attr, argv, environ) == 0) {
        // A descriptor that becomes readable when the child ends wakes the wait to reap it.
        const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
        FChildren.push_back({pid, pidfd});
    }
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
}

void PosixSystem::ReapChildren() {
    for (size_t i = 0; i < FChildren.size();) {
        const pid_t r = waitpid(FChildren[i].pid, nullptr, WNOHANG);
        if (r == 0) {
            ++i;
            continue;
        }
        if (FChildren[i].pidfd >= 0) close(FChildren[i].pidfd);
        FChildren.erase(FChildren.begin() + static_cast<long>(i));
    }
}

}  // namespace lumivane
