#include "settings/ExtractionFolder.h"

#include <ntsecapi.h>
#include <sddl.h>
#include <winternl.h>

#include <cwchar>
#include <memory>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/Handles.h"
#include "framework/Win32Error.h"
#include "settings/CmnFunc2.h"
#include "settings/RunLog.h"

namespace lumora {

namespace {

// Full access for Administrators (BA) and SYSTEM (SY), passed on to files
// and folders made inside (OICI); "P": nothing inherited from above.
constexpr wchar_t kAdministratorsOnly[] = L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
constexpr wchar_t kNamePrefix[] = L"Lumora-Setup-";
// A name that exists already is refused; a few more random names are tried
// before the folder counts as impossible to make.
constexpr int kAttempts = 8;
constexpr NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035);  // STATUS_OBJECT_NAME_COLLISION

struct Folder {
    std::string path;  // with a trailing backslash
    std::wstring wide;  // without it
    // Open without delete sharing: the folder cannot be renamed or removed
    // while this handle lasts.
    HANDLE pin = nullptr;
};

// The folder of this run.
Folder current;

std::wstring RandomName()
{
    unsigned char bytes[8];
    if (!RtlGenRandom(bytes, sizeof bytes))
        throw Error("no random name can be made for it");
    std::wstring name = kNamePrefix;
    for (const unsigned char byte : bytes) {
        name += L"0123456789abcdef"[byte >> 4];
        name += L"0123456789abcdef"[byte & 15];
    }
    return name;
}

// The folder `path` (a full path), made anew and opened in one call, so that
// no one can put another folder in its place in between; null when a folder
// or file of that name exists. Open without delete sharing: the folder
// cannot be renamed or removed while the handle lasts.
HANDLE MakeAndOpenFolder(const std::wstring& path, PSECURITY_DESCRIPTOR descriptor)
{
    // The object manager's name of a full path, ordinary or long:
    // "\\??\\C:\\..." or "\\??\\UNC\\server\\share\\...".
    std::size_t skip = 0;
    const wchar_t* share = L"";
    if (path.size() >= 4 && std::wmemcmp(path.c_str(), L"\\\\?\\", 4) == 0) {
        skip = 4;
    } else if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        skip = 1;
        share = L"UNC";
    }
    std::wstring name = L"\\??\\";
    name += share;
    name.append(path, skip, std::wstring::npos);
    if (name.size() > 32000)
        throw Error("the temporary folder's path is too long");
    UNICODE_STRING objectName{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                              static_cast<USHORT>(name.size() * sizeof(wchar_t)), name.data()};
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, nullptr, descriptor);
    IO_STATUS_BLOCK status;
    HANDLE folder = nullptr;
    const NTSTATUS result = NtCreateFile(&folder, FILE_LIST_DIRECTORY | SYNCHRONIZE, &attributes, &status, nullptr,
                                         FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_CREATE,
                                         FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (result == kNameCollision)
        return nullptr;
    if (result < 0) {
        SetLastError(RtlNtStatusToDosError(result));
        RaiseWithSystemReason("", PathFromWide(path) + " cannot be created");
    }
    return folder;
}

// Deletes the files in `folder` (no trailing backslash); what cannot go now
// goes at the next restart. The restore writes files only, under their base
// names: a folder in it (or a link to one) is left as it is.
void RemoveFiles(const std::wstring& folder)
{
    const std::wstring prefix = folder + L"\\";
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((prefix + L"*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;  // "." and ".."
        const std::wstring path = prefix + found.cFileName;
        if (!DeleteFileW(path.c_str()))
            MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

// The folder itself, once its files are gone, or at the next restart after
// them.
void RemoveEmptyFolder(const std::wstring& folder)
{
    if (!RemoveDirectoryW(folder.c_str()))
        MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// A name this program gives its folders: the prefix and 16 hex digits.
bool IsFolderName(const wchar_t* name)
{
    constexpr std::size_t kPrefixLength = sizeof kNamePrefix / sizeof *kNamePrefix - 1;
    if (std::wcslen(name) != kPrefixLength + 16 || std::wcsncmp(name, kNamePrefix, kPrefixLength) != 0)
        return false;
    for (name += kPrefixLength; *name; ++name)
        if ((*name < L'0' || *name > L'9') && (*name < L'a' || *name > L'f'))
            return false;
    return true;
}

// Removes the folders under `base` that runs left behind when they were
// killed or lost their power. A live run holds its folder open without
// delete sharing, so a folder that opens for deletion is no live run's. It
// is held without delete sharing while its files go, so that no one can
// rename or replace it meanwhile. Only plain folders are taken: a link (a
// junction, a symbolic link) of that name is never followed out of `base`.
void RemoveFoldersOfEndedRuns(const std::wstring& base)
{
    constexpr DWORD kKind = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    constexpr DWORD kItself = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((base + kNamePrefix + L"*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        if ((found.dwFileAttributes & kKind) != FILE_ATTRIBUTE_DIRECTORY || !IsFolderName(found.cFileName))
            continue;
        const std::wstring folder = base + found.cFileName;
        if (!FileHandle(CreateFileW(folder.c_str(), DELETE, kShare, nullptr, OPEN_EXISTING, kItself, nullptr)))
            continue;
        FileHandle held(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, kShare, nullptr, OPEN_EXISTING, kItself,
                                    nullptr));
        BY_HANDLE_FILE_INFORMATION facts;
        if (!held || !GetFileInformationByHandle(held.Get(), &facts) ||
            (facts.dwFileAttributes & kKind) != FILE_ATTRIBUTE_DIRECTORY)
            continue;
        RemoveFiles(folder);
        held.Reset();
        RemoveEmptyFolder(folder);
        LogStep("extraction folder", PathFromWide(folder) + " of an ended run removed");
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

}  // namespace

PSECURITY_DESCRIPTOR AdministratorsOnlyDescriptor()
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdministratorsOnly, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        RaiseWithSystemReason("its access list cannot be made", {});
    return descriptor;
}

bool IsProcessElevated()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool read = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    return read && elevation.TokenIsElevated != 0;
}

// A system without access lists (the non-NT family) needs none, and has no
// means to make one.
void CreateExtractionFolder() { CreateExtractionFolderIn(GetTempFolder(), IsWindowsNT() && IsProcessElevated()); }

void CreateExtractionFolderIn(const std::string& base, bool adminsOnly)
{
    RemoveExtractionFolder();
    const std::wstring wideBase = WidePath(base);
    RemoveFoldersOfEndedRuns(wideBase);
    std::unique_ptr<void, decltype(&LocalFree)> descriptor(adminsOnly ? AdministratorsOnlyDescriptor() : nullptr,
                                                           LocalFree);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::wstring wide = wideBase + RandomName();
        if (const HANDLE pin = MakeAndOpenFolder(wide, descriptor.get())) {
            current.wide = wide;
            current.path = PathFromWide(wide) + "\\";
            current.pin = pin;
            return;
        }
    }
    throw Error("every name tried in " + base + " exists already");
}

const std::string& ExtractionFolder() { return current.path; }

std::string InExtractionFolder(const std::string& name)
{
    // Without the folder a name would be taken from the current folder.
    if (ExtractionFolder().empty())
        throw Error("There is no extraction folder");
    return ExtractionFolder() + AuthorText(name);
}

void RemoveExtractionFolder() noexcept
{
    if (current.path.empty())
        return;
    CloseHandle(current.pin);
    current.pin = nullptr;
    RemoveFiles(current.wide);
    RemoveEmptyFolder(current.wide);
    current.path.clear();
    current.wide.clear();
}

}  // namespace lumora
