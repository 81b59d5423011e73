#include <gtest/gtest.h>

#include "controls/CaptionLayout.h"

namespace lumora {
namespace {

struct PlacementCase {
    int width, height, textWidth, textHeight;
    bool pressed;
    int left, top;
};

// left = 2 + (width - 4 - textWidth + 1) div 2 (+1 pressed), top alike.
const PlacementCase kCases[] = {
    {65, 26, 40, 13, false, 13, 7},  // free space 21 and 9: the odd pixel goes before the text
    {65, 26, 40, 13, true, 14, 8},
    {67, 26, 31, 13, false, 18, 7},  // free space 32 and 9
    {66, 27, 31, 14, false, 18, 7},  // free space 31 and 9
    {22, 23, 0, 0, false, 11, 12},   // no caption
    {22, 23, 21, 13, false, 1, 5},   // free space -3: -2 div 2 = -1
    {22, 23, 30, 13, false, -3, 5},  // free space -12: -11 div 2 = -5, not -6
    {22, 23, 30, 13, true, -2, 6},
    {10, 4, 5, 10, false, 3, -2},    // content height 0: -9 div 2 = -4, not -5
};

TEST(CaptionLayout, CentresInTheContentAreaTruncatingTowardZero)
{
    for (const PlacementCase& c : kCases) {
        const CaptionOrigin o = PlaceCaption(c.width, c.height, c.textWidth, c.textHeight, c.pressed);
        EXPECT_EQ(o.left, c.left) << c.width << "x" << c.height << " text " << c.textWidth << " pressed "
                                  << c.pressed;
        EXPECT_EQ(o.top, c.top) << c.width << "x" << c.height << " text " << c.textHeight << " pressed "
                                << c.pressed;
    }
}

}  // namespace
}  // namespace lumora
