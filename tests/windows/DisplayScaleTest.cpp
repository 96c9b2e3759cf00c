#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "lumivane/windows/DisplayScale.h"

using namespace lumivane;

namespace {

struct ResourceCase {
    const char* name;
    std::string text;
    std::optional<double> dpi;
};

TEST(DisplayScale, XftDpiIsReadAsTheResourceManagerReadsIt) {
    const ResourceCase cases[] = {
        {"tab after colon", "Xft.dpi:\t192\n", 192},
        {"space, fraction", "Xft.dpi: 192.5\n", 192.5},
        {"no newline at end", "Xft.dpi:96", 96},
        {"blanks around name and value", "  Xft.dpi \t:  144  \t\n", 144},
        {"among other entries", "Xcursor.size:\t24\nXft.antialias:\t1\nXft.dpi:\t120\nXft.hinting:\t1\n",
         120},
        {"last entry holds", "Xft.dpi:\t96\nXft.dpi:\t288\n", 288},
        {"later malformed entry overrides", "Xft.dpi:\t192\nXft.dpi:\tbig\n", std::nullopt},
        {"comment is no entry", "!Xft.dpi:\t192\nXft.dpi:\t96\n", 96},
        {"indented comment", "  ! Xft.dpi: 192\n", std::nullopt},
        {"directive is no entry", "#Xft.dpi: 192\n", std::nullopt},
        {"continued line", "Xft.dpi:\\\n\t192\n", 192},
        {"trailing backslash at the very end", "Xft.dpi: 192\\", std::nullopt},
        {"CRLF is not a blank", "Xft.dpi: 192\r\n", std::nullopt},
        {"missing", "Xcursor.theme:\tAdwaita\n", std::nullopt},
        {"empty text", "", std::nullopt},
        {"empty value", "Xft.dpi:\n", std::nullopt},
        {"no colon", "Xft.dpi 192\n", std::nullopt},
        {"negative", "Xft.dpi: -192\n", std::nullopt},
        {"zero", "Xft.dpi: 0\n", std::nullopt},
        {"only a point", "Xft.dpi: .\n", std::nullopt},
        {"leading point", "Xft.dpi: .5\n", 0.5},
        {"exponent", "Xft.dpi: 1e3\n", std::nullopt},
        {"unit after number", "Xft.dpi: 192dpi\n", std::nullopt},
        {"two numbers", "Xft.dpi: 96 192\n", std::nullopt},
        {"other name", "Xft.dpix: 192\nxft.dpi: 192\nXft*dpi: 192\n*dpi: 192\n", std::nullopt},
        {"embedded NUL", std::string("Xft.dpi: 19\0" "2\n", 14), std::nullopt},
        {"NUL line before", std::string("\0\nXft.dpi: 192\n", 15), 192},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto got = XftDpiFromResources(c.text);
        ASSERT_EQ(got.has_value(), c.dpi.has_value());
        if (got) {
            EXPECT_DOUBLE_EQ(*got, *c.dpi);
        }
    }
}

TEST(DisplayScale, HugeValuesStayFiniteAndScaleFour) {
    const std::string huge = "Xft.dpi: " + std::string(400, '9') + "." + std::string(400, '9') + "\n";
    const auto dpi = XftDpiFromResources(huge);
    ASSERT_TRUE(dpi.has_value());
    EXPECT_TRUE(std::isfinite(*dpi));
    EXPECT_EQ(ScaleFromDpi(*dpi), 4);
}

TEST(DisplayScale, DpiRoundsHalvesUpAndCapsAtFour) {
    const struct { double dpi; int scale; } cases[] = {
        {96, 1},   {120, 1},  {143.9, 1}, {144, 2},  {192, 2},   {239.9, 2}, {240, 3},
        {288, 3},  {335.9, 3}, {336, 4},  {384, 4},  {1e9, 4},   {72, 1},    {0.5, 1},
        {0, 1},    {-192, 1}, {std::nan(""), 1},
    };
    for (const auto& c : cases) EXPECT_EQ(ScaleFromDpi(c.dpi), c.scale) << c.dpi;
}

TEST(DisplayScale, VariableFirstThenXftDpiThenOne) {
    const struct {
        const char* variable;
        const char* resources;
        int scale;
        const char* source;
        bool warns;
    } cases[] = {
        {nullptr, "", 1, "default", false},
        {"", "Xft.dpi: 192", 2, "Xft.dpi", false},        // empty: not set
        {nullptr, "Xft.dpi: 96", 1, "Xft.dpi", false},
        {nullptr, "Xft.dpi: 120", 1, "Xft.dpi", false},
        {nullptr, "Xft.dpi: 144", 2, "Xft.dpi", false},
        {nullptr, "Xft.dpi: 192", 2, "Xft.dpi", false},
        {nullptr, "Xft.dpi: 288", 3, "Xft.dpi", false},
        {nullptr, "Xft.dpi: many", 1, "default", false},  // the desktop's text: ignored quietly
        {"1", "Xft.dpi: 192", 1, "LUMIVANE_SCALE", false},
        {"3", "", 3, "LUMIVANE_SCALE", false},
        {"4", "Xft.dpi: 96", 4, "LUMIVANE_SCALE", false},
        {"0", "Xft.dpi: 192", 2, "Xft.dpi", true},
        {"5", "", 1, "default", true},
        {"2.0", "", 1, "default", true},
        {"02", "", 1, "default", true},
        {" 2", "", 1, "default", true},
        {"-1", "Xft.dpi: 288", 3, "Xft.dpi", true},
        {"two", "", 1, "default", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.variable ? c.variable : "(unset)") + " / " + c.resources);
        const DisplayScaleChoice got = ChooseDisplayScale(c.variable, c.resources);
        EXPECT_EQ(got.scale, c.scale);
        EXPECT_STREQ(got.source, c.source);
        EXPECT_EQ(!got.warning.empty(), c.warns) << got.warning;
    }
}

TEST(DisplayScale, WarningIsOneShortPrintableLineNamingTheValue) {
    EXPECT_EQ(ChooseDisplayScale("7", "").warning,
              "lumivane: LUMIVANE_SCALE=\"7\" ignored: it takes a whole number from 1 to 4");
    const std::string hostile = "\x1b[2J\n\"quoted\"\\" + std::string(200, 'x');
    const std::string w = ChooseDisplayScale(hostile.c_str(), "").warning;
    EXPECT_EQ(w.find('\n'), std::string::npos);
    EXPECT_EQ(w.find('\x1b'), std::string::npos);
    EXPECT_LT(w.size(), 120u);
    EXPECT_NE(w.find("?[2J?"), std::string::npos) << w;
    EXPECT_NE(w.find("...\" ignored"), std::string::npos) << w;
}

}  // namespace
