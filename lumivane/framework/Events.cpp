#include "lumivane/framework/Events.h"

namespace lumivane {

std::vector<std::string> EventText::SplitNames(std::string_view names) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < names.size()) {
        size_t j = names.find(',', i);
        if (j == std::string_view::npos) j = names.size();
        std::string_view part = names.substr(i, j - i);
        while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
        out.emplace_back(part);
        i = j + 1;
    }
    return out;
}

}  // namespace lumivane
