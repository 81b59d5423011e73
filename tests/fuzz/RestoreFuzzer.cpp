// Restores the input's archive into a file system held in memory (no disk)
// and holds the outcome against what the archive walker reads from the same
// bytes on its own.
//
// Input: see FuzzInput.h. The control bytes:
//   0      bit 0: RestoreFullPath; bits 1-3: RestoreMode (modulo 5);
//          bit 4: restore the file c:\src\setup.arc by name, with its
//          further volumes beside it (else from a stream of its bytes);
//          bit 5: a further volume is there only once OnNeedDisk asks for it;
//          bit 6: a volume put there so takes the place of all others
//   1      the OnProgress call (counted from 1) that cancels; 0: none
//   2      low nibble: how often OnNeedDisk answers OK before it cancels;
//          high nibble: what stands at c:\out\redirected.bin (see Place)
//   3-10   one byte for each of the first eight entries: low nibble, what
//          stands at its target in c:\out before the run (see Place);
//          bit 4: OnRestoreFile turns its decision round; bit 5:
//          OnRestoreFile sends it to c:\out\redirected.bin
//
// Aborts when
//  - a folder is made or a file opened for writing outside c:\out, or by way
//    of a symbolic link;
//  - a file shown to OnFileRestored holds other bytes than the walker reads
//    for its entry (while the entry is being written, a beginning of them);
//  - the component went on past an entry it was to write, or returned true,
//    and that entry was not written whole, or the walker finds it damaged or
//    cut; a run returned true that the walker does not see end;
//  - a restored file changes after OnFileRestored has seen it, or does not
//    carry its entry's stamp;
//  - the events come out of step with the walker's entries, or anything but
//    lumora::Error leaves the component.
// Memory and time are bounded by libFuzzer's -rss_limit_mb, -malloc_limit_mb
// and -timeout (the file system holds at most 8 MiB).
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "ExpectedEntries.h"
#include "FuzzInput.h"
#include "MemoryFileSystem.h"
#include "archive/RestorePaths.h"
#include "archive/backup.h"
#include "base/MemoryStream.h"

using namespace lumora;
using namespace lumora::archive;
using namespace lumora::fuzz;

namespace {

constexpr std::size_t kControlBytes = 11;
constexpr std::size_t kSteeredEntries = 8;
const std::string kSource = "c:\\src\\setup.arc";
const std::string kFolder = "c:\\out";
const std::string kRedirected = "c:\\out\\redirected.bin";
const std::string kInside = "c:/out/";  // as MemoryFileSystem reports places
const std::string kVictim = "c:\\elsewhere\\victim";
const std::string kElsewhere = "c:\\elsewhere";
const std::string kInner = "c:\\out\\inner";
constexpr std::uint32_t kHour = 1u << 11;  // in a packed stamp

[[noreturn]] void Fault(const std::string& what)
{
    std::fprintf(stderr, "restore_fuzz: %s\n", what.c_str());
    std::abort();
}

std::uint64_t Hash(const Bytes& bytes)
{
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const unsigned char b : bytes)
        hash = (hash ^ b) * 1099511628211ull;
    return hash;
}

bool IsPrefix(const Bytes& part, const Bytes& whole)
{
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

// Puts at `path` what a control nibble names; `stamp` is the entry's.
void Place(MemoryFileSystem& files, const std::string& path, unsigned kind, std::uint32_t stamp)
{
    switch (kind) {
    case 1: files.AddFile(path, {'o', 'l', 'd'}, stamp - kHour); break;
    case 2: files.AddFile(path, {'n', 'e', 'w'}, stamp + kHour); break;
    case 3: files.AddFile(path, {'r', 'o'}, stamp - kHour, true); break;
    case 4: files.AddLink(path, kVictim); break;
    case 5: files.AddLink(path, kElsewhere + "\\missing"); break;
    case 6: files.AddHardLink(path, kVictim); break;
    case 7: files.AddFifo(path); break;
    case 8: files.AddFolder(path); break;
    case 9: files.AddLink(path, kElsewhere); break;
    case 10: {
        // A link in place of the first folder below c:\out on the way.
        const std::string below = path.substr(std::min(path.size(), kFolder.size() + 1));
        const std::size_t end = below.find_first_of("\\/");
        if (end != std::string::npos && end > 0)
            files.AddLink(kFolder + "\\" + below.substr(0, end), kElsewhere);
        break;
    }
    case 11: files.AddLink(path, kInner); break;
    case 12: files.AddLink(path, path); break;
    default: break;
    }
}

class NoUserInterface : public RestoreUi {
public:
    void ShowError(const std::string&) override { Fault("an error box although OnError is set"); }
    bool AskForDisk(const std::string&) override { Fault("a disk request box although OnNeedDisk is set"); }
};

class RestoreCheck {
public:
    explicit RestoreCheck(const FuzzInput& input) : input_(input), options_(input.control[0])
    {
        std::map<std::string, Bytes> volumes;
        for (std::size_t i = 0; i < input.volumes.size(); ++i)
            volumes.emplace(VolumeFile(kSource, i), input.volumes[i]);
        expected_ = ReadExpected(volumes, kSource, 0, std::numeric_limits<std::int64_t>::max(), ByName());
        entries_ = expected_.Files();
        approved_.reserve(entries_.size());
        whole_.assign(entries_.size(), false);
        answers_ = input.control[2] & 15;
    }

    void Run()
    {
        SetUpFiles();
        TBackupFile backup;
        backup.SetFileSystem(&files_);
        backup.SetUserInterface(&ui_);
        backup.SetRestoreFullPath(options_ & 1);
        backup.SetRestoreMode(static_cast<TRestoreMode>((options_ >> 1 & 7) % 5));
        SetEvents(backup);
        bool result = false;
        if (ByName()) {
            try {
                result = backup.Restore(kSource, kFolder);
            } catch (const Error&) {
                // A failure outside an entry, such as a broken volume set.
            }
        } else {
            MemoryStream stream(input_.volumes[0]);
            result = backup.RestoreFromStream(&stream, kFolder);
        }
        Verify(result);
    }

private:
    bool ByName() const { return options_ & 0x10; }

    void SetUpFiles()
    {
        files_.AddFolder(kFolder);
        files_.AddFile(kVictim, {'v'});
        files_.AddFile(kInner, {'i'});
        for (std::size_t i = 0; i < input_.volumes.size(); ++i)
            if (i == 0 || !(options_ & 0x20))
                files_.AddFile(VolumeFile(kSource, i), input_.volumes[i]);
        for (std::size_t k = 0; k < entries_.size() && k < kSteeredEntries; ++k) {
            // A name that is refused is written nowhere; placing something
            // there could replace the target folder itself.
            const TargetPath target = FormTargetPath(kFolder + "\\", entries_[k]->name, options_ & 1);
            if (const auto written = WritablePath(target.path, target.judged, target.given))
                Place(files_, written->path, input_.control[3 + k] & 15, entries_[k]->stamp);
        }
        Place(files_, kRedirected, input_.control[2] >> 4, 0);
        files_.OnWrite = [](const std::string& path, const std::string& reached, bool throughLink) {
            if (reached.compare(0, kInside.size(), kInside) != 0)
                Fault("wrote " + path + " outside the target folder, at " + reached);
            if (throughLink)
                Fault("wrote " + path + " through a symbolic link, at " + reached);
        };
    }

    void SetEvents(TBackupFile& backup)
    {
        backup.OnProgress = [this](TObject*, std::string, TPercentage percent, bool& go) {
            if (percent < 0 || percent > 100)
                Fault("progress of " + std::to_string(percent) + "%");
            if (++progress_ == input_.control[1])
                go = false;
        };
        backup.OnNeedDisk = [this](TObject*, std::uint16_t disk, bool& go) {
            go = answers_ > 0;
            if (!go)
                return;
            --answers_;
            if ((options_ & 0x20) && disk >= 2 && disk - 1u < input_.volumes.size()) {
                if (options_ & 0x40)
                    for (std::size_t i = 0; i < input_.volumes.size(); ++i)
                        files_.Remove(VolumeFile(kSource, i));
                files_.AddFile(VolumeFile(kSource, disk - 1u), input_.volumes[disk - 1u]);
            }
        };
        backup.OnRestoreFile = [this](TObject*, std::string& name, std::int32_t stamp, bool& write) {
            const std::size_t k = approved_.size();
            if (k >= entries_.size())
                Fault("entry " + std::to_string(k) + " offered, which the walker does not see");
            if (stamp != static_cast<std::int32_t>(entries_[k]->stamp))
                Fault("entry " + std::to_string(k) + " offered with another entry's stamp");
            const std::uint8_t steer = k < kSteeredEntries ? input_.control[3 + k] : 0;
            if (steer & 0x10)
                write = !write;
            if (steer & 0x20)
                name = kRedirected;
            approved_.push_back(write);
        };
        backup.OnFileRestored = [this](TObject*, std::string& name, TFileStream& stream) {
            if (approved_.empty() || !approved_.back())
                Fault("a file restored for no entry that was to be written: " + name);
            const std::size_t k = approved_.size() - 1;
            const MemoryFileSystem::File* file = MemoryFileSystem::FileOf(stream);
            if (!file)
                Fault("OnFileRestored shows a stream of no file");
            const ExpectedEntry& entry = *entries_[k];
            if (entry.known && !IsPrefix(file->bytes, entry.content))
                Fault("entry " + std::to_string(k) + " restored as other bytes than the archive holds");
            whole_[k] = entry.known && file->bytes.size() == entry.content.size();
            restored_[name] = {k, Hash(file->bytes), file->bytes.size()};
        };
        backup.OnError = [this](TObject*, std::int32_t code, std::string) {
            if (code != kErrorCannotReadFile && code != kErrorCompression)
                Fault("error code " + std::to_string(code) + " from a restore");
            ++errors_;
        };
    }

    void Verify(bool result)
    {
        if (errors_ > 1 || (result && errors_ > 0))
            Fault(std::to_string(errors_) + " error reports from a run that returned " + (result ? "true" : "false"));
        // An entry is done once the next is offered; all are when the run
        // returned true.
        const std::size_t done = result ? approved_.size() : approved_.empty() ? 0 : approved_.size() - 1;
        for (std::size_t k = 0; k < done; ++k) {
            if (!approved_[k])
                continue;
            const ExpectedEntry& entry = *entries_[k];
            if (!entry.whole || !entry.sound)
                Fault("went past entry " + std::to_string(k) + ", which the walker finds damaged or cut");
            if (entry.known && !whole_[k])
                Fault("went past entry " + std::to_string(k) + " without writing it whole");
        }
        if (result && (!expected_.reachedEnd || approved_.size() != entries_.size()))
            Fault("a run returned true that the walker does not see to the end");
        for (const auto& [path, seen] : restored_) {
            const MemoryFileSystem::File* file = files_.FileAt(path);
            if (!file || file->bytes.size() != seen.size || Hash(file->bytes) != seen.hash)
                Fault(path + " changed after OnFileRestored saw it");
            if (file->stamp != entries_[seen.entry]->stamp)
                Fault(path + " does not carry its entry's stamp");
        }
    }

    struct Seen {
        std::size_t entry;
        std::uint64_t hash;
        std::size_t size;
    };

    const FuzzInput& input_;
    const std::uint8_t options_;
    ExpectedArchive expected_;
    std::vector<const ExpectedEntry*> entries_;
    MemoryFileSystem files_;
    NoUserInterface ui_;
    unsigned answers_ = 0;
    unsigned progress_ = 0;
    int errors_ = 0;
    std::vector<bool> approved_;  // per entry offered: the decision after OnRestoreFile
    std::vector<bool> whole_;     // per entry: last seen whole by OnFileRestored
    std::map<std::string, Seen> restored_;  // per file: the last OnFileRestored
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const FuzzInput input = SplitInput(data, size, kControlBytes);
    RestoreCheck(input).Run();
    return 0;
}
