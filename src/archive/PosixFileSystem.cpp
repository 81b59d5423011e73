// The file-system backend for POSIX systems (the native tools and tests).
//
// Path mapping: the component builds paths with "\" between folders, as on
// Windows; this backend treats "\" as a path separator and maps every one to
// "/" before it calls the system. A drive prefix such as "c:" has no meaning
// here and stays part of the name.
//
// Read-only files: a file without any write permission bit is treated like a
// file with the Windows read-only attribute and is never replaced or opened
// for writing, also when the process runs as root.
//
// Links: a target is written only when it is a regular file of one name;
// symbolic links, hard links, FIFOs and devices are refused, and so is a
// symbolic link among the folders below the one the caller gave (see
// WritePlace and OpenToWrite).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <functional>
#include <utility>

#include "archive/DosDateTime.h"
#include "archive/FileSystem.h"
#include "base/Error.h"

namespace lumora::archive {

namespace {

std::string NativePath(std::string path)
{
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

bool IsReadOnly(const struct stat& st)
{
    return S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// An open file descriptor; closed with its owner.
class PosixFileStream : public FileStream {
public:
    explicit PosixFileStream(int fd) : fd_(fd) {}
    ~PosixFileStream() override { ::close(fd_); }
    PosixFileStream(const PosixFileStream&) = delete;
    PosixFileStream& operator=(const PosixFileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override
    {
        return Transfer(static_cast<unsigned char*>(buffer), count, ::read);
    }

    std::size_t Write(const void* buffer, std::size_t count) override
    {
        return Transfer(static_cast<const unsigned char*>(buffer), count, ::write);
    }

    std::int64_t Seek(std::int64_t offset, Origin origin) override
    {
        const int whence = origin == Origin::Begin ? SEEK_SET : origin == Origin::Current ? SEEK_CUR : SEEK_END;
        const off_t result = ::lseek(fd_, static_cast<off_t>(offset), whence);
        return result < 0 ? -1 : static_cast<std::int64_t>(result);
    }

    bool SetStamp(std::uint32_t stamp) override
    {
        const DosDateTime t = UnpackDosDateTime(stamp);
        if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 ||
            t.second > 59)
            return false;
        std::tm local{};
        local.tm_year = t.year - 1900;
        local.tm_mon = t.month - 1;
        local.tm_mday = t.day;
        local.tm_hour = t.hour;
        local.tm_min = t.minute;
        local.tm_sec = t.second;
        local.tm_isdst = -1;
        const std::time_t when = std::mktime(&local);
        if (when == static_cast<std::time_t>(-1))
            return false;
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;  // last access stays
        times[1].tv_sec = when;
        times[1].tv_nsec = 0;
        return ::futimens(fd_, times) == 0;
    }

private:
    // Reads or writes until `count` bytes have passed, the end of the file is
    // reached or the system fails; a call interrupted by a signal is retried.
    template <class Byte, class Call>
    std::size_t Transfer(Byte* bytes, std::size_t count, Call call)
    {
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = call(fd_, bytes + done, count - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                lastFailure_ = std::strerror(errno);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

    std::string LastFailure() const override { return lastFailure_; }

    int fd_;
    std::string lastFailure_;
};

// What a file opened for writing must be: a regular file with no other name,
// writable by someone. A link (symbolic or hard) would carry the write to a
// file elsewhere, a FIFO or device would swallow or block it.
const char* Unwritable(const struct stat& st)
{
    if (!S_ISREG(st.st_mode))
        return "not a regular file";
    if (st.st_nlink > 1)
        return "a file with more than one name (a hard link)";
    if (IsReadOnly(st))
        return "the file is read-only";
    return nullptr;
}

int Retried(const std::function<int()>& call)
{
    int result;
    do
        result = call();
    while (result < 0 && errno == EINTR);
    return result;
}

// A descriptor, closed with its owner.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }

    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

#ifdef O_PATH
constexpr int kFolderOnly = O_PATH | O_DIRECTORY | O_CLOEXEC;  // no read permission needed
#else
constexpr int kFolderOnly = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// A path to be written, taken apart: the folder holding its last name,
// opened, and that name. The first `given` characters are opened as the
// system finds them; each folder name after them is opened from its parent
// without following a link, so that the chain of descriptors, not the
// names, leads to the last name.
struct WritePlace {
    Descriptor folder{-1};
    std::string name;
};

WritePlace OpenWritePlace(const std::string& path, std::size_t given, const char* failure)
{
    const std::string native = NativePath(path);
    const std::size_t slash = native.find_last_of('/');
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t start = std::min(given, nameAt);
    const std::string top = native.substr(0, start);
    WritePlace place;
    place.name = native.substr(nameAt);
    place.folder = Descriptor(Retried([&] { return ::open(top.empty() ? "." : top.c_str(), kFolderOnly); }));
    if (place.folder.Get() < 0)
        throw Error(std::string(failure) + path + ": " + std::strerror(errno));
    for (std::size_t at = start; at < nameAt;) {
        const std::size_t end = native.find('/', at);
        const std::string name = native.substr(at, end - at);
        at = end + 1;
        if (name.empty())
            continue;
        Descriptor next(Retried([&] { return ::openat(place.folder.Get(), name.c_str(), kFolderOnly | O_NOFOLLOW); }));
        if (next.Get() < 0) {
            const int error = errno;
            throw Error(std::string(failure) + path + ": " +
                        (error == ELOOP || error == ENOTDIR ? name + " is a symbolic link or no folder"
                                                            : std::strerror(error)));
        }
        place.folder = std::move(next);
    }
    return place;
}

// Opens an archive file for reading, following links as the system does.
std::unique_ptr<FileStream> OpenToRead(const std::string& path, const char* failure)
{
    const int fd = Retried([&] { return ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC); });
    if (fd < 0)
        throw Error(std::string(failure) + path + ": " + std::strerror(errno));
    return std::make_unique<PosixFileStream>(fd);
}

// Opens `path` for writing (see WritePlace). The last name is never followed
// as a symbolic link, and what was opened is checked on the descriptor
// itself before anything is written, so that nothing can be swapped in
// between.
// The process's file mode creation mask, which can only be read by setting
// it (back at once).
mode_t CurrentUmask()
{
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

std::unique_ptr<FileStream> OpenToWrite(const std::string& path, std::size_t given, int flags, const char* failure)
{
    const WritePlace place = OpenWritePlace(path, given, failure);
    const bool truncate = (flags & O_TRUNC) != 0;
    flags = (flags & ~O_TRUNC) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    Descriptor fd(Retried([&] { return ::openat(place.folder.Get(), place.name.c_str(), flags, 0666); }));
    if (fd.Get() < 0) {
        const int error = errno;
        if (error == ELOOP)
            throw Error(std::string(failure) + path + ": a symbolic link");
        throw Error(std::string(failure) + path + ": " + std::strerror(error));
    }
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0)
        throw Error(std::string(failure) + path + ": " + std::strerror(errno));
    if (const char* why = Unwritable(st))
        throw Error(std::string(failure) + path + ": " + why);
    // Blocking again for the writes; a regular file never blocks anyway.
    ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    if (truncate && ::ftruncate(fd.Get(), 0) != 0)
        throw Error(std::string(failure) + path + ": " + std::strerror(errno));
    // A replaced file gets the permissions of a new one, as on Windows it
    // gets a new file's attributes.
    if (truncate && ::fchmod(fd.Get(), 0666 & ~CurrentUmask()) != 0)
        throw Error(std::string(failure) + path + ": " + std::strerror(errno));
    return std::make_unique<PosixFileStream>(fd.Release());
}

class PosixFileSystem : public FileSystem {
public:
    bool FileExists(const std::string& path) override
    {
        struct stat st;
        return ::stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
    }

    bool FolderExists(const std::string& path) override
    {
        struct stat st;
        return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    bool MakeFolder(const std::string& path, std::size_t given) override
    {
        try {
            const WritePlace place = OpenWritePlace(path, given, "");
            return ::mkdirat(place.folder.Get(), place.name.c_str(), 0777) == 0;
        } catch (const Error&) {
            return false;
        }
    }

    std::int32_t FileAge(const std::string& path) override
    {
        struct stat st;
        if (::stat(NativePath(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
            return -1;
        return static_cast<std::int32_t>(DosStampFromTime(st.st_mtime));
    }

    std::unique_ptr<FileStream> OpenArchive(const std::string& path) override
    {
        return OpenToRead(path, "Cannot open ");
    }

    std::unique_ptr<FileStream> CreateTarget(const std::string& path, std::size_t given) override
    {
        return OpenToWrite(path, given, O_RDWR | O_CREAT | O_TRUNC, "Cannot create ");
    }

    std::unique_ptr<FileStream> OpenForAppend(const std::string& path, std::size_t given) override
    {
        auto file = OpenToWrite(path, given, O_WRONLY, "Cannot open ");
        if (file->Seek(0, Stream::Origin::End) < 0)
            throw Error("Cannot seek to the end of " + path);
        return file;
    }
};

}  // namespace

FileSystem& PlatformFileSystem()
{
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace lumora::archive
