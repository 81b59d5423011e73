#include "archive/backup.h"

#include <exception>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "archive/BufferedIo.h"
#include "archive/RestorePaths.h"
#include "base/Error.h"

namespace lumora::archive {

namespace {

constexpr std::string_view kStreamName = ":STREAM";

bool AllDigits(std::string_view text)
{
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return !text.empty();
}

}  // namespace

// One call of Restore: the source, the reader over it, the buffer for
// compressed blocks and the entry being processed. The component keeps the state that
// stays readable after the run.
class TBackupFile::Run {
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
        c_.restoredCount_ = 0;
        c_.continue_ = true;
        // A volume marker before the first entry must not reach a file of an
        // earlier run.
        c_.currentFile_.clear();
        if (!OpenSource())
            return false;
        ReadHeader();
        input_.resize(kMaxBlockSize);
        EntryLoop();
        CloseVolume();

        const bool result = c_.errorCode_ == 0 && c_.continue_;
        if (c_.OnProgress)
            c_.OnProgress(&c_, std::string(), 100, c_.continue_);
        if (c_.errorCode_ != 0)
            c_.ReportError(c_.errorCode_);
        return result;
    }

private:
    bool OpenSource()
    {
        if (fromStream_) {
            if (!c_.sourceStream_)
                throw Error("Cannot read archive");
            reader_.emplace(*c_.sourceStream_);
            return true;
        }
        if (!files_.FileExists(archiveName_))
            return false;
        try {
            volume_ = files_.OpenArchive(archiveName_);
        } catch (const Error&) {
            throw Error("Cannot read archive");
        }
        volume_->Seek(0, Stream::Origin::Begin);
        readAhead_.emplace(*volume_);
        reader_.emplace(*readAhead_);
        return true;
    }

    void ReadHeader()
    {
        ArchiveHeader header;
        try {
            header = reader_->ReadHeader();
        } catch (const Error&) {
            throw InvalidArchive("Cannot read archive");
        }
        c_.totalSize_ = header.totalSize;
        c_.fileCount_ = header.fileCount;
        c_.bytesDone_ = 0;
    }

    bool Going() const { return c_.continue_ && c_.errorCode_ == 0; }

    void EntryLoop()
    {
        std::int32_t nameLength = -1;
        while (nameLength != 0 && Going()) {
            nameLength = reader_->ReadNameLength();
            if (nameLength <= 0)
                continue;
            const std::string name = reader_->ReadName(nameLength);
            if (IsVolumeMarker(name)) {
                SwitchVolume(name);
                continue;
            }
            stamp_ = reader_->ReadStamp();
            TargetPath target = FormTargetPath(folder_, name, c_.restoreFullPath_);
            c_.currentFile_ = std::move(target.path);
            if (!target.safe) {
                // The name points outside the folder: nothing is written.
                doRestore_ = false;
                Fail(1);
                return;
            }
            doRestore_ = Decide(name);
            if (doRestore_)
                WriteEntry();
            else
                RestoreBlocks(nullptr);
        }
    }

    bool Decide(const std::string& name)
    {
        const std::int32_t age = files_.FileAge(c_.currentFile_);
        const auto stamp = static_cast<std::int32_t>(stamp_);
        const bool exists = age != -1;
        bool write = false;
        switch (c_.restoreMode_) {
        case rmAll: write = true; break;
        case rmNoOverwrite: write = !exists; break;
        case rmNewer: write = !exists || age < stamp; break;
        case rmExisting: write = exists; break;
        case rmExistingNewer: write = exists && age < stamp; break;
        }
        if (IsFileList(name))
            return false;
        if (c_.OnRestoreFile)
            c_.OnRestoreFile(&c_, c_.currentFile_, stamp, write);
        if (!write)
            return false;
        const std::string folder = FolderPart(c_.currentFile_);
        ForceFolders(files_, folder);
        return files_.FolderExists(folder);
    }

    void WriteEntry()
    {
        std::unique_ptr<FileStream> file;
        bool restored = false;
        try {
            file = files_.CreateTarget(c_.currentFile_);
            file->Seek(0, Stream::Origin::Begin);
            RestoreBlocks(file.get());
            restored = true;
        } catch (...) {
            // Whatever broke the entry (the target, the archive, a handler
            // of OnProgress, a full disk) ends the run as "Cannot read file".
            Fail(1);
        }
        if (restored)
            ++c_.restoredCount_;
        if (file)
            Finish(std::move(file));
    }

    // The written file is shown to OnFileRestored, stamped and closed; what
    // was written stays, also after a failure.
    void Finish(std::unique_ptr<FileStream> file)
    {
        if (c_.OnFileRestored)
            c_.OnFileRestored(&c_, c_.currentFile_, *file);
        file->SetStamp(stamp_);
    }

    // Restores one block list into `target`, or skips it when `target` is
    // null.
    void RestoreBlocks(FileStream* target)
    {
        std::optional<WriteBehind> out;
        if (target)
            out.emplace(*target);
        reader_->ReadBlockMagic();
        std::int32_t length = -1;
        while (length != 0 && Going()) {
            length = reader_->ReadBlockLength();
            if (length < -kMaxBlockSize || length > kMaxBlockSize)
                throw InvalidArchive("Invalid block length");
            ui_.ProcessMessages();
            if (!target) {
                if (length != 0)
                    reader_->SkipBlockData(length);
                continue;
            }
            std::size_t written = 0;
            if (length > 0) {
                reader_->ReadBlockData(length, input_.data());
                // Inflated straight into the write buffer.
                unsigned char* output = out->Space(kMaxBlockSize);
                const InflateResult result = InflateBlock(input_.data(), static_cast<std::size_t>(length), output);
                if (result.produced > static_cast<std::size_t>(kMaxBlockSize))
                    throw Error("Decompressor overran its buffer");
                out->Commit(result.produced);
                written = result.produced;
                // A stream that does not end within the block is truncated,
                // or inflates to more than one buffer: both are damage.
                if (result.Failed() || !result.streamEnded)
                    Fail(6);
            } else if (length < 0) {
                written = static_cast<std::size_t>(-length);
                reader_->ReadBlockData(length, out->Space(kMaxBlockSize));
                out->Commit(written);
            }
            c_.bytesDone_ += static_cast<std::int64_t>(written);
            Progress();
        }
        if (out)
            out->Flush();
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

    void Fail(std::int32_t code)
    {
        c_.errorCode_ = code;
        c_.continue_ = false;
    }

    // A volume marker: the interrupted entry's block list goes on in the
    // next volume file.
    void SwitchVolume(const std::string& marker)
    {
        CloseVolume();  // a caller's stream is never closed
        const std::string suffix = VolumeSuffix(marker);
        if (suffix.size() != kVolumeNumberDigits || !AllDigits(suffix))
            throw InvalidArchive("Invalid volume marker");
        const int disk = std::stoi(suffix);
        const std::string text = "Please insert disk " + std::to_string(disk) + " and click OK to continue.";
        do {
            if (c_.OnNeedDisk)
                c_.OnNeedDisk(&c_, static_cast<std::uint16_t>(disk), c_.continue_);
            else
                c_.continue_ = ui_.AskForDisk(text);
            archiveName_ = ChangeExtension(archiveName_, "." + suffix);
        } while (c_.continue_ && !NextVolumeExists());
        if (!c_.continue_)
            return;

        volume_ = files_.OpenArchive(archiveName_);
        readAhead_.emplace(*volume_);
        reader_.emplace(*readAhead_);
        std::unique_ptr<FileStream> file;
        if (doRestore_)
            file = files_.OpenForAppend(c_.currentFile_);
        std::exception_ptr failure;
        try {
            RestoreBlocks(file.get());
        } catch (...) {
            failure = std::current_exception();
        }
        if (file)
            Finish(std::move(file));
        if (failure)
            std::rethrow_exception(failure);
    }

    void CloseVolume()
    {
        reader_.reset();
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
    std::optional<ArchiveReader> reader_;
    bool doRestore_ = true;
    std::uint32_t stamp_ = 0;
    // Compressed input; raw and inflated data go straight to WriteBehind.
    std::vector<unsigned char> input_;
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
    Run run(*this, archiveName, WithTrailingBackslash(folder));
    return run.Execute();
}

std::string TBackupFile::ErrorMessage(std::int32_t code)
{
    switch (code) {
    case 1: return "Cannot read file";
    case 2: return "Overwriting file failed";
    case 3: return "Cannot read archive";
    case 4: return "Cannot write to archive";
    case 5: return "Invalid archive type";
    case 6: return "Compression error";
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
