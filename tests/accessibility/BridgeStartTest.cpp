// The bridge before any bus: what turns it off, where it looks for the bus, and that without one
// it loads nothing (each case in a child process, whose mappings are its own).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "lumivane/accessibility/AccessibilityBridge.h"

using namespace lumivane;

namespace {

// Sets or unsets environment variables for the life of the object.
class Env {
public:
    void Set(const char* name, const char* value) {
        const char* old = std::getenv(name);
        FSaved.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~Env() {
        for (auto it = FSaved.rbegin(); it != FSaved.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> FSaved;
};

bool LibsystemdMapped() {
    std::ifstream maps("/proc/self/maps");
    std::stringstream s;
    s << maps.rdbuf();
    return s.str().find("libsystemd") != std::string::npos;
}

}  // namespace

TEST(BridgeStart, TurnedOffByTheEnvironment) {
    struct Case {
        const char* value;
        bool off;
    };
    const Case cases[] = {{nullptr, false}, {"0", true},  {"off", true}, {"no", true},   {"false", true},
                          {"1", false},     {"", false},  {"on", false}, {"yes", false}, {"00", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        Env env;
        env.Set("LUMIVANE_ACCESSIBILITY", c.value);
        EXPECT_EQ(TAccessibilityBridge::TurnedOff(), c.off);
    }
}

// Where Start looks, and whether it got as far as loading sd-bus: the root window is asked only
// when neither variable names a bus, and nothing is asked or loaded when the bridge is off.
TEST(BridgeStart, WithoutABusNothingIsLoaded) {
    struct Case {
        const char* what;
        const char* off;
        const char* atspi;
        const char* session;
        const char* root;
        bool rootAsked;
        bool loads;
    };
    const Case cases[] = {
        {"nothing anywhere", nullptr, nullptr, nullptr, "", true, false},
        {"turned off", "0", "unix:path=/nonexistent/at-spi", "unix:path=/nonexistent/bus", "x", false, false},
        {"an empty address is none", nullptr, "", nullptr, "", true, false},
        {"address of no server", nullptr, "unix:path=/nonexistent/at-spi", nullptr, "", false, true},
        {"root window names no server", nullptr, nullptr, nullptr, "unix:path=/nonexistent/at-spi", true, true},
        {"session bus of no server", nullptr, nullptr, "unix:path=/nonexistent/bus", "", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Env env;
        env.Set("LUMIVANE_ACCESSIBILITY", c.off);
        env.Set("AT_SPI_BUS_ADDRESS", c.atspi);
        env.Set("DBUS_SESSION_BUS_ADDRESS", c.session);
        // In a child: the parent keeps no library it might have loaded.
        EXPECT_EXIT(
            {
                bool asked = false;
                std::string root = c.root;
                TAccessibilityBridge bridge([&](const char* name) {
                    asked = std::string(name) == "AT_SPI_BUS";
                    return root;
                });
                const bool mappedBefore = LibsystemdMapped();
                const bool started = bridge.Start();
                const int code = (started ? 1 : 0) | (bridge.Connected() ? 2 : 0) | (asked != c.rootAsked ? 4 : 0) |
                                 (mappedBefore ? 8 : 0) | (LibsystemdMapped() != c.loads ? 16 : 0);
                std::exit(code);
            },
            testing::ExitedWithCode(0), "");
    }
}
