#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

#include "archive/ArchiveInput.h"
#include "archive/DosDateTime.h"
#include "base/Error.h"

namespace lumora::archive {
namespace {

TEST(FileInput, TakesNameSizeAndLastWriteTimeOfTheFile)
{
    const auto path = std::filesystem::temp_directory_path() / "Lumora Stored Name.TXT";
    const std::time_t before = std::time(nullptr);
    {
        std::FILE* f = std::fopen(path.string().c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("twelve bytes", f);
        std::fclose(f);
    }
    const ArchiveInput input = FileInput(path.string());
    std::filesystem::remove(path);

    EXPECT_EQ(input.size, 12);
    // No folder of the machine that built it.
    EXPECT_EQ(input.storedName, "c:\\lumora stored name.txt");
    // The stamp is the write time (two-second resolution, a little slack).
    const auto stamp = std::int32_t(input.stamp);
    EXPECT_GE(stamp, std::int32_t(DosStampFromTime(before - 4)));
    EXPECT_LE(stamp, std::int32_t(DosStampFromTime(std::time(nullptr) + 4)));

    EXPECT_THROW(FileInput(path.string()), Error);
}

}  // namespace
}  // namespace lumora::archive
