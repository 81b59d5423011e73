#include "framework/FileObject.h"

#include <winternl.h>

#include <cstddef>
#include <cwchar>

namespace lumora {

bool SamePath(std::wstring_view a, std::wstring_view b)
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

namespace {

// The name of the object `object` holds, as the object manager knows it;
// empty when it has none. Wine gives a file's name as "\??\C:\...", Windows
// as "\Device\...\..." (no path that compares equal to one of a drive's).
// Wine's GetFinalPathNameByHandleW takes no path longer than MAX_PATH; this
// takes any.
std::wstring ObjectName(HANDLE object)
{
    // Room for the longest name there is, after the name's header.
    std::wstring buffer(sizeof(OBJECT_NAME_INFORMATION) / sizeof(wchar_t) + 32768, L'\0');
    auto* const name = reinterpret_cast<OBJECT_NAME_INFORMATION*>(buffer.data());
    ULONG size = 0;
    if (NtQueryObject(object, ObjectNameInformation, name, static_cast<ULONG>(buffer.size() * sizeof(wchar_t)),
                      &size) < 0)
        return {};
    return std::wstring(name->Name.Buffer, name->Name.Length / sizeof(wchar_t));
}

// What `object` is when it lies where it was opened (`there`).
ObjectKind KindWhere(HANDLE object, bool there)
{
    BY_HANDLE_FILE_INFORMATION facts;
    if (!there || !GetFileInformationByHandle(object, &facts) ||
        (facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return ObjectKind::Link;
    return facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? ObjectKind::Folder : ObjectKind::File;
}

}  // namespace

FileHandle OpenItself(const std::wstring& path, DWORD access, DWORD share)
{
    return FileHandle(CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

namespace {

// NtCreateFile of `name` relative to `folder`, never through a link at it.
FileHandle CreateItselfIn(HANDLE folder, std::wstring_view name, DWORD access, DWORD share, ULONG disposition)
{
    const USHORT bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    if (name.empty() || name.size() > 255 || name.find(L'\\') != std::wstring_view::npos) {
        SetLastError(ERROR_INVALID_NAME);
        return {};
    }
    UNICODE_STRING objectName{bytes, bytes, const_cast<wchar_t*>(name.data())};
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK status;
    HANDLE object = nullptr;
    const NTSTATUS result =
        NtCreateFile(&object, access | SYNCHRONIZE, &attributes, &status, nullptr, FILE_ATTRIBUTE_NORMAL, share,
                     disposition, FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (result < 0) {
        SetLastError(RtlNtStatusToDosError(result));
        return {};
    }
    return FileHandle(object);
}

}  // namespace

FileHandle OpenItselfIn(HANDLE folder, std::wstring_view name, DWORD access, DWORD share)
{
    return CreateItselfIn(folder, name, access, share, FILE_OPEN);
}

FileHandle CreateNewIn(HANDLE folder, std::wstring_view name, DWORD access, DWORD share)
{
    return CreateItselfIn(folder, name, access, share, FILE_CREATE);
}

std::wstring FinalPath(HANDLE object)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = GetFinalPathNameByHandleW(object, path.data(), static_cast<DWORD>(path.size()),
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (size == 0) {
            path = ObjectName(object);
            break;
        }
        if (size < path.size()) {
            path.resize(size);
            break;
        }
        path.resize(size);
    }
    // "\\?\C:\..." (or "\??\C:\...") and "\\?\UNC\server\share\...", as
    // ordinary paths.
    std::size_t prefix = 0;
    if (path.size() >= 4 && path[0] == L'\\' && (path[1] == L'\\' || path[1] == L'?') && path[2] == L'?' &&
        path[3] == L'\\') {
        prefix = 4;
        if (path.size() >= 8 && std::wmemcmp(path.c_str() + 4, L"UNC\\", 4) == 0) {
            prefix = 6;  // "\\?\UN" goes; the "C" becomes the second "\" of "\\server"
            path[prefix] = L'\\';
        }
    }
    return std::wstring(path.c_str() + prefix, path.size() - prefix);
}

ObjectKind KindOf(HANDLE object, std::wstring_view path)
{
    return KindWhere(object, SamePath(FinalPath(object), path));
}

ObjectKind KindOf(HANDLE object, std::wstring_view folder, std::wstring_view name)
{
    // The final path is `folder`, "\" and `name`, compared without joining them.
    const std::wstring path = FinalPath(object);
    const std::size_t cut = folder.size();
    return KindWhere(object, path.size() == cut + 1 + name.size() && path[cut] == L'\\' &&
                                 SamePath({path.data(), cut}, folder) &&
                                 SamePath({path.data() + cut + 1, name.size()}, name));
}

std::vector<std::wstring> NamesIn(HANDLE folder)
{
    std::vector<std::wstring> names;
    // Entries of at most 255 characters each; a read returns as many as fit.
    alignas(8) unsigned char buffer[16384];
    FILE_INFO_BY_HANDLE_CLASS read = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(folder, read, buffer, sizeof buffer)) {
        read = FileIdBothDirectoryInfo;
        for (std::size_t at = 0;;) {
            const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + at);
            if (at + offsetof(FILE_ID_BOTH_DIR_INFO, FileName) + entry->FileNameLength > sizeof buffer)
                break;
            const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            // ".", "..", and no name at all.
            const bool dots = name.size() <= 2 && std::wmemcmp(name.data(), L"..", name.size()) == 0;
            if (!dots)
                names.emplace_back(name);
            if (entry->NextEntryOffset == 0 || at + entry->NextEntryOffset >= sizeof buffer)
                break;
            at += entry->NextEntryOffset;
        }
    }
    return names;
}

bool DeleteByHandle(HANDLE object)
{
    FILE_DISPOSITION_INFO gone{TRUE};
    return SetFileInformationByHandle(object, FileDispositionInfo, &gone, sizeof gone);
}

bool RenameByHandle(HANDLE object, HANDLE folder, std::wstring_view name, bool replace)
{
    if (name.empty() || name.size() > 255 || name.find(L'\\') != std::wstring_view::npos) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    // FILE_RENAME_INFORMATION: the name is taken relative to `folder`, which
    // the system's rename takes only through this call.
    struct {
        BOOLEAN replaceIfExists;
        HANDLE rootDirectory;
        ULONG nameLength;
        wchar_t name[256];
    } rename{static_cast<BOOLEAN>(replace), folder, static_cast<ULONG>(name.size() * sizeof(wchar_t)), {}};
    std::wmemcpy(rename.name, name.data(), name.size());
    IO_STATUS_BLOCK status;
    constexpr auto kFileRenameInformation = static_cast<FILE_INFORMATION_CLASS>(10);
    const NTSTATUS result = NtSetInformationFile(object, &status, &rename, sizeof rename, kFileRenameInformation);
    if (result < 0)
        SetLastError(RtlNtStatusToDosError(result));
    return result >= 0;
}

}  // namespace lumora
