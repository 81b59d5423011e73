#include <gtest/gtest.h>

#include <algorithm>

#include "framework/FileObject.h"

namespace lumora::test {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A folder of its own under the temporary folder, with one file, removed
// when the test ends.
class Folder {
public:
    Folder()
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"lumora-file-object-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(path_.c_str(), nullptr);
        const FileHandle file(CreateFileW((path_ + L"\\a.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    ~Folder()
    {
        for (const wchar_t* name : {L"\\a.txt", L"\\b.txt"})
            DeleteFileW((path_ + name).c_str());
        RemoveDirectoryW(path_.c_str());
        RemoveDirectoryW((path_ + L"-moved").c_str());
    }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

TEST(FileObject, TellsPlainFilesAndFoldersWhereTheyWereOpened)
{
    const Folder folder;
    const FileHandle held = OpenItself(folder.Path(), FILE_LIST_DIRECTORY | DELETE, kShareAll);
    ASSERT_TRUE(held);
    const std::wstring final = FinalPath(held.Get());
    EXPECT_EQ(KindOf(held.Get(), final), ObjectKind::Folder);

    const FileHandle file = OpenItselfIn(held.Get(), L"a.txt", FILE_READ_ATTRIBUTES, kShareAll);
    ASSERT_TRUE(file);
    EXPECT_EQ(KindOf(file.Get(), final + L"\\a.txt"), ObjectKind::File);
    EXPECT_EQ(KindOf(file.Get(), final + L"\\A.TXT"), ObjectKind::File);
    // Reached by another path than the one it lies at: what a followed link gives.
    EXPECT_EQ(KindOf(file.Get(), final + L"\\b.txt"), ObjectKind::Link);
    EXPECT_EQ(KindOf(file.Get(), final, L"A.TXT"), ObjectKind::File);
    EXPECT_EQ(KindOf(file.Get(), final, L"b.txt"), ObjectKind::Link);
    EXPECT_EQ(KindOf(file.Get(), final + L"\\a", L".txt"), ObjectKind::Link);

    EXPECT_EQ(NamesIn(held.Get()), std::vector<std::wstring>{L"a.txt"});
    EXPECT_FALSE(OpenItselfIn(held.Get(), L"missing.txt", FILE_READ_ATTRIBUTES, kShareAll));
    EXPECT_FALSE(OpenItselfIn(held.Get(), L"..\\a.txt", FILE_READ_ATTRIBUTES, kShareAll));
}

TEST(FileObject, RenamesAndDeletesByHandleInTheHeldFolder)
{
    const Folder folder;
    const FileHandle held = OpenItself(folder.Path(), FILE_LIST_DIRECTORY | FILE_TRAVERSE, kShareAll);
    ASSERT_TRUE(held);
    {
        const FileHandle file = OpenItselfIn(held.Get(), L"a.txt", DELETE, kShareAll);
        ASSERT_TRUE(file);
        ASSERT_TRUE(RenameByHandle(file.Get(), held.Get(), L"b.txt", false));
        EXPECT_EQ(NamesIn(held.Get()), std::vector<std::wstring>{L"b.txt"});
        EXPECT_FALSE(RenameByHandle(file.Get(), held.Get(), L"..\\c.txt", false));
        EXPECT_TRUE(DeleteByHandle(file.Get()));
    }
    EXPECT_TRUE(NamesIn(held.Get()).empty());

    // A new file only where nothing has the name.
    FileHandle made = CreateNewIn(held.Get(), L"b.txt", GENERIC_WRITE | DELETE, 0);
    ASSERT_TRUE(made);
    EXPECT_EQ(NamesIn(held.Get()), std::vector<std::wstring>{L"b.txt"});
    EXPECT_FALSE(CreateNewIn(held.Get(), L"B.TXT", GENERIC_WRITE, kShareAll));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(DeleteByHandle(made.Get()));
}

}  // namespace
}  // namespace lumora::test
