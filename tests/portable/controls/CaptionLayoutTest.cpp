#include <gtest/gtest.h>

#include "controls/CaptionLayout.h"

namespace lumora {
namespace {

struct PlacementCase {
    int width, height, textWidth, textHeight;
    int shift, inset;
    int left, top;
};

// left = inset + (width - 2 inset - textWidth + 1) div 2 + shift, top alike.
const PlacementCase kCases[] = {
    {65, 26, 40, 13, 0, 2, 13, 7},  // free space 21 and 9: the odd pixel goes before the text
    {65, 26, 40, 13, 1, 2, 14, 8},
    {67, 26, 31, 13, 0, 2, 18, 7},  // free space 32 and 9
    {66, 27, 31, 14, 0, 2, 18, 7},  // free space 31 and 9
    {22, 23, 0, 0, 0, 2, 11, 12},   // no caption
    {22, 23, 21, 13, 0, 2, 1, 5},   // free space -3: -2 div 2 = -1
    {22, 23, 30, 13, 0, 2, -3, 5},  // free space -12: -11 div 2 = -5, not -6
    {22, 23, 30, 13, 1, 2, -2, 6},
    {10, 4, 5, 10, 0, 2, 3, -2},    // content height 0: -9 div 2 = -4, not -5
    // At 192 DPI: the button and its border twice as large, the caption
    // moved by 2 pixels.
    {130, 52, 80, 26, 0, 4, 25, 13},
    {130, 52, 80, 26, 2, 4, 27, 15},
    {44, 46, 60, 26, 0, 4, -7, 10},  // free space -24: -23 div 2 = -11, not -12
};

TEST(CaptionLayout, CentresInTheContentAreaTruncatingTowardZero)
{
    for (const PlacementCase& c : kCases) {
        const CaptionOrigin o = PlaceCaption(c.width, c.height, c.textWidth, c.textHeight, c.shift, c.inset);
        EXPECT_EQ(o.left, c.left) << c.width << "x" << c.height << " text " << c.textWidth << " shift " << c.shift
                                  << " inset " << c.inset;
        EXPECT_EQ(o.top, c.top) << c.width << "x" << c.height << " text " << c.textHeight << " shift " << c.shift
                                << " inset " << c.inset;
    }
}

}  // namespace
}  // namespace lumora
