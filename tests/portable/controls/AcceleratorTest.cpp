#include <gtest/gtest.h>

#include "controls/Accelerator.h"

namespace lumora {
namespace {

struct AcceleratorCase {
    const char* caption;
    char accelerator;  // '\0': none
};

// "&&" shows one ampersand and underlines nothing, so it is no accelerator;
// the character after a single "&" further on is.
const AcceleratorCase kCases[] = {
    {"&Yes", 'Y'},     {"< &Back", 'B'}, {"&Next >", 'N'}, {"&No", 'N'},     {"OK", '\0'},
    {"", '\0'},        {"a&", '\0'},     {"&", '\0'},      {"&&", '\0'},     {"&&x", '\0'},
    {"Save && &Quit", 'Q'}, {"&&&x", 'x'},  {"A&b&c", 'b'},   {"&1", '1'},      {"&&&", '\0'},
};

TEST(Accelerator, IsTheCharacterTheCaptionUnderlines)
{
    for (const AcceleratorCase& c : kCases)
        EXPECT_EQ(CaptionAccelerator(c.caption), c.accelerator) << '"' << c.caption << '"';
}

TEST(Accelerator, MatchesLettersRegardlessOfCaseAndNothingElse)
{
    EXPECT_TRUE(IsAccelerator("&Yes", 'y'));
    EXPECT_TRUE(IsAccelerator("&Yes", 'Y'));
    EXPECT_TRUE(IsAccelerator("&yes", 'Y'));
    EXPECT_FALSE(IsAccelerator("&Yes", 'e'));
    EXPECT_FALSE(IsAccelerator("&No", 'y'));
    EXPECT_TRUE(IsAccelerator("&1", '1'));
    // Only a to z fold: '[' and '{' are not one key in two cases.
    EXPECT_FALSE(IsAccelerator("&[", '{'));
    EXPECT_FALSE(IsAccelerator("OK", 'O'));
    EXPECT_FALSE(IsAccelerator("OK", '\0'));
    EXPECT_FALSE(IsAccelerator("&&", '&'));
    EXPECT_FALSE(IsAccelerator("a&", '\0'));
}

}  // namespace
}  // namespace lumora
