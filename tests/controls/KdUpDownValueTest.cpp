// The up-down edit's value rules on their own: parse, clamp, wrap and the limit pair.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "lumivane/controls/KdUpDownValue.h"

using namespace lumivane;

namespace V = KdUpDownValue;

namespace {
constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
}  // namespace

TEST(KdUpDownValue, ParseTable) {
    const struct {
        const char* text;
        std::optional<int64_t> value;
    } cases[] = {
        {"", std::nullopt},
        {" ", std::nullopt},
        {"-", std::nullopt},
        {"+", std::nullopt},
        {"abc", std::nullopt},
        {"7", 7},
        {" 7", 7},
        {"   -7", -7},
        {"+7", 7},
        {"7 ", std::nullopt},
        {"7a", std::nullopt},
        {"- 7", std::nullopt},
        {"\t7", std::nullopt},  // only spaces are skipped
        {"007", 7},
        {"-0", 0},
        {"$1F", 31},
        {"0x1f", 31},
        {"0X1F", 31},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"-$10", -16},
        {"+0x10", 16},
        {"$7FFFFFFFFFFFFFFF", kMax},
        {"$8000000000000000", kMin},
        {"$FFFFFFFFFFFFFFFF", -1},
        {"-$FFFFFFFFFFFFFFFF", 1},
        {"-$8000000000000000", kMin},
        {"$0000000000000001", 1},
        {"$00000000000000001", std::nullopt},  // 17 digits, even with leading zeros
        {"$10000000000000000", std::nullopt},
        {"$1G", std::nullopt},
        {"9223372036854775807", kMax},
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775808", kMin},
        {"-9223372036854775809", std::nullopt},
        {"18446744073709551616", std::nullopt},
        {"99999999999999999999999999", std::nullopt},
        {"0000000000000000000000000009223372036854775807", kMax},
        {"12x", std::nullopt},
        {"0x1f ", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(V::Parse(c.text), c.value) << '"' << c.text << '"';
}

TEST(KdUpDownValue, FailureReadsTheLowerLimitAndNothingIsClamped) {
    EXPECT_EQ(V::Read("", 5), 5);
    EXPECT_EQ(V::Read("-", 5), 5);
    EXPECT_EQ(V::Read("7 ", 5), 5);
    EXPECT_EQ(V::Read("25", 5), 25);  // above a limit of 10 and still 25
    EXPECT_EQ(V::Read("1", 5), 1);
    EXPECT_EQ(V::Read("x", kMin), kMin);
}

TEST(KdUpDownValue, ClampUpperFirstAndOnlyWithLimits) {
    const struct {
        int64_t v, lo, hi, out;
    } cases[] = {
        {kMax, 0, 0, kMax},  {kMin, 0, 0, kMin},  {25, 0, 10, 10},  {-3, 0, 10, 0},
        {5, 0, 10, 5},       {7, 1, 1, 1},        {kMin, -5, 5, -5}, {kMax, -5, 5, 5},
        {0, 5, 10, 5},       {kMax, 0, kMax, kMax}, {kMin, 0, kMax, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(V::Clamp(c.v, c.lo, c.hi), c.out) << c.v << " in " << c.lo << ".." << c.hi;
}

TEST(KdUpDownValue, FormatIsPlainDecimal) {
    EXPECT_EQ(V::Format(0), "0");
    EXPECT_EQ(V::Format(-1), "-1");
    EXPECT_EQ(V::Format(kMax), "9223372036854775807");
    EXPECT_EQ(V::Format(kMin), "-9223372036854775808");
    for (int64_t v : {kMin, kMin + 1, int64_t{-1}, int64_t{0}, int64_t{1}, kMax - 1, kMax})
        EXPECT_EQ(V::Parse(V::Format(v)), v);
}

TEST(KdUpDownValue, StepsWrapAtBothEndsThenClamp) {
    const struct {
        int64_t v, delta, lo, hi, out;
    } cases[] = {
        {0, +1, 0, 0, 1},
        {1, -1, 0, 0, 0},
        {0, -1, 0, 0, -1},
        {kMax, +1, 0, 0, kMin},
        {kMin, -1, 0, 0, kMax},
        {kMax, +1, 0, kMax, 0},      // wraps to the minimum, clamped up to 0
        {kMin, -1, kMin, 0, 0},      // wraps to the maximum, clamped down to 0
        {10, +1, 0, 10, 10},
        {25, -1, 0, 10, 10},
        {5, -1, 5, 10, 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(V::Clamp(V::WrappingAdd(c.v, c.delta), c.lo, c.hi), c.out) << c.v << (c.delta > 0 ? " +1" : " -1");
}

TEST(KdUpDownValue, LimitWritesKeepTheOrderAndChooseTheMinusRule) {
    int64_t lo = 0, hi = 0;
    V::WriteMin(lo, hi, 5);
    EXPECT_EQ(lo, 5);
    EXPECT_EQ(hi, 5);
    V::WriteMax(lo, hi, 10);
    EXPECT_EQ(lo, 5);
    EXPECT_EQ(hi, 10);
    V::WriteMax(lo, hi, -3);
    EXPECT_EQ(lo, -3);
    EXPECT_EQ(hi, -3);
    V::WriteMin(lo, hi, kMin);
    EXPECT_EQ(lo, kMin);
    EXPECT_EQ(hi, -3);

    EXPECT_TRUE(V::AllowsMinus(0, 0));
    EXPECT_FALSE(V::AllowsMinus(0, 100));
    EXPECT_TRUE(V::AllowsMinus(-5, 5));
    EXPECT_FALSE(V::AllowsMinus(1, 1));
    EXPECT_TRUE(V::AllowsMinus(kMin, kMin));
}
