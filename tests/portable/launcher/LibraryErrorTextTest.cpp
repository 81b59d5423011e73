#include <gtest/gtest.h>

#include <cstdarg>
#include <string>

#include "launcher/LibraryErrorText.h"

namespace lumora {
namespace {

std::string Text(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::string text = LibraryErrorText(format, arguments);
    va_end(arguments);
    return text;
}

TEST(LibraryErrorText, FillsInTheLibrarysFormatsAsTheLibraryDoes)
{
    // The formats of std::string's substr and at.
    EXPECT_EQ(Text("%s: __pos (which is %zu) > this->size() (which is %zu)", "basic_string::substr",
                   std::size_t{7}, std::size_t{3}),
              "basic_string::substr: __pos (which is 7) > this->size() (which is 3)");
    EXPECT_EQ(Text("basic_string::at: __n (which is %zu) >= this->size() (which is %zu)", std::size_t{0},
                   std::size_t{0}),
              "basic_string::at: __n (which is 0) >= this->size() (which is 0)");
    EXPECT_EQ(Text("100%% of %zu", std::size_t{4000000000u}), "100% of 4000000000");
    // Anything else is kept and takes no argument.
    EXPECT_EQ(Text("%d %z %s%", "x"), "%d %z x%");
    EXPECT_EQ(Text(""), "");
}

}  // namespace
}  // namespace lumora
