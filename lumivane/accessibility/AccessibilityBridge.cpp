#include "lumivane/accessibility/AccessibilityBridge.h"

#include <cstdlib>
#include <cstring>

#include "lumivane/accessibility/AtSpiBridge.h"

namespace lumivane {

TAccessibilityBridge::TAccessibilityBridge(std::function<std::string(const char*)> RootProperty)
    : FRootProperty(std::move(RootProperty)) {}

TAccessibilityBridge::~TAccessibilityBridge() = default;

bool TAccessibilityBridge::TurnedOff() {
    const char* v = std::getenv("LUMIVANE_ACCESSIBILITY");
    if (!v) return false;
    for (const char* off : {"0", "off", "no", "false"})
        if (std::strcmp(v, off) == 0) return true;
    return false;
}

namespace {
// The address the session bus's bus launcher gives, "" when there is no session bus or no
// launcher. Asking may start the launcher (a second or so the first time in a session).
std::string AskSessionBus(const TSdBus& b) {
    sd_bus* session = nullptr;
    if (b.OpenUser(&session) < 0) return {};
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    std::string address;
    if (b.CallMethod(session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", &error, &reply, "") >= 0) {
        const char* s = nullptr;
        if (b.Read(reply, "s", &s) >= 0 && s) address = s;
        b.MessageUnref(reply);
    }
    b.ErrorFree(&error);
    b.FlushCloseUnref(session);
    return address;
}
}  // namespace

bool TAccessibilityBridge::Start() {
    if (FImpl || TurnedOff()) return FImpl != nullptr;
    TSdBus b{};
    bool loaded = false;
    std::string address;
    if (const char* a = std::getenv("AT_SPI_BUS_ADDRESS"); a && *a) address = a;
    // Without any sign of a bus, libsystemd is not loaded at all.
    if (address.empty() && std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
        loaded = b.Load();
        if (loaded) address = AskSessionBus(b);
    }
    if (address.empty() && FRootProperty) address = FRootProperty("AT_SPI_BUS");
    if (address.empty() || (!loaded && !b.Load())) return false;
    sd_bus* bus = nullptr;
    if (b.New(&bus) < 0) return false;
    if (b.SetAddress(bus, address.c_str()) < 0 || b.SetBusClient(bus, 1) < 0 || b.Start(bus) < 0) {
        b.FlushCloseUnref(bus);
        return false;
    }
    auto impl = std::make_unique<TAtSpiBridge>(b, bus);
    if (!impl->Register()) return false;
    FImpl = std::move(impl);
    return true;
}

}  // namespace lumivane
