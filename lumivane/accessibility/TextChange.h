#pragma once
#include <string>
#include <string_view>

namespace lumivane {

// A change of a text as one replaced run, the way screen readers are told of it: at character
// At, Removed went and Inserted came. The run is what lies between the longest common start and
// the longest common end, in whole characters (UTF-8).
struct TTextChange {
    int At = 0;
    std::string Removed;
    std::string Inserted;
    bool operator==(const TTextChange&) const = default;
};

TTextChange DiffText(std::string_view Was, std::string_view Now);

}  // namespace lumivane
