#include <gtest/gtest.h>

#include "controls/Accelerator.h"
#include "controls/ButtonAccessibility.h"

namespace lumora {
namespace {

struct AcceleratorCase {
    const char* caption;
    char accelerator;  // '\0': none
    const char* text;  // as shown, and as accessibility clients read it
    const char* shortcut;
};

// "&&" shows one ampersand and underlines nothing, so it is no accelerator;
// the character after a single "&" further on is.
const AcceleratorCase kCases[] = {
    {"&Yes", 'Y', "Yes", "Alt+Y"},
    {"< &Back", 'B', "< Back", "Alt+B"},
    {"&Next >", 'N', "Next >", "Alt+N"},
    {"&No", 'N', "No", "Alt+N"},
    {"OK", '\0', "OK", ""},
    {"", '\0', "", ""},
    {"a&", '\0', "a", ""},
    {"&", '\0', "", ""},
    {"&&", '\0', "&", ""},
    {"&&x", '\0', "&x", ""},
    {"Save && &Quit", 'Q', "Save & Quit", "Alt+Q"},
    {"&&&x", 'x', "&x", "Alt+X"},
    {"A&b&c", 'b', "Abc", "Alt+B"},
    {"&1", '1', "1", "Alt+1"},
    {"&&&", '\0', "&", ""},
};

TEST(Accelerator, IsTheCharacterTheCaptionUnderlines)
{
    for (const AcceleratorCase& c : kCases)
        EXPECT_EQ(CaptionAccelerator(c.caption), c.accelerator) << '"' << c.caption << '"';
}

TEST(Accelerator, GivesTheShownTextAndTheShortcutThatScreenReadersSpeak)
{
    for (const AcceleratorCase& c : kCases) {
        EXPECT_EQ(CaptionText(c.caption), c.text) << '"' << c.caption << '"';
        EXPECT_EQ(CaptionShortcut(c.caption), c.shortcut) << '"' << c.caption << '"';
    }
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
