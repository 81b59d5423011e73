#include <gtest/gtest.h>

#include "controls/Accelerator.h"
#include "controls/ButtonAccessibility.h"

namespace lumora {
namespace {

struct AcceleratorCase {
    const char* caption;
    const char* accelerator;  // "": none
    const char* text;         // as shown, and as accessibility clients read it
    const char* shortcut;
};

// "&&" shows one ampersand and underlines nothing, so it is no accelerator;
// the character after a single "&" further on is.
const AcceleratorCase kCases[] = {
    {"&Yes", "Y", "Yes", "Alt+Y"},
    {"< &Back", "B", "< Back", "Alt+B"},
    {"&Next >", "N", "Next >", "Alt+N"},
    {"&No", "N", "No", "Alt+N"},
    {"OK", "", "OK", ""},
    {"", "", "", ""},
    {"a&", "", "a", ""},
    {"&", "", "", ""},
    {"&&", "", "&", ""},
    {"&&x", "", "&x", ""},
    {"Save && &Quit", "Q", "Save & Quit", "Alt+Q"},
    {"&&&x", "x", "&x", "Alt+X"},
    {"A&b&c", "b", "Abc", "Alt+B"},
    {"&1", "1", "1", "Alt+1"},
    {"&&&", "", "&", ""},
    // Letters of other scripts, as translated captions have them.
    {"< \u041d\u0430&\u0437\u0430\u0434", "\u0437", "< \u041d\u0430\u0437\u0430\u0434", "Alt+\u0417"},
    {"\u6b21\u3078(&N) >", "N", "\u6b21\u3078(N) >", "Alt+N"},
    {"&\u00e9t\u00e9", "\u00e9", "\u00e9t\u00e9", "Alt+\u00c9"},
    {"&\xff", "\xff", "\xff", "Alt+\xef\xbf\xbd"},  // no UTF-8: one byte, shown as U+FFFD
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

TEST(Accelerator, MatchesLettersOfAnyScriptRegardlessOfCaseAndNothingElse)
{
    EXPECT_TRUE(IsAccelerator("&Yes", U'y'));
    EXPECT_TRUE(IsAccelerator("&Yes", U'Y'));
    EXPECT_TRUE(IsAccelerator("&yes", U'Y'));
    EXPECT_FALSE(IsAccelerator("&Yes", U'e'));
    EXPECT_FALSE(IsAccelerator("&No", U'y'));
    EXPECT_TRUE(IsAccelerator("&1", U'1'));
    // Only letters fold: '[' and '{' are not one key in two cases.
    EXPECT_FALSE(IsAccelerator("&[", U'{'));
    EXPECT_FALSE(IsAccelerator("OK", U'O'));
    EXPECT_FALSE(IsAccelerator("OK", U'\0'));
    EXPECT_FALSE(IsAccelerator("&&", U'&'));
    EXPECT_FALSE(IsAccelerator("a&", U'\0'));
    // Cyrillic, Greek and Latin-1 letters in either case; a letter that
    // only looks alike (Latin H, Cyrillic N) is another.
    EXPECT_TRUE(IsAccelerator("&\u0414\u0430", U'\u0434'));
    EXPECT_TRUE(IsAccelerator("< \u041d\u0430&\u0437\u0430\u0434", U'\u0417'));
    EXPECT_FALSE(IsAccelerator("&\u041d\u0435\u0442", U'H'));
    EXPECT_TRUE(IsAccelerator("&\u03a9", U'\u03c9'));
    EXPECT_TRUE(IsAccelerator("&\u00e9t\u00e9", U'\u00c9'));
    EXPECT_TRUE(IsAccelerator("\u306f\u3044(&Y)", U'y'));
    EXPECT_FALSE(IsAccelerator("&\u0414\u0430", U'\u0434' + 1));
}

}  // namespace
}  // namespace lumora
