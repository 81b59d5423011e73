#include "RestoreEvents.h"

#include <cstdio>
#include <optional>

#include "RestoreTarget.h"
#include "archive/FileSystem.h"
#include "archive/ArchiveReader.h"
#include "base/PathText.h"
#include "base/PrintableText.h"

namespace setuppack {

using lumora::archive::TBackupFile;
using lumora::TObject;

RestoreEvents::RestoreEvents(TBackupFile& component, std::string folder, std::string firstVolume,
                             const CodePage& names)
    : component_(component), folder_(std::move(folder)), firstVolume_(std::move(firstVolume)), names_(names)
{
#ifdef _WIN32
    // The restore converts stored names to path text itself.
    lumora::SetAuthorCodePage(names_.Number());
#else
    // The restore keeps the bytes of a stored name; a name that is text of
    // the code page is written as that text.
    component_.OnRestoreFile = [this](TObject*, std::string& filename, std::int32_t, bool&) {
        if (const std::optional<std::string> text = names_.Decode(RelativeName(filename)))
            filename = folder_ + *text;
    };
#endif
    component_.OnProgress = [this](TObject*, std::string filename, std::int32_t percent, bool&) {
        Progress(filename, percent);
    };
    component_.OnNeedDisk = [this](TObject*, std::uint16_t disk, bool& go) { NeedDisk(disk, go); };
    component_.OnFileRestored = [this](TObject*, std::string& filename, lumora::archive::TFileStream& file) {
        FileRestored(filename, file);
    };
    component_.OnError = [this](TObject*, std::int32_t code, std::string message) { Error(code, message); };
}

RestoreEvents::~RestoreEvents()
{
    component_.OnProgress = nullptr;
    component_.OnRestoreFile = nullptr;
    component_.OnNeedDisk = nullptr;
    component_.OnFileRestored = nullptr;
    component_.OnError = nullptr;
}

std::int64_t RestoreEvents::Bytes() const
{
    std::int64_t bytes = 0;
    for (const RestoredFile& file : files_)
        bytes += file.size;
    return bytes;
}

std::string RestoreEvents::RelativeName(const std::string& filename) const
{
    if (filename.compare(0, folder_.size(), folder_) == 0)
        return filename.substr(folder_.size());
    return filename;
}

void RestoreEvents::Progress(const std::string& filename, int percent)
{
    // The run's last event carries no file name: the restore has ended.
    if (filename.empty()) {
        progress_.Done();
        return;
    }
    progress_.Show(std::string(lumora::FileNamePart(filename)), percent);
}

void RestoreEvents::NeedDisk(std::uint16_t disk, bool& go)
{
    go = false;
    cancelled_ = true;
    progress_.Done();
    if (firstVolume_.empty()) {
        std::fprintf(stderr,
                     "setuppack: the installer's archive continues in volume %u, "
                     "which an installer cannot carry\n",
                     unsigned(disk));
        return;
    }
    const std::string next = lumora::archive::VolumePath(firstVolume_, disk);
    if (lumora::archive::PlatformFileSystem().FileExists(next)) {
        go = true;
        cancelled_ = false;
        return;
    }
    std::fprintf(stderr, "setuppack: volume %u of %s is missing: no file %s\n", unsigned(disk),
                 firstVolume_.c_str(), next.c_str());
}

void RestoreEvents::FileRestored(const std::string& filename, lumora::Stream& file)
{
    const std::string name = RelativeName(filename);
    const std::int64_t size = file.Size();
    // A file continued in the next volume is shown again, right after.
    if (!files_.empty() && files_.back().name == name) {
        files_.back().size = size;
        return;
    }
    files_.push_back({name, size});
}

void RestoreEvents::Error(std::int32_t code, const std::string& message)
{
    reported_ = true;
    progress_.Done();
    const std::string current = lumora::PrintableText(RelativeName(component_.CurrentFile()));
    const std::string reason = lumora::PrintableText(component_.FailureReason());
    std::fprintf(stderr, "setuppack: restore failed: %s (code %d)%s%s%s%s\n",
                 message.empty() ? "unknown error" : message.c_str(), int(code),
                 current.empty() ? "" : " at ", current.c_str(), reason.empty() ? "" : ": ", reason.c_str());
}

}  // namespace setuppack
