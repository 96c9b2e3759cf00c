#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace lumivane {

// Files compiled into the program and found by name (the notice window's layout is "TMAIN").
// cmake/resources.cmake generates the registration: lumi_add_resources(target NAME file ...).

// Adds (or replaces) a resource; names compare without case.
void RegisterResource(std::string_view name, const unsigned char* data, size_t size);
// Null when there is no resource of that name.
const std::string* FindResource(std::string_view name);

}  // namespace lumivane
