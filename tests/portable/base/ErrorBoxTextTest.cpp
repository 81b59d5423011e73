#include <gtest/gtest.h>

#include "base/ErrorBoxText.h"

namespace lumora {
namespace {

struct Case {
    const char* message;
    const char* shown;
};

TEST(ErrorBoxText, AddsAFullStopOnlyAfterCharactersThatSortAfterIt)
{
    const Case cases[] = {
        {"", ""},
        {"Stream read error", "Stream read error."},
        {"Done.", "Done."},
        {"Really?", "Really?."},   // '?' sorts after '.'
        {"Stop!", "Stop!"},        // '!' sorts before it
        {"a-b-", "a-b-"},          // '-' too
        {"trailing blank ", "trailing blank "},
        {"C:\\path/", "C:\\path/."},  // '/' is the first character after '.'
        {"ends in 7", "ends in 7."},
        {"(x)", "(x)"},
        {".", "."},
        {"caf\xE9", "caf\xE9."},  // 8-bit characters sort after '.'
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorBoxText(c.message), c.shown) << '"' << c.message << '"';
}

}  // namespace
}  // namespace lumora
