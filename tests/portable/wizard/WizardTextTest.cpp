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
