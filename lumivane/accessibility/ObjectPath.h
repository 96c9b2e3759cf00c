#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace lumivane {

// The names the accessibility bridge gives its objects on the bus: the application is
// "/org/a11y/atspi/accessible/root", control number N "/org/a11y/atspi/accessible/N" (N from 1,
// decimal, no leading zero). Paths come from other programs: anything else names nothing.
struct TObjectPath {
    enum TKind { Nothing, Root, Control };
    TKind Kind = Nothing;
    uint32_t Id = 0;
    bool operator==(const TObjectPath&) const = default;
};

inline constexpr const char* kRootObjectPath = "/org/a11y/atspi/accessible/root";
TObjectPath ParseObjectPath(std::string_view Path);
std::string ControlObjectPath(uint32_t Id);

}  // namespace lumivane
