#include <gtest/gtest.h>

#include "base/PathText.h"

namespace lumora {
namespace {

TEST(EnsureBackslash, AppendsOneOnlyWhenTheLastCharacterIsNotABackslash)
{
    EXPECT_EQ(EnsureBackslash("C:\\Temp"), "C:\\Temp\\");
    EXPECT_EQ(EnsureBackslash("C:\\Temp\\"), "C:\\Temp\\");
    EXPECT_EQ(EnsureBackslash("C:\\Temp\\\\"), "C:\\Temp\\\\");
    EXPECT_EQ(EnsureBackslash("C:/Temp/"), "C:/Temp/\\");
    EXPECT_EQ(EnsureBackslash("C:"), "C:\\");
}

TEST(FileNamePart, IsThePartAfterTheLastSeparatorOrColon)
{
    EXPECT_EQ(FileNamePart("z:\\work\\samples\\cd.jpg"), "cd.jpg");
    EXPECT_EQ(FileNamePart("c:setup.ins"), "setup.ins");
    EXPECT_EQ(FileNamePart("FILE:LIST"), "LIST");
    EXPECT_EQ(FileNamePart("c:\\dir/a.txt"), "a.txt");
}

TEST(TrimToResult, FitsTheBufferToTheCountAndTellsWhetherTheAnswerFitted)
{
    struct Case {
        std::size_t length;
        std::uint32_t count;
        bool fitted;
    };
    const Case cases[] = {
        {260, 10, true},    // answer of 10 characters
        {260, 0, true},     // the call failed: empty
        {260, 259, true},   // the longest answer that fits with its zero
        {260, 260, false},  // asks for a buffer of the same size: no room for the zero
        {260, 300, false},  // asks for 300
    };
    for (const Case& c : cases) {
        std::string buffer(c.length, 'x');
        EXPECT_EQ(TrimToResult(buffer, c.count), c.fitted) << c.count;
        EXPECT_EQ(buffer.size(), c.count);
    }
}

}  // namespace
}  // namespace lumora
