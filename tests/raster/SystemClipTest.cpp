#include <gtest/gtest.h>

#include "lumivane/gfx/raster/DeviceContext.h"

using namespace lumivane;

// A window's context may be narrowed and reset by painters, but never reach past the part of the
// window it was made for.
TEST(SystemClip, SetClipCannotWidenAWindowContext) {
    Surface s(10, 10, 0xFFFFFF);
    DeviceContext dc(&s, {2, 2}, Region(TRect{0, 0, 4, 4}));
    dc.IntersectClip({0, 0, 2, 2});
    dc.SetClip(Region(TRect{-5, -5, 50, 50}));
    EXPECT_EQ(dc.Clip(), Region(TRect{0, 0, 4, 4}));
    EXPECT_EQ(dc.SystemClip(), Region(TRect{0, 0, 4, 4}));
    dc.FillRect({-5, -5, 50, 50}, clBlack);
    EXPECT_EQ(s.Get(1, 1), 0xFFFFFFu); // outside, left above
    EXPECT_EQ(s.Get(2, 2), 0x000000u);
    EXPECT_EQ(s.Get(5, 5), 0x000000u);
    EXPECT_EQ(s.Get(6, 6), 0xFFFFFFu); // outside, right below
}

TEST(SystemClip, MemoryContextsStayFree) {
    Surface s(4, 4, 0xFFFFFF);
    DeviceContext dc(&s);
    dc.SetClip(Region(TRect{0, 0, 1, 1}));
    dc.SetClip(Region(TRect{0, 0, 4, 4}));
    dc.FillRect({0, 0, 4, 4}, clBlack);
    EXPECT_EQ(s.Get(3, 3), 0x000000u);
}
