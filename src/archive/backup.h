#pragma once
// TBackupFile: the non-visual component that restores an archive (see
// ArchiveLayout.h) into files, from a stream (the installer's payload) or
// from an archive file given by name, also when it is split over volumes.
//
// It walks the archive with the one ArchiveWalker and keeps to itself what
// a restore adds: the target paths, the restore modes, the events, the error
// codes and the volume switch. It reaches the file system only through a
// FileSystem and the user only through a RestoreUi, the platform's own of
// each unless others are given.
//
// The writer settings (BackupTitle, BackupMode, CompressionLevel, MaxSize,
// SetArchiveFlag, SaveFileID) are kept and readable; nothing here acts on
// them.
#include <cstdint>
#include <functional>
#include <string>

#include "archive/ArchiveReader.h"
#include "archive/FileSystem.h"
#include "archive/RestoreUi.h"
#include "base/Component.h"
#include "base/Stream.h"

namespace lumora::archive {

enum TBackupMode { bmAll, bmIncremental };
enum TRestoreMode { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };
enum TCompressionLevel { clFastest, clNone, clDefault, clMax };

// The error codes a restore reports; ErrorMessage gives their texts. The
// others (2 to 5, 7) belong to the writer side.
constexpr std::int32_t kErrorCannotReadFile = 1;
constexpr std::int32_t kErrorCompression = 6;

using TPercentage = std::int32_t;
using TFileStream = FileStream;

// Every event receives the component as Sender.
// Filename is the target path; Continue = false cancels the run.
using TProgressEvent =
    std::function<void(TObject* Sender, std::string Filename, TPercentage Percent, bool& Continue)>;
// DiskID is the number of the volume wanted; Continue = false cancels.
using TNeedDiskEvent = std::function<void(TObject* Sender, std::uint16_t DiskID, bool& Continue)>;
// May change the target path and whether the entry is written; FA is the
// entry's date-time stamp.
using TRestoreFileEvent =
    std::function<void(TObject* Sender, std::string& Filename, std::int32_t FA, bool& DoRestore)>;
// Sees each written file while it is still open, before its stamp is set.
using TFileRestoredEvent = std::function<void(TObject* Sender, std::string& Filename, TFileStream& Stream)>;
using TBackupErrorEvent = std::function<void(TObject* Sender, const std::int32_t Error, std::string ErrString)>;

class TBackupFile : public TComponent {
public:
    explicit TBackupFile(TComponent* owner = nullptr, std::string name = {});

    // Restores the archive that starts at the stream's position into
    // `folder`. The stream is recorded as the source stream, never closed,
    // and left after the last byte read. Returns false without a stream,
    // when the run fails or is cancelled, and when a failure escapes the run.
    bool RestoreFromStream(Stream* stream, const std::string& folder);
    // Restores the archive file `archiveName` (":STREAM": the source stream)
    // into `folder` (empty: each entry to its stored path). Returns true when
    // the run ends without an error code and not cancelled; a missing
    // archive file gives false at once. Failures that are not reported
    // through OnError leave by an exception (lumora::Error).
    bool Restore(const std::string& archiveName, const std::string& folder);

    // The message of an error code; empty for codes outside 1..7.
    static std::string ErrorMessage(std::int32_t code);

    // Published properties.
    std::string Version() const { return "5.00"; }
    void SetVersion(const std::string&) {}
    const std::string& BackupTitle() const { return backupTitle_; }
    void SetBackupTitle(std::string title) { backupTitle_ = std::move(title); }
    TBackupMode BackupMode() const { return backupMode_; }
    void SetBackupMode(TBackupMode mode);
    TCompressionLevel CompressionLevel() const { return compressionLevel_; }
    void SetCompressionLevel(TCompressionLevel level) { compressionLevel_ = level; }
    TRestoreMode RestoreMode() const { return restoreMode_; }
    void SetRestoreMode(TRestoreMode mode) { restoreMode_ = mode; }
    std::int32_t MaxSize() const { return maxSize_; }
    void SetMaxSize(std::int32_t size) { maxSize_ = size; }
    bool SetArchiveFlag() const { return setArchiveFlag_; }
    void SetSetArchiveFlag(bool flag) { setArchiveFlag_ = flag; }
    bool RestoreFullPath() const { return restoreFullPath_; }
    void SetRestoreFullPath(bool full) { restoreFullPath_ = full; }
    bool SaveFileID() const { return saveFileID_; }
    void SetSaveFileID(bool save) { saveFileID_ = save; }

    TProgressEvent OnProgress;
    TNeedDiskEvent OnNeedDisk;
    TRestoreFileEvent OnRestoreFile;
    TFileRestoredEvent OnFileRestored;
    TBackupErrorEvent OnError;

    // State of the last run.
    std::int32_t FileCount() const { return fileCount_; }
    std::int32_t RestoredCount() const { return restoredCount_; }
    std::int32_t TotalSize() const { return totalSize_; }
    // Kept in 64 bits: a damaged header may understate the total.
    std::int64_t BytesDone() const { return bytesDone_; }
    const std::string& CurrentFile() const { return currentFile_; }
    bool ContinueFlag() const { return continue_; }
    std::int32_t ErrorCode() const { return errorCode_; }
    // Why the entry behind error code 1 failed, as the system or the reader
    // said it ("Cannot create c:\x.txt: Permission denied"); the error
    // report itself keeps the fixed text.
    const std::string& FailureReason() const { return failureReason_; }
    Stream* SourceStream() const { return sourceStream_; }

    // Seams: nullptr selects the platform's file system and user interface
    // (PlatformFileSystem, PlatformRestoreUi). Neither is owned.
    void SetFileSystem(FileSystem* fileSystem) { fileSystem_ = fileSystem; }
    void SetUserInterface(RestoreUi* ui) { ui_ = ui; }

private:
    class Run;
    friend class Run;

    FileSystem& Files() const { return fileSystem_ ? *fileSystem_ : PlatformFileSystem(); }
    RestoreUi& Ui() const { return ui_ ? *ui_ : PlatformRestoreUi(); }
    void ReportError(std::int32_t code);

    std::string backupTitle_;
    std::int32_t maxSize_ = 0;
    TBackupMode backupMode_ = bmAll;
    TRestoreMode restoreMode_ = rmAll;
    TCompressionLevel compressionLevel_ = clFastest;
    bool setArchiveFlag_ = false;
    std::int32_t fileCount_ = 0;
    std::int32_t restoredCount_ = 0;
    std::int32_t totalSize_ = 0;
    std::int64_t bytesDone_ = 0;
    std::string currentFile_;
    bool continue_ = false;
    std::int32_t errorCode_ = 0;
    std::string failureReason_;
    Stream* sourceStream_ = nullptr;
    bool restoreFullPath_ = false;
    bool saveFileID_ = false;

    FileSystem* fileSystem_ = nullptr;
    RestoreUi* ui_ = nullptr;
};

}  // namespace lumora::archive
