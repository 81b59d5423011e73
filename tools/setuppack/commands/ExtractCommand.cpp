// setuppack extract: restores the files of an installer, or of a bare
// archive split over volumes or not, into a folder, through the restore
// component that the installer itself runs.
#include <cstdio>
#include <optional>
#include <string>

#include "Command.h"
#include "OpenArchive.h"
#include "author/CodePage.h"
#include "payload/ArchiveLocation.h"
#include "payload/LimitedStream.h"
#include "payload/RestoreEvents.h"
#include "payload/RestoreTarget.h"
#include "archive/ArchiveWalker.h"
#include "archive/backup.h"
#include "base/PrintableText.h"
#include "base/StdioFileStream.h"

namespace setuppack {

namespace {

using lumora::archive::TBackupFile;

// Finds the end-of-archive marker, passing over the blocks' data.
class EndFinder : public lumora::archive::ArchiveVisitor {
public:
    lumora::archive::BlockData Entry(const lumora::archive::EntryInfo&) override
    {
        return lumora::archive::BlockData::Skip;
    }
    void End(std::int64_t offset) override { end = offset; }

    std::int64_t end = -1;
};

// A trailer that points into the stub or into a block can lead to something
// that reads as a short archive; the end marker of the real one lies right
// before the trailer. A walk that fails is left to the restore to report.
void CheckEndMarker(lumora::Stream& file, const ArchiveLocation& location, const std::string& path)
{
    EndFinder finder;
    std::int64_t end = 0;
    try {
        ArchiveView view(file, location);
        end = view.End();
        lumora::archive::WalkArchive(view.Archive(), finder);
    } catch (const lumora::Error&) {
        return;
    }
    if (finder.end >= 0 && finder.end + 4 != end)
        throw lumora::Error(lumora::PrintableText(path) + ": the archive's end marker at offset " +
                            std::to_string(finder.end) + " is not right before its end at offset " +
                            std::to_string(end) + "; nothing was restored");
}

// Where the installer's archive lies; an error names the file.
ArchiveLocation LocateInstaller(lumora::Stream& file, const std::string& path)
{
    try {
        return LocateArchive(file, false);
    } catch (const lumora::Error& e) {
        throw lumora::Error(path + ": " + e.what());
    }
}

// The installer's archive, from the trailer's offset up to the trailer, so
// that an archive cut short is not read on into the trailer's bytes.
bool RestoreInstaller(TBackupFile& component, lumora::Stream& file, const ArchiveLocation& location,
                      const std::string& path, const std::string& folder)
{
    if (const std::string problem = CheckRecordProblem(file, location); !problem.empty())
        throw lumora::Error(path + ": " + problem + "; nothing was restored");
    // A solid payload's record is where the trailer points, or it would not
    // have been found: only a plain archive needs the end marker checked,
    // and a second pass through a solid stream would decompress it twice.
    if (!location.solid)
        CheckEndMarker(file, location, path);
    ArchiveView view(file, location);
    return component.RestoreFromStream(&view.Archive(), folder);
}

void PrintSummary(const RestoreEvents& events, const std::string& dir)
{
    for (const RestoredFile& file : events.Files())
        std::printf("%10lld  %s\n", static_cast<long long>(file.size), file.name.c_str());
    const std::size_t count = events.Files().size();
    std::printf("restored %zu file%s, %lld bytes, into %s\n", count, count == 1 ? "" : "s",
                static_cast<long long>(events.Bytes()), dir.c_str());
}

}  // namespace

int RunExtract(const Arguments& args)
{
    if (args.operands.size() != 2)
        throw UsageError("extract needs FILE and DIR, not " + std::to_string(args.operands.size()) +
                         " operand" + (args.operands.size() == 1 ? "" : "s"));
    const std::string& path = args.operands[0];
    const std::string& dir = args.operands[1];
    const bool bare = args.Has("--archive");
    if (bare)
        CheckComponentPath(path, "the archive");
    if (bare && !lumora::archive::PlatformFileSystem().FileExists(path))
        throw lumora::Error(path + ": no such file");
    const std::string folder = PrepareRestoreFolder(dir);

    // An installer says how its names are written: its check record, and
    // the code page it records.
    std::optional<lumora::StdioFileStream> file;
    ArchiveLocation location;
    if (!bare) {
        file.emplace(path, lumora::StdioFileStream::Mode::Read);
        location = LocateInstaller(*file, path);
    }
    TBackupFile component;
    RestoreEvents events(component, folder, bare ? path : std::string(),
                         bare ? CodePageOf(args) : InstallerCodePage(args, *file, location));
    bool restored = false;
    std::string failure;
    if (bare) {
        try {
            restored = component.Restore(path, folder);
        } catch (const lumora::Error& e) {
            // Failures that the component does not report escape a restore
            // by name; from a stream they only make the result false.
            failure = lumora::PrintableText(e.what());
        }
    } else {
        restored = RestoreInstaller(component, *file, location, path, folder);
    }
    events.EndProgress();

    if (restored) {
        PrintSummary(events, dir);
        return 0;
    }
    // A reported error or a cancel has been explained by the events.
    const bool unexplained = !events.Reported() && !events.Cancelled();
    if (unexplained)
        std::fprintf(stderr, "setuppack: %s: the archive is damaged or unreadable%s%s\n", path.c_str(),
                     failure.empty() ? "" : ": ", failure.c_str());
    const std::size_t written = events.Files().size();
    std::fprintf(stderr, "setuppack: %zu file%s written into %s before the restore %s\n", written,
                 written == 1 ? "" : "s", dir.c_str(), events.Cancelled() ? "was cancelled" : "failed");
    if (unexplained)
        std::fprintf(stderr, "setuppack: \"setuppack verify%s %s\" shows where\n", bare ? " --archive" : "",
                     path.c_str());
    return 1;
}

}  // namespace setuppack
