#include "archive/backup.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "archive/ArchiveWalker.h"
#include "archive/BufferedIo.h"
#include "archive/RestorePaths.h"
#include "archive/SolidStream.h"
#include "base/Error.h"
#include "base/PathEncoding.h"
#include "base/PathText.h"
#include "base/PrintableText.h"

namespace lumora::archive {

namespace {

constexpr std::string_view kStreamName = ":STREAM";

}  // namespace

// One call of Restore: the source, the walk over it and the entry being
// written. The component keeps the state that stays readable after the run.
class TBackupFile::Run : private ArchiveVisitor {
public:
    Run(TBackupFile& component, std::string archiveName, std::string folder)
        : c_(component),
          files_(component.Files()),
          ui_(component.Ui()),
          archiveName_(std::move(archiveName)),
          folder_(std::move(folder)),
          fromStream_(archiveName_ == kStreamName)
    {
    }

    bool Execute()
    {
        c_.errorCode_ = 0;
        c_.failureReason_.clear();
        c_.restoredCount_ = 0;
        c_.continue_ = true;
        // A volume marker before the first entry must not reach a file of an
        // earlier run.
        c_.currentFile_.clear();
        Stream* source = OpenSource();
        if (!source)
            return false;
        Walk(*source);
        CloseVolume();

        const bool result = c_.errorCode_ == 0 && c_.continue_;
        if (c_.OnProgress)
            c_.OnProgress(&c_, std::string(), 100, c_.continue_);
        if (c_.errorCode_ != 0)
            c_.ReportError(c_.errorCode_);
        return result;
    }

private:
    // The file being written: the open target and the buffer in front of it.
    struct Target {
        std::unique_ptr<FileStream> file;
        std::optional<WriteBehind> out;  // after `file`: gone before it
        bool continued = false;          // reopened after a volume marker
    };

    Stream* OpenSource()
    {
        if (fromStream_) {
            if (!c_.sourceStream_)
                throw Error("Cannot read archive");
            return c_.sourceStream_;
        }
        if (!files_.FileExists(archiveName_))
            return nullptr;
        visited_.push_back(archiveName_);
        try {
            volume_ = files_.OpenArchive(archiveName_);
        } catch (const Error&) {
            throw Error("Cannot read archive");
        }
        volume_->Seek(0, Stream::Origin::Begin);
        readAhead_.emplace(*volume_);
        return &*readAhead_;
    }

    // Failures while an entry is being written end the run as "Cannot read
    // file"; those of a volume switch and of anything else leave the run.
    // Damage in a compressed payload's stream (SolidStream.h) ends it as a
    // zlib block that does not inflate does, wherever it lies: the file
    // being written keeps what was decoded and counts as restored.
    void Walk(Stream& source)
    {
        ArchiveWalker walker(source, *this);
        try {
            walker.Run();
        } catch (...) {
            const bool compression = IsCompressionError();
            if (target_ && target_->continued) {
                CloseTarget();
                throw;
            }
            if (compression) {
                // The failure is recorded before OnFileRestored sees the file.
                Fail(kErrorCompression, CurrentFailure());
                if (target_)
                    EndTarget();
                return;
            }
            if (!headerRead_)
                throw InvalidArchive("Cannot read archive");
            if (!target_)
                throw;
            Fail(kErrorCannotReadFile, CurrentFailure(target_->file->LastFailure()));
            CloseTarget();
            return;
        }
        // A walk ended by a cancel or an error leaves its entry as written
        // so far.
        if (target_)
            EndTarget();
    }

    bool Going() override { return c_.continue_ && c_.errorCode_ == 0; }

    void Header(const ArchiveHeader& header) override
    {
        headerRead_ = true;
        c_.totalSize_ = header.totalSize;
        c_.fileCount_ = header.fileCount;
        c_.bytesDone_ = 0;
    }

    BlockData Entry(const EntryInfo& entry) override
    {
        stamp_ = entry.stamp;
        // Stored names are the author's bytes; joined to the folder, they
        // become path text (base/PathEncoding.h).
        const TargetPath target = FormTargetPath(folder_, AuthorText(entry.name), c_.restoreFullPath_);
        c_.currentFile_ = target.path;
        given_ = target.given;
        judged_ = target.judged;
        doRestore_ = Decide(entry) && Prepare(entry);
        if (doRestore_)
            OpenTarget();
        return doRestore_ ? BlockData::Read : BlockData::Skip;
    }

    // The restore mode's decision, then the handler's.
    bool Decide(const EntryInfo& entry)
    {
        const std::int32_t age = files_.FileAge(c_.currentFile_);
        const auto stamp = static_cast<std::int32_t>(entry.stamp);
        const bool exists = age != -1;
        bool write = false;
        switch (c_.restoreMode_) {
        case rmAll: write = true; break;
        case rmNoOverwrite: write = !exists; break;
        case rmNewer: write = !exists || age < stamp; break;
        case rmExisting: write = exists; break;
        case rmExistingNewer: write = exists && age < stamp; break;
        }
        if (entry.fileList)
            return false;
        if (c_.OnRestoreFile) {
            const std::string offered = c_.currentFile_;
            c_.OnRestoreFile(&c_, c_.currentFile_, stamp, write);
            // A path the handler chose is the caller's but for its last name.
            if (c_.currentFile_ != offered)
                given_ = judged_ = c_.currentFile_.size() - FileNamePart(c_.currentFile_).size();
        }
        return write;
    }

    // The path about to be written, as Windows writes it, and its folders;
    // a name that is no plain file inside the folder is not written.
    bool Prepare(const EntryInfo& entry)
    {
        const std::optional<WritableTarget> written = WritablePath(c_.currentFile_, judged_, given_);
        if (!written) {
            Fail(kErrorCannotReadFile, "the stored name \"" + PrintableText(entry.name) +
                                           "\" is no plain file name inside the folder");
            return false;
        }
        c_.currentFile_ = written->path;
        given_ = written->given;
        const std::string folder = FolderPart(c_.currentFile_);
        if (ForceFolders(files_, folder, given_) && files_.FolderExists(folder))
            return true;
        // A file that was to be written and has no folder is not restored.
        Fail(kErrorCannotReadFile, "Unable to create directory " + folder);
        return false;
    }

    void OpenTarget()
    {
        try {
            auto file = files_.CreateTarget(c_.currentFile_, given_);
            file->Seek(0, Stream::Origin::Begin);
            target_ = std::make_unique<Target>();
            target_->file = std::move(file);
            target_->out.emplace(*target_->file, writeBuffer_);
        } catch (...) {
            target_.reset();
            Fail(kErrorCannotReadFile, CurrentFailure());
        }
    }

    // A raw block is read straight into the write buffer.
    unsigned char* BlockBuffer(const EntryInfo&, std::int32_t length) override
    {
        if (!target_ || length > 0)
            return nullptr;
        return target_->out->Space(kMaxBlockSize);
    }

    void Block(const EntryInfo&, const BlockInfo& block) override
    {
        ui_.ProcessMessages();
        if (!target_)
            return;
        WriteBehind& out = *target_->out;
        std::size_t written = 0;
        if (block.length > 0) {
            // Inflated straight into the write buffer.
            unsigned char* output = out.Space(kMaxBlockSize);
            const InflateResult result = InflateBlock(block.data, static_cast<std::size_t>(block.length), output);
            out.Commit(result.produced);
            written = result.produced;
            // A stream that does not end within the block is truncated, or
            // inflates to more than one buffer: both are damage.
            if (result.Failed() || !result.streamEnded)
                Fail(kErrorCompression);
        } else {
            // Read in place by BlockBuffer.
            written = static_cast<std::size_t>(-static_cast<std::int64_t>(block.length));
            out.Commit(written);
        }
        c_.bytesDone_ += static_cast<std::int64_t>(written);
        Progress();
    }

    void EndOfBlocks(const EntryInfo&, std::int64_t) override
    {
        ui_.ProcessMessages();
        if (!target_)
            return;
        Progress();
        EndTarget();
    }

    // The entry's blocks are written: the rest goes to the file, and a file
    // begun in this volume counts as restored.
    void EndTarget()
    {
        bool written = true;
        try {
            target_->out->Flush();
        } catch (...) {
            written = false;
            Fail(kErrorCannotReadFile, CurrentFailure(target_->file->LastFailure()));
        }
        if (written && !target_->continued)
            ++c_.restoredCount_;
        CloseTarget();
    }

    // The written file is shown to OnFileRestored, stamped and closed; what
    // was written stays, also after a failure.
    void CloseTarget()
    {
        const std::unique_ptr<Target> target = std::move(target_);
        target->out.reset();
        if (c_.OnFileRestored)
            c_.OnFileRestored(&c_, c_.currentFile_, *target->file);
        target->file->SetStamp(stamp_);
    }

    void Progress()
    {
        if (!c_.OnProgress)
            return;
        TPercentage percent = 100;
        if (c_.totalSize_ > 0) {
            const std::int64_t exact = c_.bytesDone_ * 100 / c_.totalSize_;
            percent = static_cast<TPercentage>(exact > 100 ? 100 : exact);
        }
        c_.OnProgress(&c_, c_.currentFile_, percent, c_.continue_);
    }

    void Fail(std::int32_t code, std::string reason = {})
    {
        c_.errorCode_ = code;
        c_.failureReason_ = std::move(reason);
        c_.continue_ = false;
    }

    // Whether the exception being handled is damage in a compressed payload
    // (SolidStream.h), which the restore reports as it reports a zlib block
    // that does not inflate.
    static bool IsCompressionError()
    {
        try {
            throw;
        } catch (const CompressionError&) {
            return true;
        } catch (...) {
            return false;
        }
    }

    // The message of the exception being handled, with the system's reason
    // for a short read or write when there is one.
    static std::string CurrentFailure(const std::string& system = {})
    {
        std::string reason;
        try {
            throw;
        } catch (const std::exception& e) {
            reason = e.what();
        } catch (...) {
            reason = "an unknown failure";
        }
        return system.empty() ? reason : reason + ": " + system;
    }

    // A volume marker: the interrupted entry's block list goes on in the
    // next volume file.
    Stream* NextVolume(const std::string& marker, std::int64_t) override
    {
        CloseVolume();  // a caller's stream is never closed
        const unsigned disk = VolumeNumber(marker);
        const std::string next = NextVolumePath(archiveName_, marker);
        // A set whose marker leads back to a volume already read would go
        // round for ever.
        if (!fromStream_ && std::find(visited_.begin(), visited_.end(), next) != visited_.end())
            throw InvalidArchive("Invalid volume marker: volume " + PrintableText(next) + " would be read again");
        visited_.push_back(next);
        const std::string text = "Please insert disk " + std::to_string(disk) + " and click OK to continue.";
        do {
            if (c_.OnNeedDisk)
                c_.OnNeedDisk(&c_, static_cast<std::uint16_t>(disk), c_.continue_);
            else
                c_.continue_ = ui_.AskForDisk(text);
            archiveName_ = next;
        } while (c_.continue_ && !NextVolumeExists());
        if (!c_.continue_)
            return nullptr;

        volume_ = files_.OpenArchive(archiveName_);
        readAhead_.emplace(*volume_);
        if (doRestore_) {
            auto file = files_.OpenForAppend(c_.currentFile_, given_);
            target_ = std::make_unique<Target>();
            target_->file = std::move(file);
            target_->out.emplace(*target_->file, writeBuffer_);
            target_->continued = true;
        }
        return &*readAhead_;
    }

    void CloseVolume()
    {
        readAhead_.reset();
        volume_.reset();
    }

    // A caller's stream has no volume files beside it.
    bool NextVolumeExists() { return !fromStream_ && files_.FileExists(archiveName_); }

    TBackupFile& c_;
    FileSystem& files_;
    RestoreUi& ui_;
    std::string archiveName_;
    const std::string folder_;
    const bool fromStream_;
    // An archive file opened here, read ahead in large pieces; a caller's
    // stream is read as it is, so that it stays positioned after the last
    // byte read. Each is declared before what reads from it.
    std::unique_ptr<FileStream> volume_;
    std::optional<ReadAheadStream> readAhead_;
    bool headerRead_ = false;
    // The write decision of the last entry; a volume marker before any entry
    // finds it set.
    bool doRestore_ = true;
    std::uint32_t stamp_ = 0;
    // How much of the current file's path the caller chose (see
    // FileSystem.h), and after how much the rules of WritablePath apply.
    std::size_t given_ = 0;
    std::size_t judged_ = 0;
    // The storage of every target's WriteBehind, declared before them.
    WriteBuffer writeBuffer_;
    std::unique_ptr<Target> target_;
    // Volume files read in this run, the first included (at most 1000).
    std::vector<std::string> visited_;
};

TBackupFile::TBackupFile(TComponent* owner, std::string name) : TComponent(owner, std::move(name)) {}

void TBackupFile::SetBackupMode(TBackupMode mode)
{
    if (mode == backupMode_)
        return;
    backupMode_ = mode;
    if (mode == bmIncremental)
        setArchiveFlag_ = true;
}

bool TBackupFile::RestoreFromStream(Stream* stream, const std::string& folder)
{
    if (!stream)
        return false;
    sourceStream_ = stream;
    try {
        return Restore(std::string(kStreamName), folder);
    } catch (...) {
        return false;
    }
}

bool TBackupFile::Restore(const std::string& archiveName, const std::string& folder)
{
    Run run(*this, archiveName, folder.empty() ? folder : EnsureBackslash(folder));
    return run.Execute();
}

std::string TBackupFile::ErrorMessage(std::int32_t code)
{
    switch (code) {
    case kErrorCannotReadFile: return "Cannot read file";
    case 2: return "Overwriting file failed";
    case 3: return "Cannot read archive";
    case 4: return "Cannot write to archive";
    case 5: return "Invalid archive type";
    case kErrorCompression: return "Compression error";
    case 7: return "Cannot create temporary file to save the file IDs";
    default: return std::string();
    }
}

void TBackupFile::ReportError(std::int32_t code)
{
    const std::string message = ErrorMessage(code);
    if (OnError)
        OnError(this, code, message);
    else
        Ui().ShowError(message);
}

}  // namespace lumora::archive
