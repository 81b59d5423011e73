#include <gtest/gtest.h>

#include "archive/DosDateTime.h"

namespace lumora::archive {
namespace {

TEST(DosDateTime, UnpacksTheShippedStamps)
{
    // Bytes EE 35 3F 2E of the first payload entry.
    EXPECT_EQ(UnpackDosDateTime(0x2E3F35EE), (DosDateTime{2003, 1, 31, 6, 47, 28}));
    EXPECT_EQ(UnpackDosDateTime(0x2E3884C7), (DosDateTime{2003, 1, 24, 16, 38, 14}));
}

TEST(DosDateTime, PackIsTheInverseOfUnpackAndOrdersInTime)
{
    const DosDateTime t{2003, 1, 31, 6, 48, 54};
    EXPECT_EQ(PackDosDateTime(t), 0x2E3F361Bu);
    EXPECT_EQ(UnpackDosDateTime(PackDosDateTime(t)), t);
    // Odd seconds lose their last bit; times outside the years that fit
    // become the first or the last stamp.
    EXPECT_EQ(UnpackDosDateTime(PackDosDateTime({2003, 1, 31, 6, 48, 55})).second, 54);
    EXPECT_EQ(UnpackDosDateTime(PackDosDateTime({1970, 5, 5, 0, 0, 0})), (DosDateTime{1980, 1, 1, 0, 0, 0}));
    EXPECT_EQ(UnpackDosDateTime(PackDosDateTime({2150, 5, 5, 0, 0, 0})), (DosDateTime{2107, 12, 31, 23, 59, 58}));
    // Later times are larger when compared as signed integers.
    const auto a = static_cast<std::int32_t>(PackDosDateTime({2030, 12, 31, 23, 59, 58}));
    const auto b = static_cast<std::int32_t>(PackDosDateTime({2031, 1, 1, 0, 0, 0}));
    EXPECT_LT(a, b);
}

}  // namespace
}  // namespace lumora::archive
