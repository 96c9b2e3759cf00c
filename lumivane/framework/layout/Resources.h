#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

namespace lumivane {

// Files compiled into the program and found by name (the notice window's layout is "TMAIN").
// cmake/resources.cmake generates the registration: lumi_add_resources(target NAME file ...).

// Adds (or replaces) a resource; names compare without case. The bytes are not copied: they
// must stay where they are for as long as the program runs, as compiled-in data does.
void RegisterResource(std::string_view name, const unsigned char* data, size_t size);
// Empty when there is no resource of that name.
std::optional<std::string_view> FindResource(std::string_view name);

}  // namespace lumivane
