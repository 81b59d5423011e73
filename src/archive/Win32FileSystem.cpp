// The file-system backend of the installer, on the wide Win32 functions:
// paths are path text (base/PathEncoding.h), converted at each call.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "archive/DosDateTime.h"
#include "archive/FileSystem.h"
#include "base/Error.h"
#include "base/PathEncoding.h"

namespace lumora::archive {

namespace {

// FindFirstFileW takes wildcards; a name containing one is no file name.
bool HasWildcard(const std::string& path)
{
    return path.find_first_of("*?") != std::string::npos;
}

std::string Failure(const char* what, const std::string& path)
{
    return std::string(what) + path + " (error " + std::to_string(GetLastError()) + ")";
}

// One search result for `path`, or false when nothing of that name exists.
bool FindOne(const std::string& path, WIN32_FIND_DATAW& found)
{
    if (path.empty() || HasWildcard(path))
        return false;
    const HANDLE search = FindFirstFileW(WidePath(path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

class Win32FileStream : public FileStream {
public:
    explicit Win32FileStream(HANDLE handle) : handle_(handle) {}
    ~Win32FileStream() override { CloseHandle(handle_); }
    Win32FileStream(const Win32FileStream&) = delete;
    Win32FileStream& operator=(const Win32FileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override
    {
        auto* p = static_cast<unsigned char*>(buffer);
        std::size_t done = 0;
        while (done < count) {
            DWORD got = 0;
            const DWORD want = static_cast<DWORD>(count - done);
            if (!ReadFile(handle_, p + done, want, &got, nullptr)) {
                lastFailure_ = "error " + std::to_string(GetLastError());
                break;
            }
            if (got == 0)
                break;
            done += got;
        }
        return done;
    }

    std::size_t Write(const void* buffer, std::size_t count) override
    {
        const auto* p = static_cast<const unsigned char*>(buffer);
        std::size_t done = 0;
        while (done < count) {
            DWORD put = 0;
            const DWORD want = static_cast<DWORD>(count - done);
            if (!WriteFile(handle_, p + done, want, &put, nullptr)) {
                // A full temporary folder is what usually stops a restore.
                const DWORD code = GetLastError();
                const bool full = code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL;
                lastFailure_ = (full ? "the disk is full, error " : "error ") + std::to_string(code);
                break;
            }
            if (put == 0)
                break;
            done += put;
        }
        return done;
    }

    std::int64_t Seek(std::int64_t offset, Origin origin) override
    {
        const DWORD method = origin == Origin::Begin ? FILE_BEGIN : origin == Origin::Current ? FILE_CURRENT : FILE_END;
        LONG high = static_cast<LONG>(offset >> 32);
        SetLastError(NO_ERROR);
        const DWORD low = SetFilePointer(handle_, static_cast<LONG>(offset & 0xFFFFFFFF), &high, method);
        if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
            return -1;
        return static_cast<std::int64_t>(static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32 | low);
    }

    bool SetStamp(std::uint32_t stamp) override
    {
        FILETIME local, utc;
        if (!DosDateTimeToFileTime(static_cast<WORD>(stamp >> 16), static_cast<WORD>(stamp & 0xFFFF), &local) ||
            !LocalFileTimeToFileTime(&local, &utc))
            return false;
        return SetFileTime(handle_, nullptr, nullptr, &utc) != FALSE;
    }

    std::string LastFailure() const override { return lastFailure_; }

private:
    HANDLE handle_;
    std::string lastFailure_;
};

// Why a file opened for writing must not be written: it is a reparse point
// (a symbolic link or junction, opened itself rather than followed), it has
// another name (a hard link), it is a device or pipe, or it is read-only,
// hidden or a system file (which Windows refuses to replace). Checked on the
// handle, so that nothing can be swapped in between; nullptr when it may be
// written.
const char* Unwritable(HANDLE handle)
{
    if (GetFileType(handle) != FILE_TYPE_DISK)
        return "not a file on a disk (a device or a pipe)";
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info))
        return "its kind cannot be told";
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return "a link (reparse point)";
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return "a folder";
    if (info.nNumberOfLinks > 1)
        return "a file with more than one name (a hard link)";
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        return "read-only, hidden or a system file";
    return nullptr;
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

// The folders of `path` below its first `given` characters, each opened and
// checked on its handle to be a folder and no reparse point (a symbolic link
// or junction), and held open without sharing delete access, so that none can
// be renamed or replaced by a link until they are let go. Throws Error.
std::vector<OwnedHandle> PinFolders(const std::string& path, std::size_t given, const char* failure)
{
    std::vector<OwnedHandle> pinned;
    const std::size_t separator = path.find_last_of("\\/");
    const std::size_t nameAt = separator == std::string::npos ? 0 : separator + 1;
    for (std::size_t at = std::min(given, nameAt); at < nameAt;) {
        const std::size_t end = path.find_first_of("\\/", at);
        const bool empty = end == at;
        at = end + 1;
        if (empty)
            continue;
        const std::string folder = path.substr(0, end);
        const HANDLE handle = CreateFileW(WidePath(folder).c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            throw Error(Failure(failure, path));
        pinned.emplace_back(handle);
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(handle, &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            throw Error(std::string(failure) + path + ": the folder " + folder + " is a link (reparse point)");
    }
    return pinned;
}

std::unique_ptr<FileStream> OpenToRead(const std::string& path, const char* failure)
{
    const HANDLE handle = CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw Error(Failure(failure, path));
    return std::make_unique<Win32FileStream>(handle);
}

// Opens `path` for writing, not shared, its folders below the first `given`
// characters pinned meanwhile (see PinFolders). The last name is opened
// itself, not followed, and checked on the handle (see Unwritable).
std::unique_ptr<FileStream> OpenToWrite(const std::string& path, std::size_t given, DWORD access,
                                        DWORD disposition, const char* failure)
{
    const std::vector<OwnedHandle> pinned = PinFolders(path, given, failure);
    // A target is opened without replacing it and only emptied once the
    // handle shows a plain file.
    const bool replace = disposition == CREATE_ALWAYS;
    const HANDLE handle = CreateFileW(WidePath(path).c_str(), access, 0, nullptr, replace ? OPEN_ALWAYS : disposition,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw Error(Failure(failure, path));
    auto file = std::make_unique<Win32FileStream>(handle);
    if (const char* why = Unwritable(handle))
        throw Error(std::string(failure) + path + ": " + why);
    if (!replace)
        return file;
    // Emptied and given the attributes of a new file, as a file created
    // anew would be: none of the old file's (hidden, system, ...) stay.
    FILE_BASIC_INFO basic{};  // times of 0 are left as they are
    basic.FileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    if (SetFilePointer(handle, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !SetEndOfFile(handle) ||
        !SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic))
        throw Error(Failure(failure, path));
    return file;
}

class Win32FileSystem : public FileSystem {
public:
    bool FileExists(const std::string& path) override
    {
        WIN32_FIND_DATAW found;
        return FindOne(path, found) && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool FolderExists(const std::string& path) override
    {
        // GetFileAttributesA also answers for drive roots, which a search
        // does not find.
        const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool MakeFolder(const std::string& path, std::size_t given) override
    {
        try {
            const std::vector<OwnedHandle> pinned = PinFolders(path, given, "");
            return CreateDirectoryW(WidePath(path).c_str(), nullptr) != FALSE;
        } catch (const Error&) {
            return false;
        }
    }

    std::int32_t FileAge(const std::string& path) override
    {
        WIN32_FIND_DATAW found;
        if (!FindOne(path, found) || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return -1;
        // Packed like the POSIX side: a time outside the stamps' years
        // becomes the first or last stamp, never "no such file".
        FILETIME local;
        SYSTEMTIME t;
        if (!FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &t))
            return static_cast<std::int32_t>(PackDosDateTime(DosDateTime{}));
        return static_cast<std::int32_t>(
            PackDosDateTime({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}));
    }

    std::unique_ptr<FileStream> OpenArchive(const std::string& path) override
    {
        return OpenToRead(path, "Cannot open ");
    }

    std::unique_ptr<FileStream> CreateTarget(const std::string& path, std::size_t given) override
    {
        return OpenToWrite(path, given, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS, "Cannot create ");
    }

    std::unique_ptr<FileStream> OpenForAppend(const std::string& path, std::size_t given) override
    {
        auto file = OpenToWrite(path, given, GENERIC_WRITE, OPEN_EXISTING, "Cannot open ");
        if (file->Seek(0, Stream::Origin::End) < 0)
            throw Error(Failure("Cannot seek to the end of ", path));
        return file;
    }
};

}  // namespace

FileSystem& PlatformFileSystem()
{
    static Win32FileSystem fileSystem;
    return fileSystem;
}

}  // namespace lumora::archive
