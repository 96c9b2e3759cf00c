#pragma once
#include <poll.h>
#include <sys/types.h>

#include <string>
#include <vector>

#include "lumivane/windows/System.h"

namespace lumivane {

// The system on POSIX: addresses open with xdg-open, started with posix_spawnp and an argument
// vector and reaped without blocking; the requests to end that CloseOnTerminationSignals asked
// for (TerminationSignals.h), heard through a descriptor the wait polls.
class PosixSystem final : public System {
public:
    PosixSystem();
    // Reaps what has ended; programs still running are left to run.
    ~PosixSystem() override;
    PosixSystem(const PosixSystem&) = delete;
    PosixSystem& operator=(const PosixSystem&) = delete;

    void OpenAddress(const std::string& address) override;
    bool TakeTerminateRequest() override;

    // Descriptors that become readable when there is news for the loop (a termination request, a
    // program started here ended): a display's wait polls them beside its own.
    void AppendWakeFds(std::vector<pollfd>& fds) const;
    // The loop is about to sleep until input comes: any request to end taken before was answered.
    void WaitingForInput();
    // Collects the programs started here that have ended, without waiting.
    void ReapChildren();

private:
    struct Child {
        pid_t pid;
        int pidfd; // readable when the child ends; -1 where the kernel has no pidfd_open
    };
    std::vector<Child> FChildren;
};

}  // namespace lumivane
