#include "settings/ExtractionFolder.h"

#include <ntsecapi.h>
#include <sddl.h>
#include <winternl.h>

#include <cwchar>
#include <memory>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/FileObject.h"
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
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A folder of ours held while its files go: listed, its entries opened
// relative to it, its kind told, and then deleted, all through this handle.
constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | DELETE;

struct Folder {
    std::string path;  // with a trailing backslash
    std::wstring base;  // the folder it lies in, with a trailing backslash
    std::wstring name;
    // Open without delete sharing: the folder cannot be renamed or removed
    // while this handle lasts; its files are removed through this handle.
    FileHandle pin;
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
// cannot be renamed or removed while the handle lasts. Not open for
// deletion: a handle with delete access would keep everyone who opens the
// folder without delete sharing (a search in it, a program started in it)
// from opening it at all.
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

// The log's line for what stays of a folder of ours (at `path`), or of its
// entry `name`: "... left: `why`", and for a failure (`failed`), the
// system's reason for it.
void LogLeft(const std::string& path, std::wstring_view name, const char* why, DWORD failed = NO_ERROR)
{
    std::string line = path;
    if (!name.empty()) {
        line += '\\';
        line += PathFromWide(name);
    }
    line += " left: ";
    line += why;
    if (failed != NO_ERROR) {
        line += " (";
        line += SystemErrorText(failed);
        line += ')';
    }
    LogStep("extraction folder", line);
}

constexpr char kNotNow[] = "cannot be removed now; a later run tries again";
constexpr char kLink[] = "a link, never followed";

// Deletes the entry `name` of the held folder `folder` when it is a plain
// file lying in that very folder (`where`: the folder's final path;
// `path`: the folder as the log shows it). A link is never followed
// and never deleted: where the system follows it even when asked not to
// (Wine), a delete would reach the file it points to.
void RemoveEntry(HANDLE folder, const std::wstring& where, const std::string& path, const std::wstring& name)
{
    const FileHandle entry = OpenItselfIn(folder, name, DELETE | FILE_READ_ATTRIBUTES, kShareAll);
    const char* why = kNotNow;
    if (entry) {
        switch (KindOf(entry.Get(), where, name)) {
        case ObjectKind::Link: why = kLink; break;
        case ObjectKind::Folder: why = "a folder, which this program never makes"; break;
        case ObjectKind::File:
            if (DeleteByHandle(entry.Get()))
                return;
        }
    }
    const DWORD failed = why == kNotNow ? GetLastError() : NO_ERROR;
    LogLeft(path, name, why, failed);
}

// Removes the files of the folder that `folder` holds (open without delete
// sharing: no one can rename or replace it meanwhile); true when it is
// empty then. `path` names it in the log. Every entry is opened relative to
// the held handle, so a path swapped behind us leads nowhere. What cannot
// be removed now stays, and the log says what and why. Nothing is left to a
// delete at the next restart: by then the folder's name, in the user's
// temporary folder, may lead anywhere (the user may rename a folder there,
// even one only administrators may write, and put a junction in its
// place). The next run removes what stays, the same way.
bool RemoveFiles(HANDLE folder, const std::string& path)
{
    const std::wstring where = FinalPath(folder);
    for (const std::wstring& name : NamesIn(folder))
        RemoveEntry(folder, where, path, name);
    if (NamesIn(folder).empty())
        return true;
    LogLeft(path, {}, "not empty");
    return false;
}

// Removes the entry `name` of the folder that `temp` holds (`where`: its
// final path) when it is a plain folder lying there, with its
// files; true when it has gone. It is opened for deletion and without
// delete sharing, so that no one can rename or replace it meanwhile; when
// it does not open so (a live run holds its own), it stays, said in the
// log when `inUseSaid`. A link of that name is logged and never followed.
bool RemoveFolderIn(HANDLE temp, const std::wstring& where, const std::string& path, const std::wstring& name,
                    bool inUseSaid)
{
    const FileHandle folder = OpenItselfIn(temp, name, kFolderAccess, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (folder) {
        const ObjectKind kind = KindOf(folder.Get(), where, name);
        if (kind == ObjectKind::Link)
            LogLeft(path, {}, kLink);
        if (kind != ObjectKind::Folder || !RemoveFiles(folder.Get(), path))
            return false;
        if (DeleteByHandle(folder.Get()))
            return true;
    } else if (!inUseSaid) {
        return false;
    }
    const DWORD failed = GetLastError();
    LogLeft(path, {}, kNotNow, failed);
    return false;
}

// The folder `base` (a full path ending in "\"), in which folders of ours lie.
FileHandle OpenBase(const std::wstring& base)
{
    return FileHandle(CreateFileW(base.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Removes the folders under `base` (ending in "\"; `wideBase` the same)
// that runs left behind when they were killed or lost their power. A live
// run holds its folder open without delete sharing, so a folder that opens
// for deletion is no live run's. It is held so while its files go.
void RemoveFoldersOfEndedRuns(const std::string& base, const std::wstring& wideBase)
{
    const FileHandle temp = OpenBase(wideBase);
    if (!temp)
        return;
    const std::wstring where = FinalPath(temp.Get());
    for (const std::wstring& name : NamesIn(temp.Get())) {
        if (!IsFolderName(name.c_str()))
            continue;
        const std::string path = base + PathFromWide(name);
        if (RemoveFolderIn(temp.Get(), where, path, name, false))
            LogStep("extraction folder", path + " of an ended run removed");
    }
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
    RemoveFoldersOfEndedRuns(base, wideBase);
    std::unique_ptr<void, decltype(&LocalFree)> descriptor(adminsOnly ? AdministratorsOnlyDescriptor() : nullptr,
                                                           LocalFree);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::wstring name = RandomName();
        if (const HANDLE pin = MakeAndOpenFolder(wideBase + name, descriptor.get())) {
            current.base = wideBase;
            current.name = name;
            current.path = PathFromWide(wideBase + name) + "\\";
            current.pin = FileHandle(pin);
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
    std::string path = current.path;
    path.pop_back();
    const FileHandle base = OpenBase(current.base);
    // The files go while the folder is held; the folder itself is opened
    // for deletion only then (see MakeAndOpenFolder), as a plain folder
    // lying in `base`.
    if (RemoveFiles(current.pin.Get(), path)) {
        current.pin.Reset();
        if (base)
            RemoveFolderIn(base.Get(), FinalPath(base.Get()), path, current.name, true);
    }
    current.pin.Reset();
    current.path.clear();
}

}  // namespace lumora
