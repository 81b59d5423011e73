#include <gtest/gtest.h>

#include "launcher/BackdropGeometry.h"
#include "launcher/BackdropPlan.h"

namespace lumora::backdrop {
namespace {

// Stands in for the framework's scaling; exact at the DPIs used here.
int Scaled(int pixels, int dpi) { return pixels * dpi / 96; }

TEST(BackdropBands, ClientHeight630GivesTenPixelBandsOverlappingByTwo)
{
    const float step = BandStep(630);
    EXPECT_EQ(step, 10.0f);
    for (int i = 0; i < kBandCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(BandRect(i, step, 800), (Rect{0, 10 * i - 1, 801, 10 * i + 11}));
    }
    EXPECT_EQ(BandRect(63, step, 800).top, 629);
}

TEST(BackdropBands, ClientHeight600TruncatesTheExactMultiplesOfASinglePrecisionStep)
{
    const float step = BandStep(600);
    EXPECT_FLOAT_EQ(step, 9.5238095f);
    EXPECT_EQ(BandRect(0, step, 1024), (Rect{0, -1, 1025, 10}));
    EXPECT_EQ(BandRect(1, step, 1024), (Rect{0, 8, 1025, 20}));
    // 21 * step and 63 * step lie just below 200 and 600; rounded to single
    // precision they would be 200 and 600.
    EXPECT_EQ(BandRect(21, step, 1024).top, 198);
    EXPECT_EQ(BandRect(20, step, 1024).bottom, 200);
    EXPECT_EQ(BandRect(63, step, 1024), (Rect{0, 598, 1025, 610}));

    // No row of the client area is left out between neighbours.
    for (int i = 1; i < kBandCount; ++i)
        EXPECT_LE(BandRect(i, step, 1024).top, BandRect(i - 1, step, 1024).bottom) << i;
}

TEST(BackdropBands, AClientLowerThan63RowsGivesBandsOfAtMostOneRow)
{
    const float step = BandStep(40);
    EXPECT_LT(step, 1.0f);
    EXPECT_EQ(BandRect(0, step, 10), (Rect{0, -1, 11, 1}));
    EXPECT_EQ(BandRect(2, step, 10), (Rect{0, 0, 11, 2}));    // 1.27 and 1.90
    EXPECT_EQ(BandRect(63, step, 10), (Rect{0, 39, 11, 41}));  // 40.0 and 40.63
    EXPECT_EQ(BandRect(5, BandStep(0), 10), (Rect{0, -1, 11, 1}));
}

TEST(BackdropPlacement, FooterMovesLeftByTheFootersThatFitInTheWidth)
{
    EXPECT_EQ(FooterPosition(800, 600, 100, Scaled, 96), (Point{787, 594}));
    EXPECT_EQ(FooterPosition(800, 600, 99, Scaled, 96), (Point{787, 594}));  // 800 div 99 = 8
    EXPECT_EQ(FooterPosition(1024, 700, 7, Scaled, 96), (Point{1024 - 146 - 5, 694}));
    // Wider than the client area: the division gives 0.
    EXPECT_EQ(FooterPosition(300, 200, 301, Scaled, 96), (Point{295, 194}));
    EXPECT_EQ(FooterPosition(800, 600, 0, Scaled, 96), std::nullopt);
    // At 192 DPI the corner's distances double; the text's width is the
    // device's already.
    EXPECT_EQ(FooterPosition(1600, 1200, 200, Scaled, 192), (Point{1600 - 8 - 10, 1188}));
}

TEST(BackdropPlacement, PictureSitsAtItsSizeBelowTheTopAndLeftOfTheRightEdge)
{
    EXPECT_EQ(PictureRect(200, 150, 1032, Scaled, 96), (Rect{782, 30, 982, 180}));
    EXPECT_EQ(PictureRect(1, 1, 0, Scaled, 96), (Rect{-51, 30, -50, 31}));
    // At 144 DPI: its size, the gap to the edge and its distance from the top
    // grow by half.
    EXPECT_EQ(PictureRect(200, 150, 1548, Scaled, 144), (Rect{1173, 45, 1473, 270}));
    // The solid fill adds the window's screen position to the client size.
    EXPECT_EQ(SolidRect(1024, 700, -4, -4), (Rect{0, 0, 1020, 696}));
    EXPECT_EQ(SolidRect(430, 316, 100, 50), (Rect{0, 0, 530, 366}));
}

TEST(BackdropPlan, GradientsAboveZeroInRedGreenBlueOrderWithFallingComponent)
{
    SetupSettings s;
    EXPECT_TRUE(Gradients(s).empty());
    s.GradientRed = 255;
    s.GradientGreen = 1;
    s.GradientBlue = -5;
    EXPECT_EQ(Gradients(s), (std::vector<Channel>{Channel::Red, Channel::Green}));
    s.GradientRed = 0;
    s.GradientBlue = 2;
    EXPECT_EQ(Gradients(s), (std::vector<Channel>{Channel::Green, Channel::Blue}));

    EXPECT_EQ(BandColor(Channel::Red, 0), 0x0000FFu);
    EXPECT_EQ(BandColor(Channel::Red, 1), 0x0000FBu);
    EXPECT_EQ(BandColor(Channel::Green, 10), 0x00D700u);
    EXPECT_EQ(BandColor(Channel::Blue, 63), 0x030000u);
}

}  // namespace
}  // namespace lumora::backdrop
