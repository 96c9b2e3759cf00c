#include "lumivane/controls/KdUpDownValue.h"

namespace lumivane {

namespace KdUpDownValue {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr uint64_t kMagnitudeOfMin = uint64_t{1} << 63;  // |INT64_MIN|

}  // namespace

std::optional<int64_t> Parse(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        i += 1;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }

    uint64_t magnitude = 0;
    size_t digits = 0;
    if (hex) {
        for (int d; i < text.size() && (d = HexDigit(text[i])) >= 0; ++i, ++digits) {
            if (digits == 16) return std::nullopt;
            magnitude = magnitude << 4 | static_cast<uint64_t>(d);
        }
    } else {
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
            const auto d = static_cast<uint64_t>(text[i] - '0');
            // Stop before the magnitude passes |INT64_MIN|, the largest either sign can use.
            if (magnitude > (kMagnitudeOfMin - d) / 10) return std::nullopt;
            magnitude = magnitude * 10 + d;
        }
        if (magnitude > kMagnitudeOfMin - (negative ? 0 : 1)) return std::nullopt;
    }
    if (digits == 0 || i != text.size()) return std::nullopt;
    // A hexadecimal pattern keeps its bits; the sign then negates in two's complement.
    const uint64_t bits = negative ? ~magnitude + 1 : magnitude;
    return static_cast<int64_t>(bits);
}

int64_t Read(std::string_view text, int64_t minValue) { return Parse(text).value_or(minValue); }

int64_t Clamp(int64_t v, int64_t minValue, int64_t maxValue) {
    if (minValue == 0 && maxValue == 0) return v;
    if (v > maxValue) v = maxValue;
    if (v < minValue) v = minValue;
    return v;
}

std::string Format(int64_t v) { return std::to_string(v); }

int64_t WrappingAdd(int64_t v, int64_t delta) {
    return static_cast<int64_t>(static_cast<uint64_t>(v) + static_cast<uint64_t>(delta));
}

void WriteMin(int64_t& minValue, int64_t& maxValue, int64_t v) {
    minValue = v;
    if (maxValue < minValue) maxValue = minValue;
}

void WriteMax(int64_t& minValue, int64_t& maxValue, int64_t v) {
    maxValue = v;
    if (minValue > maxValue) minValue = maxValue;
}

bool AllowsMinus(int64_t minValue, int64_t maxValue) { return minValue < 0 || (minValue == 0 && maxValue == 0); }

}  // namespace KdUpDownValue

}  // namespace lumivane
