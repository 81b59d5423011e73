#pragma once
// A file system held in memory, behind the restore component's FileSystem
// seam, for the fuzz targets: no disk, so a run costs microseconds and leaves
// nothing behind.
//
// It models what the POSIX backend meets on a disk: folders, regular files
// (one file may have several names: hard links), symbolic links and FIFOs. A
// symbolic link is followed in every folder of a path, and as the last name
// only where the backend follows it (testing, ageing, opening an archive);
// a write never follows one below the part of the path the caller gave (see
// archive/FileSystem.h). A write is refused where both backends refuse it:
// through a symbolic link as the last name or below the given part, into
// anything but a regular file, into a file with more than one name, into a
// read-only file.
//
// Paths take "\" and "/" alike and start with a drive ("c:"); a path without
// one lies in "c:\cwd". Every folder made and every file opened for writing
// is shown to OnWrite with where it really lies and whether a link led there,
// so that a fuzz target can check both.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/FileSystem.h"

namespace lumora::fuzz {

using Bytes = std::vector<unsigned char>;

class MemoryFileSystem : public archive::FileSystem {
public:
    // Bytes all files may take together, and one file alone: a disk that
    // fills up, and a bound on the memory a run takes.
    static constexpr std::size_t kDiskSpace = 8 << 20;
    static constexpr std::size_t kMaxFileSize = 2 << 20;

    MemoryFileSystem();

    // Setting up, by the fuzz target. Missing folders on the way are made.
    void AddFolder(const std::string& path);
    void AddFile(const std::string& path, Bytes bytes, std::uint32_t stamp = 0, bool readOnly = false);
    void AddLink(const std::string& path, const std::string& target);
    // A second name of the file at `existing`.
    void AddHardLink(const std::string& path, const std::string& existing);
    void AddFifo(const std::string& path);
    void Remove(const std::string& path);

    // The file at `path` (not following a link), or nullptr.
    struct File {
        Bytes bytes;
        std::uint32_t stamp = 0;
        bool readOnly = false;
        int names = 1;
    };
    const File* FileAt(const std::string& path) const;
    // The file an open stream of this file system reads or writes.
    static const File* FileOf(const archive::FileStream& stream);

    // Where a folder was made or a file opened for writing: the path asked
    // for, the path it reached (links followed, "/" between names) and
    // whether a symbolic link was followed on the way.
    std::function<void(const std::string& path, const std::string& reached, bool throughLink)> OnWrite;
    // Streams open now, of any kind.
    int openStreams = 0;

    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool MakeFolder(const std::string& path, std::size_t given) override;
    std::int32_t FileAge(const std::string& path) override;
    std::unique_ptr<archive::FileStream> OpenArchive(const std::string& path) override;
    std::unique_ptr<archive::FileStream> CreateTarget(const std::string& path, std::size_t given) override;
    std::unique_ptr<archive::FileStream> OpenForAppend(const std::string& path, std::size_t given) override;

private:
    struct Node {
        enum class Kind { Folder, File, Link, Fifo } kind = Kind::Folder;
        std::shared_ptr<File> file;  // Kind::File, shared by its names
        std::string target;          // Kind::Link
    };
    struct Place {
        std::string key;           // the names reached, joined by "/"
        bool linked = false;       // a symbolic link was followed
        const char* error = nullptr;  // why the path leads nowhere
    };
    class Stream;

    Place Resolve(const std::string& path, bool followLast, std::size_t given) const;
    Node* Find(const std::string& key);
    Node* Existing(const Place& place);
    void Put(const std::string& path, Node node);
    std::unique_ptr<archive::FileStream> OpenForWriting(const std::string& path, std::size_t given, bool create,
                                                        const char* failure);

    std::map<std::string, Node> nodes_;
    std::size_t space_ = kDiskSpace;
};

}  // namespace lumora::fuzz
