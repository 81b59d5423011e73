#include <gtest/gtest.h>

#include "base/AsciiText.h"
#include "base/IntegerText.h"
#include "base/TextFileReader.h"

namespace lumora {
namespace {

TEST(TextFileReader, LineEnds)
{
    struct Case {
        const char* name;
        std::string content;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"CR LF", "one\r\ntwo\r\n", {"one", "two", ""}},
        {"CR alone", "one\rtwo\r", {"one", "two", ""}},
        {"LF alone belongs to the text", "one\ntwo\r\nthree", {"one\ntwo", "three", ""}},
        {"CR CR gives an empty line", "a\r\rb", {"a", "", "b"}},
        {"Ctrl-Z ends the file", "one\r\ntw\x1Ao\r\nthree\r\n", {"one", "tw", ""}},
        {"empty file", "", {"", ""}},
        {"nothing is trimmed", "  x \t\r\n", {"  x \t", ""}},
    };
    for (const auto& c : cases) {
        TextFileReader r(c.content);
        for (const auto& expected : c.lines)
            EXPECT_EQ(r.ReadLine(), expected) << c.name;
        EXPECT_TRUE(r.AtEnd()) << c.name;
    }
}

TEST(TextFileReader, IntegerLines)
{
    TextFileReader r("255\r\n  \t-7 trailing words\r\n\r\n\r\n$FF\r\n0x10\r\nX1f\r\n");
    EXPECT_EQ(r.ReadIntegerLine(), 255);
    EXPECT_EQ(r.ReadIntegerLine(), -7);
    // Blank lines before a number are skipped as line ends.
    EXPECT_EQ(r.ReadIntegerLine(), 255);
    EXPECT_EQ(r.ReadIntegerLine(), 16);
    EXPECT_EQ(r.ReadIntegerLine(), 31);
    // At the end of the file numbers read as 0 without failure.
    EXPECT_EQ(r.ReadIntegerLine(), 0);
    EXPECT_EQ(r.ReadIntegerLine(), 0);
}

TEST(TextFileReader, InvalidNumbersFailAndTheLineIsLeft)
{
    TextFileReader r("abc\r\n12\r\n");
    EXPECT_EQ(r.ReadIntegerLine(), std::nullopt);
    EXPECT_EQ(r.ReadLine(), "12");

    // A token of 33 digits is cut at 32, which no longer fits: a failure.
    TextFileReader longToken(std::string(33, '1') + "\r\n5\r\n");
    EXPECT_EQ(longToken.ReadIntegerLine(), std::nullopt);
    EXPECT_EQ(longToken.ReadIntegerLine(), 5);

    // 32 characters of zeros and a 7 is still a number of 32 characters.
    TextFileReader zeros(std::string(31, '0') + "7\r\n");
    EXPECT_EQ(zeros.ReadIntegerLine(), 7);

    // A number ends at the first character of code 32 or less.
    TextFileReader control("12\x01" "3\r\n");
    EXPECT_EQ(control.ReadIntegerLine(), 12);
}

TEST(ParseInteger32, AcceptsDecimalAndEveryHexPrefix)
{
    const std::pair<const char*, std::int32_t> good[] = {
        {"0", 0},          {"+42", 42},         {"-42", -42},       {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN}, {"$ff", 255}, {"xFF", 255},     {"X10", 16},
        {"0x7fffffff", INT32_MAX},  {"0XFFFFFFFF", -1}, {"$80000000", INT32_MIN}, {"-$10", -16},
        {"007", 7},
    };
    for (const auto& [text, value] : good)
        EXPECT_EQ(ParseInteger32(text), value) << text;
}

TEST(ParseInteger32, RejectsEverythingElse)
{
    const char* bad[] = {"", "-", "+", "$", "0x", "x", "abc", "12a", "1 2", "2147483648",
                         "-2147483649", "$100000000", "0x1g", "--1", "1.5", "0b1"};
    for (const char* text : bad)
        EXPECT_EQ(ParseInteger32(text), std::nullopt) << text;
}

TEST(UpperCaseAscii, ChangesOnlyTheLettersAToZ)
{
    EXPECT_EQ(UpperCaseAscii("c:\\windows\\\xe9t\xe9 true"), "C:\\WINDOWS\\\xe9T\xe9 TRUE");
}

}  // namespace
}  // namespace lumora
