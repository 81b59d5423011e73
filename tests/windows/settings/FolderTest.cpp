#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "settings/CmnFunc2.h"

namespace lumora::test {
namespace {

// A stand-in for GetWindowsDirectoryA that reports `folder`, asking for a
// larger buffer (terminating zero included) when the one given is too small.
struct ReportingCall {
    std::string folder;
    std::vector<UINT>* sizes;
    UINT operator()(LPSTR buffer, UINT size) const
    {
        sizes->push_back(size);
        if (size <= folder.size())
            return static_cast<UINT>(folder.size() + 1);
        std::memcpy(buffer, folder.c_str(), folder.size() + 1);
        return static_cast<UINT>(folder.size());
    }
};

TEST(WindowsFolder, AsksAgainWithABufferOfTheSizeTheSystemReports)
{
    const std::string longFolder = "C:\\" + std::string(296, 'w');  // 299 characters
    std::vector<UINT> sizes;
    EXPECT_EQ(GetFolderFrom(ReportingCall{longFolder, &sizes}), longFolder);
    EXPECT_EQ(sizes, (std::vector<UINT>{260, 300}));

    sizes.clear();
    EXPECT_EQ(GetFolderFrom(ReportingCall{"C:\\windows", &sizes}), "C:\\windows");
    EXPECT_EQ(sizes, std::vector<UINT>{260});
}

TEST(WindowsFolder, AFailingOrRunawayCallGivesAnEmptyFolder)
{
    EXPECT_EQ(GetFolderFrom([](LPSTR, UINT) -> UINT { return 0; }), "");
    // Never content: asks for one more each time. The functions give up
    // instead of looping for ever.
    int calls = 0;
    EXPECT_EQ(GetFolderFrom([&calls](LPSTR, UINT size) -> UINT {
                  ++calls;
                  return size + 1;
              }),
              "");
    EXPECT_LE(calls, 8);
    // Asks for more than any Win32 path needs: nothing is allocated for it.
    EXPECT_EQ(GetFolderFrom([](LPSTR, UINT) -> UINT { return 0xFFFFFFFF; }), "");
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char here[MAX_PATH + 1] = {};
        const DWORD length = GetCurrentDirectoryA(sizeof here, here);
        ASSERT_TRUE(length > 0 && length < sizeof here);
        saved_ = here;
        ASSERT_TRUE(SetCurrentDirectoryA("C:\\windows"));
    }
    void TearDown() override { SetCurrentDirectoryA(saved_.c_str()); }

    static std::string Reporting(const std::string& path)
    {
        return GetTempFolderFrom([&path](DWORD size, LPSTR buffer) -> DWORD {
            if (size <= path.size())
                return static_cast<DWORD>(path.size() + 1);
            std::memcpy(buffer, path.c_str(), path.size() + 1);
            return static_cast<DWORD>(path.size());
        });
    }

    std::string saved_;
};

TEST_F(TempFolder, EndsInExactlyOneBackslashAndIsAFullPath)
{
    EXPECT_EQ(Reporting("C:\\users\\root\\Temp"), "C:\\users\\root\\Temp\\");
    EXPECT_EQ(Reporting("C:\\users\\root\\Temp\\"), "C:\\users\\root\\Temp\\");
    EXPECT_EQ(Reporting("C:\\"), "C:\\");
    EXPECT_EQ(Reporting("scratch"), "C:\\windows\\scratch\\");  // relative to the current folder
    EXPECT_EQ(Reporting("C:\\" + std::string(300, 't')), "C:\\" + std::string(300, 't') + "\\");
}

TEST_F(TempFolder, FallsBackToTheCurrentFolderWhenTheSystemHasNone)
{
    const auto failing = [](DWORD, LPSTR) -> DWORD { return 0; };
    EXPECT_EQ(GetTempFolderFrom(failing), "C:\\windows\\");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    EXPECT_EQ(GetTempFolderFrom(failing), "C:\\");
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Folders, TheSystemsFoldersAsThisSystemReportsThem)
{
    const std::string temp = GetTempFolder();
    ASSERT_GE(temp.size(), 3u);
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_NE(temp[temp.size() - 2], '\\');
    EXPECT_TRUE(IsFolder(temp)) << temp;

    EXPECT_STRCASEEQ(GetWindowsFolder().c_str(), "C:\\windows");
    const std::string system = GetSystemFolder();
    EXPECT_TRUE(IsFolder(system)) << system;
    EXPECT_NE(system.back(), '\\');

    EXPECT_TRUE(IsWindowsNT());
}

}  // namespace
}  // namespace lumora::test
