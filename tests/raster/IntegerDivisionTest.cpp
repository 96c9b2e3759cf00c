#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "lumivane/base/IntegerDivision.h"

namespace lumivane {
namespace {

struct DivisionCase {
    int a, b, floor, ceil;
};

// Exact quotients, both signs of either operand, remainders at 1 and b-1, and the int ends (where
// negating the dividend would overflow).
constexpr DivisionCase kCases[] = {
    {0, 3, 0, 0},          {6, 3, 2, 2},        {-6, 3, -2, -2},   {7, 3, 2, 3},
    {8, 3, 2, 3},          {-7, 3, -3, -2},     {-8, 3, -3, -2},   {-1, 3, -1, 0},
    {1, 3, 0, 1},          {7, -3, -3, -2},     {-7, -3, 2, 3},    {-1, 1, -1, -1},
    {INT_MIN, 2, INT_MIN / 2, INT_MIN / 2},     {INT_MIN, 3, -715827883, -715827882},
    {INT_MAX, 2, INT_MAX / 2, INT_MAX / 2 + 1}, {INT_MIN + 1, INT_MAX, -1, -1},
    {INT_MIN, INT_MAX, -2, -1},
};

TEST(IntegerDivision, RoundsTowardsMinusAndPlusInfinityForEverySign) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.a << " / " << c.b);
        EXPECT_EQ(FloorDiv(c.a, c.b), c.floor);
        EXPECT_EQ(CeilDiv(c.a, c.b), c.ceil);
    }
}

TEST(IntegerDivision, WideOperandsKeepTheirPrecision) {
    const __int128 big = static_cast<__int128>(INT64_MAX) * 4 + 3;  // beyond 64 bits
    EXPECT_TRUE(FloorDiv<__int128>(big, 4) == INT64_MAX);
    EXPECT_TRUE(CeilDiv<__int128>(big, 4) == static_cast<__int128>(INT64_MAX) + 1);
    EXPECT_TRUE(FloorDiv<__int128>(-big, 4) == -static_cast<__int128>(INT64_MAX) - 1);
    EXPECT_TRUE(CeilDiv<__int128>(-big, 4) == -static_cast<__int128>(INT64_MAX));
    static_assert(FloorDiv(-1, 2) == -1 && CeilDiv(1, 2) == 1, "usable in constant expressions");
}

}  // namespace
}  // namespace lumivane
