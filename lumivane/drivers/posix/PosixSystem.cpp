#include "lumivane/drivers/posix/PosixSystem.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "lumivane/drivers/posix/TerminationSignalsInternal.h"

extern char** environ;

namespace lumivane {

PosixSystem::PosixSystem() = default;

PosixSystem::~PosixSystem() {
    ReapChildren();
    for (const Child& c : FChildren)
        if (c.pidfd >= 0) close(c.pidfd);
}

bool PosixSystem::TakeTerminateRequest() { return termination::TakeRequest(); }

void PosixSystem::WaitingForInput() { termination::Answered(); }

void PosixSystem::AppendWakeFds(std::vector<pollfd>& fds) const {
    if (const int fd = termination::WakeFd(); fd >= 0) fds.push_back({fd, POLLIN, 0});
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
