#include "lumivane/windows/DisplayScale.h"

#include <algorithm>
#include <cmath>

namespace lumivane {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A positive decimal number, digits with an optional fraction, read without the C locale (whose
// decimal point may not be '.'). Very long numbers stop growing at a bound far above any scale.
std::optional<double> PositiveDecimal(std::string_view s) {
    constexpr double kBound = 1e9;
    size_t i = 0;
    double value = 0;
    bool digits = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, digits = true)
        if (value < kBound) value = value * 10 + (s[i] - '0');
    if (i < s.size() && s[i] == '.') {
        double unit = 0.1;
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, digits = true, unit /= 10)
            value += (s[i] - '0') * unit;
    }
    if (i != s.size() || !digits || !(value > 0)) return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> XftDpiFromResources(std::string_view text) {
    std::optional<double> found;
    std::string line;
    size_t at = 0;
    while (at < text.size()) {
        // One logical line: physical lines joined where one ends in a backslash.
        line.clear();
        for (;;) {
            const size_t end = std::min(text.find('\n', at), text.size());
            std::string_view part = text.substr(at, end - at);
            at = end < text.size() ? end + 1 : end;
            if (!part.empty() && part.back() == '\\' && end < text.size()) {
                part.remove_suffix(1);
                line.append(part);
                continue;
            }
            line.append(part);
            break;
        }
        std::string_view entry = Trim(line);
        if (entry.empty() || entry.front() == '!' || entry.front() == '#') continue;
        const size_t colon = entry.find(':');
        if (colon == std::string_view::npos) continue;
        if (Trim(entry.substr(0, colon)) != "Xft.dpi") continue;
        // The last entry for a name is the one that holds, as when the resource manager merges.
        found = PositiveDecimal(Trim(entry.substr(colon + 1)));
    }
    return found;
}

int ScaleFromDpi(double dpi) {
    const double factor = dpi / 96.0;
    if (!(factor >= 1.5)) return kMinDisplayScale;  // also NaN
    if (factor >= kMaxDisplayScale) return kMaxDisplayScale;
    return static_cast<int>(std::floor(factor + 0.5));
}

DisplayScaleChoice ChooseDisplayScale(const char* scaleVariable, std::string_view resources) {
    DisplayScaleChoice choice;
    if (scaleVariable && *scaleVariable) {
        const char c = scaleVariable[0];
        if (scaleVariable[1] == '\0' && c >= '0' + kMinDisplayScale && c <= '0' + kMaxDisplayScale) {
            choice.scale = c - '0';
            choice.source = "LUMIVANE_SCALE";
            return choice;
        }
        // Shown as given, but on one line and short: the variable may hold anything.
        std::string shown;
        for (const char* p = scaleVariable; *p && shown.size() < 32; ++p) {
            const auto b = static_cast<unsigned char>(*p);
            shown += b >= 0x20 && b < 0x7F && b != '"' && b != '\\' ? *p : '?';
        }
        if (shown.size() >= 32) shown += "...";
        choice.warning = "lumivane: LUMIVANE_SCALE=\"" + shown +
                         "\" ignored: it takes a whole number from 1 to 4";
    }
    if (const auto dpi = XftDpiFromResources(resources)) {
        choice.scale = ScaleFromDpi(*dpi);
        choice.source = "Xft.dpi";
    }
    return choice;
}

}  // namespace lumivane
