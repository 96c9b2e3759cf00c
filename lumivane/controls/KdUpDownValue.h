#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumivane {

// The value rules of the up-down edit, apart from any control: the text is the only store of the
// value, so reading it is a parse and writing it is a decimal text. Every sum is computed on the
// unsigned bit pattern so that stepping past either end of the range wraps instead of being
// undefined.
namespace KdUpDownValue {

// The text as a signed 64-bit number: leading spaces, an optional sign, then decimal digits or a
// hexadecimal number after $ or 0x (either case; at most 16 digits, read as a two's-complement
// pattern, so $FFFFFFFFFFFFFFFF is -1). Nothing may follow the number, trailing spaces included.
// Empty: no text, no digits, anything after the number, or a decimal number outside the range.
std::optional<int64_t> Parse(std::string_view text);

// What the edit's Value reads: the parse of the text, or the lower limit when it does not parse.
// Never clamped.
int64_t Read(std::string_view text, int64_t minValue);

// Limits (0, 0) mean none. Otherwise the upper limit is applied first, then the lower one.
int64_t Clamp(int64_t v, int64_t minValue, int64_t maxValue);

// The decimal text the edit shows for v: a minus sign for negatives, no plus, no grouping.
std::string Format(int64_t v);

// v + delta in 64-bit two's-complement arithmetic (INT64_MAX + 1 is INT64_MIN).
int64_t WrappingAdd(int64_t v, int64_t delta);

// Writing one limit moves the other along when the pair would cross.
void WriteMin(int64_t& minValue, int64_t& maxValue, int64_t v);
void WriteMax(int64_t& minValue, int64_t& maxValue, int64_t v);

// Whether the limits leave room for a minus sign: a negative lower limit, or no limits at all.
bool AllowsMinus(int64_t minValue, int64_t maxValue);

}  // namespace KdUpDownValue

}  // namespace lumivane
