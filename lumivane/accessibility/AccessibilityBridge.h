#pragma once
#include <functional>
#include <memory>
#include <string>

namespace lumivane {

class TAtSpiBridge;

// The program's windows and controls on the desktop's accessibility bus (AT-SPI2 over D-Bus),
// for screen readers such as Orca: it serves what the framework says of each control
// (framework/Accessible.h) and sends the events screen readers follow.
//
// Start looks for the bus: $AT_SPI_BUS_ADDRESS, else org.a11y.Bus.GetAddress on the session bus,
// else the display root window's AT_SPI_BUS property. Without one it does nothing more and costs
// nothing more (libsystemd is not even loaded); LUMIVANE_ACCESSIBILITY=0 turns it off. Call it
// after the first frame is shown: finding the bus may start the bus launcher.
class TAccessibilityBridge {
public:
    // RootProperty reads a string property of the display's root window ("" when it has none).
    explicit TAccessibilityBridge(std::function<std::string(const char*)> RootProperty = {});
    ~TAccessibilityBridge();
    TAccessibilityBridge(const TAccessibilityBridge&) = delete;
    TAccessibilityBridge& operator=(const TAccessibilityBridge&) = delete;

    // True when connected and registered.
    bool Start();
    bool Connected() const { return FImpl != nullptr; }

    // Whether the environment turns the bridge off (LUMIVANE_ACCESSIBILITY=0, "off", "no", "false").
    static bool TurnedOff();

private:
    std::function<std::string(const char*)> FRootProperty;
    std::unique_ptr<TAtSpiBridge> FImpl;
};

}  // namespace lumivane
