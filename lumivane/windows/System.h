#pragma once
#include <string>

namespace lumivane {

// What the window system asks of the operating system beside the display: opening an address
// with the desktop's opener, and hearing that the process was asked to end. Every driver hands out
// the one it runs with: the real display the POSIX one, the headless display itself (it records
// the addresses and fakes the requests).
class System {
public:
    virtual ~System() = default;

    // Asks the desktop to open an address (never through a shell). Nothing is reported back.
    virtual void OpenAddress(const std::string& address) = 0;
    // True once for the requests to end the process that came since the last call (the termination
    // signals a program asked to hear); the driver's wait turns it into a Terminate event.
    virtual bool TakeTerminateRequest() = 0;
};

}  // namespace lumivane
