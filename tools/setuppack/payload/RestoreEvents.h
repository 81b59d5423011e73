#pragma once
// The extract command's handlers of the restore component's events: the
// progress line, the list of written files, the next volume of a split
// archive and the reported errors.
#include <cstdint>
#include <string>
#include <vector>

#include "ProgressLine.h"
#include "author/CodePage.h"
#include "archive/backup.h"

namespace setuppack {

struct RestoredFile {
    std::string name;        // relative to the folder restored into
    std::int64_t size = 0;
};

class RestoreEvents {
public:
    // Binds the handlers of `component`, which must outlive this object.
    // `folder` is the folder as the component was given it. `firstVolume` is
    // the archive file restored by name; empty for an installer, whose
    // archive never continues in another volume. The files are restored
    // under their stored names read as text of `names`.
    RestoreEvents(lumora::archive::TBackupFile& component, std::string folder, std::string firstVolume,
                  const CodePage& names);
    RestoreEvents(const RestoreEvents&) = delete;
    RestoreEvents& operator=(const RestoreEvents&) = delete;
    ~RestoreEvents();

    // Each file once, in the order first written, with its size when last
    // closed (a file split over volumes is closed once per volume).
    const std::vector<RestoredFile>& Files() const { return files_; }
    std::int64_t Bytes() const;
    // A volume was missing: the run was cancelled, and the reason printed.
    bool Cancelled() const { return cancelled_; }
    // The component reported an error through OnError (already printed).
    bool Reported() const { return reported_; }
    // Ends the progress line before a message of the caller.
    void EndProgress() { progress_.Done(); }

private:
    void Progress(const std::string& filename, int percent);
    void NeedDisk(std::uint16_t disk, bool& go);
    void FileRestored(const std::string& filename, lumora::Stream& file);
    void Error(std::int32_t code, const std::string& message);
    std::string RelativeName(const std::string& filename) const;

    lumora::archive::TBackupFile& component_;
    const std::string folder_;
    const std::string firstVolume_;
    const CodePage names_;
    ProgressLine progress_{stderr};
    std::vector<RestoredFile> files_;
    bool cancelled_ = false;
    bool reported_ = false;
};

}  // namespace setuppack
