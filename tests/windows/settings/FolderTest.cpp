#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <cwchar>
#include <vector>

#include "base/PathEncoding.h"
#include "settings/CmnFunc2.h"
#include "base/Error.h"
#include "settings/ExtractionFolder.h"

namespace lumora::test {
namespace {

// A stand-in for GetWindowsDirectoryW that reports `folder`, asking for a
// larger buffer (terminating zero included) when the one given is too small.
struct ReportingCall {
    std::wstring folder;
    std::vector<UINT>* sizes;
    UINT operator()(LPWSTR buffer, UINT size) const
    {
        sizes->push_back(size);
        if (size <= folder.size())
            return static_cast<UINT>(folder.size() + 1);
        std::wmemcpy(buffer, folder.c_str(), folder.size() + 1);
        return static_cast<UINT>(folder.size());
    }
};

TEST(WindowsFolder, AsksAgainWithABufferOfTheSizeTheSystemReports)
{
    const std::wstring longFolder = L"C:\\" + std::wstring(296, L'w');  // 299 characters
    std::vector<UINT> sizes;
    EXPECT_EQ(GetFolderFrom(ReportingCall{longFolder, &sizes}), "C:\\" + std::string(296, 'w'));
    EXPECT_EQ(sizes, (std::vector<UINT>{260, 300}));

    sizes.clear();
    EXPECT_EQ(GetFolderFrom(ReportingCall{L"C:\\windows", &sizes}), "C:\\windows");
    EXPECT_EQ(sizes, std::vector<UINT>{260});
}

TEST(WindowsFolder, AFailingOrRunawayCallGivesAnEmptyFolder)
{
    EXPECT_EQ(GetFolderFrom([](LPWSTR, UINT) -> UINT { return 0; }), "");
    // Never content: asks for one more each time. The functions give up
    // instead of looping for ever.
    int calls = 0;
    EXPECT_EQ(GetFolderFrom([&calls](LPWSTR, UINT size) -> UINT {
                  ++calls;
                  return size + 1;
              }),
              "");
    EXPECT_LE(calls, 8);
    // Asks for more than any Win32 path needs: nothing is allocated for it.
    EXPECT_EQ(GetFolderFrom([](LPWSTR, UINT) -> UINT { return 0xFFFFFFFF; }), "");
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

    static std::string Reporting(const std::wstring& path)
    {
        return GetTempFolderFrom([&path](DWORD size, LPWSTR buffer) -> DWORD {
            if (size <= path.size())
                return static_cast<DWORD>(path.size() + 1);
            std::wmemcpy(buffer, path.c_str(), path.size() + 1);
            return static_cast<DWORD>(path.size());
        });
    }

    std::string saved_;
};

TEST_F(TempFolder, EndsInExactlyOneBackslashAndIsAFullPath)
{
    EXPECT_EQ(Reporting(L"C:\\users\\root\\Temp"), "C:\\users\\root\\Temp\\");
    EXPECT_EQ(Reporting(L"C:\\users\\root\\Temp\\"), "C:\\users\\root\\Temp\\");
    EXPECT_EQ(Reporting(L"C:\\"), "C:\\");
    EXPECT_EQ(Reporting(L"scratch"), "C:\\windows\\scratch\\");  // relative to the current folder
    EXPECT_EQ(Reporting(L"C:\\" + std::wstring(300, L't')), "C:\\" + std::string(300, 't') + "\\");
    // Letters that the ANSI code page lacks come through as UTF-8.
    EXPECT_EQ(Reporting(L"C:\\users\\\u0418\u0432\u0430\u043d\\Temp"), "C:\\users\\\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\\Temp\\");
}

TEST_F(TempFolder, FallsBackToTheCurrentFolderWhenTheSystemHasNone)
{
    const auto failing = [](DWORD, LPWSTR) -> DWORD { return 0; };
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

// The process's temporary folder under a user name of Cyrillic and of Greek
// letters, which the Western ANSI code page cannot spell: the folder comes
// back whole, as UTF-8 path text that names the folder.
TEST(Folders, ATemporaryFolderOfLettersTheCodePageLacksComesBackWhole)
{
    wchar_t saved[MAX_PATH + 1] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"TMP", saved, MAX_PATH), 0u);
    for (const std::wstring user : {L"\u0418\u0432\u0430\u043d", L"\u0395\u03bb\u03ad\u03bd\u03b7"}) {
        const std::wstring home = L"C:\\users\\" + user, temp = home + L"\\Temp";
        CreateDirectoryW(home.c_str(), nullptr);
        CreateDirectoryW(temp.c_str(), nullptr);
        ASSERT_TRUE(SetEnvironmentVariableW(L"TMP", temp.c_str()));
        const std::string folder = GetTempFolder();
        EXPECT_EQ(folder, PathFromWide(temp) + "\\");
        EXPECT_EQ(WidePath(folder), temp + L"\\");
        const DWORD attributes = GetFileAttributesW(WidePath(folder).c_str());
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
    }
    SetEnvironmentVariableW(L"TMP", saved);
}

// A folder the payload is restored into may lie deeper than MAX_PATH; the
// W functions take such a path whole only in its long form.
TEST(Folders, APathLongerThanMaxPathReachesTheSystemWhole)
{
    const std::string base = GetTempFolder() + "lumora-long";
    std::string folder = base;
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            folder += "\\" + std::string(100, static_cast<char>('a' + i));
        ASSERT_TRUE(CreateDirectoryW(WidePath(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    ASSERT_GT(folder.size(), static_cast<std::size_t>(MAX_PATH));
    const std::wstring wide = WidePath(folder + "\\x\\..\\file.txt");
    EXPECT_EQ(wide, L"\\\\?\\" + std::wstring(folder.begin(), folder.end()) + L"\\file.txt");
    EXPECT_EQ(PathFromWide(wide), folder + "\\file.txt");
    EXPECT_EQ(PathFromWide(L"\\\\?\\UNC\\server\\share\\a"), "\\\\server\\share\\a");
    EXPECT_EQ(WidePath("relative\\" + std::string(300, 'r')).substr(0, 9), L"relative\\");

    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(DeleteFileW(wide.c_str()));
    for (std::string part = folder; part.size() > base.size(); part.resize(part.rfind('\\')))
        RemoveDirectoryW(WidePath(part).c_str());
    RemoveDirectoryW(WidePath(base).c_str());
}

// Wine keeps no access lists on its files, so the descriptor is read as
// the code builds it: Administrators and SYSTEM alone, nothing inherited.
TEST(ExtractionFolder, OnlyAdministratorsAndSystemMayUseItWhenElevated)
{
    const PSECURITY_DESCRIPTOR descriptor = AdministratorsOnlyDescriptor();
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl);
    std::vector<std::string> entries;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        char* sid = nullptr;
        ASSERT_TRUE(ConvertSidToStringSidA(&ace->SidStart, &sid));
        entries.push_back(std::to_string(ace->Header.AceType) + " " + sid + " " + std::to_string(ace->Mask) + " " +
                          std::to_string(ace->Header.AceFlags));
        LocalFree(sid);
    }
    const std::string inherited = std::to_string(OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
    const std::string all = std::to_string(FILE_ALL_ACCESS);
    EXPECT_EQ(entries, (std::vector<std::string>{"0 S-1-5-32-544 " + all + " " + inherited,
                                                 "0 S-1-5-18 " + all + " " + inherited}));
    LocalFree(descriptor);
}

// Each folder is new and held: it cannot be renamed under the run; removing
// it takes its files, and a file still in use stays for the next run.
TEST(ExtractionFolder, ANewFolderHeldForTheRunAndRemovedWithItsFiles)
{
    const std::string base = GetTempFolder();
    CreateExtractionFolderIn(base, true);
    const std::string first = ExtractionFolder();
    CreateExtractionFolderIn(base, false);
    const std::string folder = ExtractionFolder();
    EXPECT_NE(folder, first);
    EXPECT_FALSE(IsFolder(first)) << "the earlier folder stays";
    ASSERT_EQ(folder.compare(0, base.size() + 13, base + "Lumora-Setup-"), 0) << folder;
    EXPECT_EQ(folder.size(), base.size() + 13 + 16 + 1);
    EXPECT_EQ(InExtractionFolder("Setup.ins"), folder + "Setup.ins");

    const std::string moved = base + "lumora-moved";
    EXPECT_FALSE(MoveFileA(folder.c_str(), moved.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    const std::string held = folder + "Install.exe";
    const HANDLE file = CreateFileA(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const HANDLE other = CreateFileA((folder + "cd.jpg").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CloseHandle(other);
    RemoveExtractionFolder();
    EXPECT_EQ(ExtractionFolder(), "");
    EXPECT_THROW(InExtractionFolder("Setup.ins"), Error);
    EXPECT_EQ(GetFileAttributesA((folder + "cd.jpg").c_str()), INVALID_FILE_ATTRIBUTES);
    // The file open without sharing cannot be deleted now: it and its
    // folder stay, with no delete at the restart, for the next run.
    ASSERT_NE(GetFileAttributesA(held.c_str()), INVALID_FILE_ATTRIBUTES);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                            &key), ERROR_SUCCESS);
    std::vector<char> pending(65536);
    DWORD size = static_cast<DWORD>(pending.size());
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(pending.data()),
                         &size) != ERROR_SUCCESS)
        size = 0;
    RegCloseKey(key);
    EXPECT_EQ(std::string(pending.data(), size).find(folder.substr(base.size(), 29)), std::string::npos);
    CloseHandle(file);
    CreateExtractionFolderIn(base, false);
    EXPECT_FALSE(IsFolder(folder));
    RemoveExtractionFolder();
}

// The folders of runs that were killed are removed by the next run: those
// that no live run holds open, and only plain folders of this program's
// names.
TEST(ExtractionFolder, FoldersOfEndedRunsGoWithTheNextRun)
{
    const std::string base = GetTempFolder() + "lumora-ended\\";
    ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
    const char* const ended = "Lumora-Setup-0123456789abcdef";
    const char* const stay[] = {"Lumora-Setup-0123456789abcdee", "Lumora-Setup-FEDCBA9876543210",
                                "Lumora-Setup-notours", "Lumora-Setup-0123456789abcdef0"};
    for (const char* name : {ended, stay[0], stay[1], stay[2], stay[3]}) {
        ASSERT_TRUE(CreateDirectoryA((base + name).c_str(), nullptr)) << name;
        const HANDLE file = CreateFileA((base + name + "\\Setup.ins").c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, 0, nullptr);
        CloseHandle(file);
    }
    // A live run's folder, held as the run holds its own.
    const HANDLE live = CreateFileA((base + stay[0]).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(live, INVALID_HANDLE_VALUE);

    CreateExtractionFolderIn(base, false);
    EXPECT_FALSE(IsFolder(base + ended));
    for (const char* name : stay)
        EXPECT_NE(GetFileAttributesA((base + name + "\\Setup.ins").c_str()), INVALID_FILE_ATTRIBUTES) << name;
    CloseHandle(live);
    RemoveExtractionFolder();
    for (const char* name : stay) {
        DeleteFileA((base + name + "\\Setup.ins").c_str());
        RemoveDirectoryA((base + name).c_str());
    }
    EXPECT_TRUE(RemoveDirectoryA(base.c_str()));
}

}  // namespace
}  // namespace lumora::test
