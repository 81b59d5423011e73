#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

#include "archive/ArchiveInput.h"
#include "archive/DosDateTime.h"
#include "archive/StoredName.h"
#include "base/Error.h"
#include "base/PathText.h"

namespace lumora::archive {
namespace {

TEST(StoredName, FullPathsBecomeLowerCaseDrivePaths)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/work/Samples/CD.JPG", "z:\\work\\samples\\cd.jpg"},
        {"C:\\Program Files\\Lumora\\Setup.INS", "c:\\program files\\lumora\\setup.ins"},
        {"D:/Mixed/Slashes\\Here.txt", "d:\\mixed\\slashes\\here.txt"},
    };
    for (const auto& [path, stored] : cases)
        EXPECT_EQ(StoredNameFromFullPath(path), stored) << path;
}

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
    const std::string& name = input.storedName;
    ASSERT_GE(name.size(), 3u);
    EXPECT_TRUE(name[0] >= 'a' && name[0] <= 'z' && name[1] == ':' && name[2] == '\\') << name;
    EXPECT_EQ(name.find('/'), std::string::npos) << name;
    EXPECT_EQ(FileNamePart(name), "lumora stored name.txt");
    // The stamp is the write time (two-second resolution, a little slack).
    const auto stamp = std::int32_t(input.stamp);
    EXPECT_GE(stamp, std::int32_t(DosStampFromTime(before - 4)));
    EXPECT_LE(stamp, std::int32_t(DosStampFromTime(std::time(nullptr) + 4)));

    EXPECT_THROW(FileInput(path.string()), Error);
}

}  // namespace
}  // namespace lumora::archive
