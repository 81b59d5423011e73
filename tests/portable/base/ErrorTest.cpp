#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <type_traits>

#include "base/Error.h"

namespace lumora {
namespace {

static_assert(std::is_nothrow_copy_constructible_v<Error> && std::is_nothrow_copy_assignable_v<Error>,
              "copying an error while it is thrown must not fail");

TEST(Error, CopiesShareTheMessageAndOutliveTheOriginal)
{
    std::optional<Error> original(std::in_place, std::string("Cannot open file a.txt"));
    Error copy(*original);
    Error assigned("earlier message");
    assigned = copy;
    Error& same = assigned;
    assigned = same;
    original.reset();
    EXPECT_STREQ(copy.what(), "Cannot open file a.txt");
    EXPECT_STREQ(assigned.what(), "Cannot open file a.txt");

    try {
        throw Error("Stream read error");
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
}

}  // namespace
}  // namespace lumora
