#include "lumivane/accessibility/ObjectPath.h"

namespace lumivane {

namespace {
constexpr std::string_view kPrefix = "/org/a11y/atspi/accessible/";
}  // namespace

TObjectPath ParseObjectPath(std::string_view Path) {
    if (Path == kRootObjectPath) return {TObjectPath::Root, 0};
    if (Path.substr(0, kPrefix.size()) != kPrefix) return {};
    const std::string_view digits = Path.substr(kPrefix.size());
    // At most nine digits: a number the bridge could have given, never an overflow.
    if (digits.empty() || digits.size() > 9 || digits[0] == '0') return {};
    uint32_t id = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return {};
        id = id * 10 + static_cast<uint32_t>(c - '0');
    }
    return {TObjectPath::Control, id};
}

std::string ControlObjectPath(uint32_t Id) { return std::string(kPrefix) + std::to_string(Id); }

}  // namespace lumivane
