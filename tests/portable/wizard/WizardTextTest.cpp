#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/TextLines.h"
#include "wizard/WizardSummary.h"

namespace lumora {
namespace {

using Lines = std::vector<std::string>;

TEST(Summary, SixLinesWithTheFolderInUpperCaseLettersAToZOnly)
{
    EXPECT_EQ(SummaryLines("C:\\Windows"),
              (Lines{"Setup Type:", "  Complete", " ", "Target Folder:", "  C:\\WINDOWS", " "}));
    // Latin-1 letters (\xfc, \xe9) and digits stay as they are.
    EXPECT_EQ(SummaryLines("d:\\s\xfc\xe9r 2000")[4], "  D:\\S\xfc\xe9R 2000");
    EXPECT_EQ(SummaryLines("")[4], "  ");
}

TEST(Summary, ASeventhLineOnlyWhenAnInstalledVersionIsReplacedByOneOfThisInstaller)
{
    const struct {
        const char* installed;
        const char* version;
        const char* seventh;  // nullptr: six lines
    } cases[] = {
        {"1.0.0", "1.2.3", "Replaces version 1.0.0 with 1.2.3"},
        {"2.0.0.7", "1.0.0", "Replaces version 2.0.0.7 with 1.0.0"},
        {"1.2.3", "1.2.3", "Replaces version 1.2.3 with 1.2.3"},
        {"", "1.2.3", nullptr},   // an entry without a version, or none
        {"1.0.0", "", nullptr},   // an installer built without --version
        {"", "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.installed) + " -> " + c.version);
        const Lines lines = SummaryLines("C:\\Windows", c.installed, c.version);
        ASSERT_EQ(lines.size(), c.seventh ? 7u : 6u);
        EXPECT_EQ(Lines(lines.begin(), lines.begin() + 6), SummaryLines("C:\\Windows"));
        if (c.seventh) {
            EXPECT_EQ(lines[6], c.seventh);
        }
    }
}

TEST(Summary, CentringTruncatesEachHalfTowardZero)
{
    EXPECT_EQ(CentredOrigin(1024, 408), 308);
    EXPECT_EQ(CentredOrigin(1023, 409), 307);  // 511 - 204
    EXPECT_EQ(CentredOrigin(300, 409), -54);   // 150 - 204: larger than the screen
    EXPECT_EQ(CentredOrigin(-5, 3), -3);       // -2 - 1, where floor division gives -4
}

TEST(TextLines, SplitLikeATextBoxLoadingAFile)
{
    const struct {
        std::string text;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"one\r\ntwo\r\n", {"one", "two"}},
        {"one\ntwo\rthree", {"one", "two", "three"}},
        {"one\r\r\ntwo", {"one", "", "two"}},
        {"one\n\rtwo", {"one", "", "two"}},
        {"\r\n\r\n", {"", ""}},
        {" \t \r\n", {" \t "}},
        {std::string("one\r\ntw\0o\r\nthree", 16), {"one", "tw"}},
        {"\x1a\xff", {"\x1a\xff"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitTextLines(c.text), c.lines);
    }
}

}  // namespace
}  // namespace lumora
