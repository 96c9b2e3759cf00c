#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace lumivane {

// How many device pixels a logical pixel covers on the display: a whole number from 1 to 4.
//
// Logical pixels are 96-DPI pixels, and everything above the window system (layouts, control
// geometry, mouse coordinates, properties) stays in them whatever the scale. A whole factor keeps
// the pictures sharp: every pixel of the 1x picture becomes an n-by-n block, only text is drawn
// afresh at n times its size. Text does not follow a fractional DPI at scale 1 (120 or 144 DPI
// keep 96-DPI fonts), so that scale 1 stays pixel for pixel what it has always been, and a label
// never outgrows the space its layout gives it.
//
// The scale comes, in this order, from LUMIVANE_SCALE (for users and tests), from the desktop's
// Xft.dpi (in the root window's RESOURCE_MANAGER property), else 1. These functions only read the
// texts they are given; the display driver fetches them.

constexpr int kMinDisplayScale = 1;
constexpr int kMaxDisplayScale = 4;

// The value of the last Xft.dpi entry of an X resource text (the RESOURCE_MANAGER property, read
// as the resource manager reads it: one entry a line, '!' comments, '#' directives, a backslash
// at the end of a line joins the next). None when there is no such entry, or when the last one's
// value is not a positive decimal number ("192", "192.5"). The text is anyone's: any bytes are
// read safely.
std::optional<double> XftDpiFromResources(std::string_view resources);

// The scale for a DPI: the DPI over 96 rounded to the nearest whole number, halves up (below 144
// DPI 1, from 144 2, from 240 3, from 336 4), and at most 4.
int ScaleFromDpi(double dpi);

struct DisplayScaleChoice {
    int scale = 1;
    // Where it came from, for messages and tests: "LUMIVANE_SCALE", "Xft.dpi" or "default".
    const char* source = "default";
    // One line (no newline) to show the user when LUMIVANE_SCALE was set but unusable and so
    // ignored; empty otherwise.
    std::string warning;
};

// Picks the scale from LUMIVANE_SCALE's value (null or empty: not set; else exactly one of 1, 2,
// 3, 4) and the RESOURCE_MANAGER text (empty when the root window has none).
DisplayScaleChoice ChooseDisplayScale(const char* scaleVariable, std::string_view resources);

}  // namespace lumivane
