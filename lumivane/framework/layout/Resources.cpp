#include "lumivane/framework/layout/Resources.h"

#include <string>
#include <vector>

#include "lumivane/framework/ClassInfo.h"

namespace lumivane {

namespace {
struct TResource {
    std::string Name;
    std::string_view Data;  // the program's own bytes: a copy would cost its size at every start
};
std::vector<TResource>& Table() {
    static std::vector<TResource> table;
    return table;
}
}  // namespace

void RegisterResource(std::string_view name, const unsigned char* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (auto& r : Table())
        if (SameText(r.Name, name)) {
            r.Data = bytes;
            return;
        }
    Table().push_back(TResource{std::string(name), bytes});
}

std::optional<std::string_view> FindResource(std::string_view name) {
    for (auto& r : Table())
        if (SameText(r.Name, name)) return r.Data;
    return std::nullopt;
}

}  // namespace lumivane
