#include "lumivane/framework/layout/Resources.h"

#include <memory>
#include <vector>

#include "lumivane/framework/ClassInfo.h"

namespace lumivane {

namespace {
struct TResource {
    std::string Name;
    std::string Data;
};
std::vector<std::unique_ptr<TResource>>& Table() {
    static std::vector<std::unique_ptr<TResource>> table;
    return table;
}
}  // namespace

void RegisterResource(std::string_view name, const unsigned char* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    for (auto& r : Table())
        if (SameText(r->Name, name)) {
            r->Data = std::move(bytes);
            return;
        }
    Table().push_back(std::make_unique<TResource>(TResource{std::string(name), std::move(bytes)}));
}

const std::string* FindResource(std::string_view name) {
    for (auto& r : Table())
        if (SameText(r->Name, name)) return &r->Data;
    return nullptr;
}

}  // namespace lumivane
