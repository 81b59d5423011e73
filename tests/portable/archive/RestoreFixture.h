#pragma once
// Helpers of the restore suite: archives built byte by byte or by the
// writer, a scratch folder per test, a scripted user interface and a
// recorder of the component's events.
#include <cstdint>
#include <string>
#include <memory>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "archive/backup.h"

namespace lumora::archive::test {

using Bytes = std::vector<unsigned char>;

// 2003-01-31 06:47:28, the stamp of the first file of the shipped payload.
constexpr std::uint32_t kStamp = 0x2E3F35EE;
// The same day one hour earlier and one hour later.
constexpr std::uint32_t kOlder = kStamp - (1u << 11);
constexpr std::uint32_t kNewer = kStamp + (1u << 11);

// Bytes that differ from block to block and compress well.
Bytes Pattern(std::size_t size, unsigned seed = 1);
// A zlib stream of `data`, deflated at level 9.
Bytes Deflate(const Bytes& data);

// An archive written field by field, for layouts the writer never produces.
class RawArchive {
public:
    RawArchive& Int32(std::int32_t value);
    RawArchive& Data(const Bytes& data);
    RawArchive& Text(std::string_view text);  // length, then the characters
    RawArchive& Header(std::int32_t totalSize, std::int32_t fileCount = 1);
    RawArchive& Magic();
    // Name, stamp and block magic.
    RawArchive& Entry(std::string_view storedName, std::uint32_t stamp = kStamp);
    RawArchive& RawBlock(const Bytes& data);
    RawArchive& ZlibBlock(const Bytes& stream);
    RawArchive& End();  // an end-of-blocks or end-of-archive marker

    Bytes bytes;
};

struct StoredFile {
    std::string name;
    std::uint32_t stamp;
    Bytes data;
};
// An archive of `files` made by the archive writer.
Bytes WriterArchive(const std::vector<StoredFile>& files, bool deflate = true);

// A fresh folder in the system's temporary folder, removed with its content.
class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    // The folder in the component's notation, without a trailing "\".
    const std::string& Folder() const { return folder_; }
    // Folder + "\" + name.
    std::string operator/(std::string_view name) const;

private:
    std::string folder_;
};

// Files named in the component's notation ("\" between folders).
bool FileThere(const std::string& path);
Bytes ReadAll(const std::string& path);
void WriteAll(const std::string& path, const Bytes& data);
void WriteWithStamp(const std::string& path, const Bytes& data, std::uint32_t stamp);
std::int32_t Age(const std::string& path);
// Names in a folder, sorted.
std::vector<std::string> Listing(const std::string& folder);
void MakeReadOnly(const std::string& path, bool readOnly);

class ScriptedUi : public RestoreUi {
public:
    void ProcessMessages() override { ++messages; }
    void ShowError(const std::string& text) override { errorBoxes.push_back(text); }
    bool AskForDisk(const std::string& text) override
    {
        diskRequests.push_back(text);
        return okAnswers-- > 0;
    }

    int messages = 0;
    int okAnswers = 0;  // OK this many times, then Cancel
    std::vector<std::string> errorBoxes;
    std::vector<std::string> diskRequests;
};

// The platform's file system, recording the folders it creates; created
// files may be limited to a number of bytes, like a disk that fills up.
class RecordingFileSystem : public FileSystem {
public:
    bool FileExists(const std::string& path) override { return real_.FileExists(path); }
    bool FolderExists(const std::string& path) override { return real_.FolderExists(path); }
    bool MakeFolder(const std::string& path, std::size_t given) override
    {
        madeFolders.push_back(path);
        return real_.MakeFolder(path, given);
    }
    std::int32_t FileAge(const std::string& path) override { return real_.FileAge(path); }
    std::unique_ptr<FileStream> OpenArchive(const std::string& path) override { return real_.OpenArchive(path); }
    std::unique_ptr<FileStream> CreateTarget(const std::string& path, std::size_t given) override;
    std::unique_ptr<FileStream> OpenForAppend(const std::string& path, std::size_t given) override
    {
        return real_.OpenForAppend(path, given);
    }

    std::vector<std::string> madeFolders;
    std::int64_t diskSpace = -1;  // bytes a created file takes; -1: no limit

private:
    FileSystem& real_ = PlatformFileSystem();
};

// Hooks every event of a component and keeps what they carried.
struct Recorder {
    explicit Recorder(TBackupFile& component);
    Recorder(const Recorder&) = delete;  // the handlers point at this one
    Recorder& operator=(const Recorder&) = delete;
    void Clear();

    struct Progress {
        std::string file;
        TPercentage percent;
        bool going;  // the Continue value received
    };
    std::vector<Progress> progress;
    std::vector<std::string> offered;   // OnRestoreFile
    std::vector<std::int32_t> stamps;   // FA of OnRestoreFile
    std::vector<std::string> restored;  // OnFileRestored
    std::vector<std::pair<std::int32_t, std::string>> errors;
    std::vector<std::uint16_t> disks;
    // Steering: the progress event number (from 0) that cancels, and the
    // number of disk requests answered with OK.
    int cancelAtProgress = -1;
    int disksToAccept = 0;
};

// Restores `archive` from a memory stream.
bool RestoreBytes(TBackupFile& component, const Bytes& archive, const std::string& folder);

// A component with a scripted user interface, its recorder and a scratch
// folder.
class RestoreFixture : public testing::Test {
protected:
    RestoreFixture() { backup.SetUserInterface(&ui); }

    TBackupFile backup;
    ScriptedUi ui;
    Recorder events{backup};
    Scratch scratch;
};

}  // namespace lumora::archive::test
