#pragma once
// The file operations the restore component needs, behind an interface so
// that the component stays portable. Backends: Win32 (the W functions) for
// the installer, POSIX for the native tools and tests.
//
// Paths are text (base/PathEncoding.h) in the component's convention: "\"
// separates folders and a drive prefix such as "C:" may lead. A backend maps
// them onto its platform.
#include <cstdint>
#include <memory>
#include <string>

#include "base/Stream.h"

namespace lumora::archive {

// An open file: a stream that can also carry its last-write time.
class FileStream : public Stream {
public:
    // Sets the last-write time from a date-time stamp (MS-DOS packed, read as
    // local time); the creation and last-access times are left alone.
    // Returns false when the stamp is not a valid time or the system refuses.
    virtual bool SetStamp(std::uint32_t stamp) = 0;
    // The system's reason for the last read or write that came up short
    // ("No space left on device"); empty when there is none.
    virtual std::string LastFailure() const { return {}; }
};

// The calls that write take, besides the path, `given`: how many of its
// leading characters the caller chose (the folder it restores into, with
// its "\"). Links among those are followed as the system follows them; the
// names after them come from an archive, and none of them is ever followed as
// a symbolic link or junction: a link there fails the call. The last name is
// never followed in any case. Each backend checks this on the handles it
// opens on the way, not on the names beforehand, so that nothing can be
// swapped in between.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // A file (not a folder) of that name exists.
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // Creates one folder whose parent exists; false when that fails.
    virtual bool MakeFolder(const std::string& path, std::size_t given) = 0;
    // The last-write time of a file (not a folder), converted to local time
    // and packed like a stamp; -1 when there is no such file.
    virtual std::int32_t FileAge(const std::string& path) = 0;

    // Opens an archive file read-only; other processes may read and write it.
    // Throws Error when it cannot be opened.
    virtual std::unique_ptr<FileStream> OpenArchive(const std::string& path) = 0;
    // Creates a target file with normal attributes, replacing an existing
    // file of that name; opened for reading and writing, not shared, at its
    // start. Throws Error when the file cannot be created or replaced.
    virtual std::unique_ptr<FileStream> CreateTarget(const std::string& path, std::size_t given) = 0;
    // Opens an existing file for writing, positioned at its end. Throws Error.
    virtual std::unique_ptr<FileStream> OpenForAppend(const std::string& path, std::size_t given) = 0;
};

// The backend of the platform this program was built for. It lives for the
// whole process.
FileSystem& PlatformFileSystem();

}  // namespace lumora::archive
