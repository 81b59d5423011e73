#include "ArchiveSurvey.h"

#include <filesystem>
#include <system_error>

#include "InflateStatus.h"
#include "LimitedStream.h"
#include "input/NativePath.h"
#include "base/PathEncoding.h"
#include "base/PathText.h"
#include "base/PrintableText.h"
#include "base/StdioFileStream.h"

namespace setuppack {

using lumora::archive::BlockInfo;
using lumora::archive::EntryInfo;
using lumora::archive::kMaxBlockSize;

namespace {

std::string BlockPlace(const EntryInfo& entry, const BlockInfo& block)
{
    std::string place = "entry \"" + lumora::PrintableText(entry.name) + "\", block " +
                        std::to_string(block.index) + " (" + (block.length > 0 ? "zlib, " : "raw, ") +
                        std::to_string(block.length > 0 ? block.length : -static_cast<std::int64_t>(block.length)) +
                        " bytes) at offset " + std::to_string(block.offset);
    if (block.volume > 1)
        place += " of volume " + std::to_string(block.volume);
    return place;
}

// nullptr when there is no such file; one that is there but cannot be read
// throws Error.
std::unique_ptr<lumora::Stream> OpenVolumeFile(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(NativePath(path), ec))
        return nullptr;
    return std::make_unique<lumora::StdioFileStream>(path, lumora::StdioFileStream::Mode::Read);
}

}  // namespace

ArchiveSurvey::ArchiveSurvey(std::string path, const ArchiveLocation& location, SurveyListener* listener)
    : path_(std::move(path)), volumePath_(path_), location_(location), listener_(listener),
      volumeEnd_(location.solid ? static_cast<std::int64_t>(location.solid->size) : location.end),
      openVolume_(OpenVolumeFile), output_(kMaxBlockSize)
{
    visited_.insert(path_);
}

void ArchiveSurvey::Run(lumora::Stream& file)
{
    try {
        ArchiveView view(file, location_);
        lumora::archive::WalkArchive(view.Archive(), *this);
        // Damage in a solid stream behind the archive's end shows too.
        if (endOffset >= 0)
            view.ReadToEnd();
    } catch (const lumora::Error& e) {
        walkFailed = true;
        Problem(lumora::PrintableText(e.what()));
    }
    Flush();
    volumeFile_.reset();
}

void ArchiveSurvey::Problem(std::string text)
{
    if (problems.size() < kMaxProblems)
        problems.push_back(std::move(text));
    else
        ++moreProblems;
}

void ArchiveSurvey::Flush()
{
    if (entryOpen_) {
        entryOpen_ = false;
        if (!entry_.info.fileList) {
            ++files;
            sumOfSizes += entry_.size;
        }
        if (listener_)
            listener_->Record(entry_);
    }
    for (const SurveyRecord& line : pending_)
        if (listener_)
            listener_->Record(line);
    pending_.clear();
}

void ArchiveSurvey::Header(const lumora::archive::ArchiveHeader& h)
{
    header = h;
    headerRead = true;
    if (listener_)
        listener_->Header(h);
}

void ArchiveSurvey::PassedOver(std::int32_t nameLength, std::int64_t offset)
{
    if (pending_.empty() || pending_.back().kind != SurveyRecord::Kind::PassedOver) {
        SurveyRecord run;
        run.kind = SurveyRecord::Kind::PassedOver;
        run.offset = offset;
        run.nameLength = nameLength;
        pending_.push_back(run);
    }
    ++pending_.back().count;
}

lumora::archive::BlockData ArchiveSurvey::Entry(const EntryInfo& info)
{
    Flush();
    entry_ = SurveyRecord{};
    entry_.offset = info.offset;
    entry_.info = info;
    entryOpen_ = true;
    return lumora::archive::BlockData::Read;
}

void ArchiveSurvey::Block(const EntryInfo&, const BlockInfo& block)
{
    // Blocks after a volume marker met before any entry belong to no file.
    if (!entryOpen_)
        return;
    if (block.length < 0) {
        ++entry_.rawBlocks;
        entry_.size += -static_cast<std::int64_t>(block.length);
        return;
    }
    ++entry_.zlibBlocks;
    // The deflate data after the 2-byte zlib header starts with a block
    // header whose bits 1 and 2 are 00 for a stored (uncompressed) block.
    if (block.data && block.length > 2 && (block.data[2] & 0x06) == 0)
        ++entry_.storedBlocks;
    if (block.data)
        Inflate(block);
}

void ArchiveSurvey::Inflate(const BlockInfo& block)
{
    const auto result = lumora::archive::InflateBlock(block.data, static_cast<std::size_t>(block.length),
                                                      output_.data());
    entry_.size += static_cast<std::int64_t>(result.produced);
    if (result.streamEnded)
        return;
    entry_.damaged = true;
    std::string what;
    if (result.Failed())
        what = "does not inflate: " + InflateStatusText(result.status);
    else if (result.produced == static_cast<std::size_t>(kMaxBlockSize))
        what = "inflates to more than " + std::to_string(kMaxBlockSize) + " bytes";
    else
        what = "holds an incomplete zlib stream (it ends after " + std::to_string(result.produced) +
               " bytes, before its Adler-32)";
    Problem(BlockPlace(entry_.info, block) + ": " + what);
}

lumora::Stream* ArchiveSurvey::NextVolume(const std::string& markerName, std::int64_t offset)
{
    SurveyRecord record;
    record.kind = SurveyRecord::Kind::VolumeMarker;
    record.offset = offset;
    record.text = "volume marker \"" + lumora::PrintableText(markerName) + "\"";
    const std::string where = record.text + " at offset " + std::to_string(offset);
    lumora::Stream* next = nullptr;
    if (location_.installer) {
        record.text += ": an installer's archive cannot continue in another volume";
        Problem(where + ": an installer's archive cannot continue in another volume");
    } else {
        const std::string path = lumora::archive::NextVolumePath(volumePath_, markerName);
        const std::string shown = lumora::PrintableText(path);
        if (!visited_.insert(path).second) {
            record.text += ": " + shown + " again";
            Problem(where + ": the volume " + shown + " comes round again");
        } else if (auto file = openVolume_(path)) {
            // The walk never reads the previous volume again.
            volumeFile_ = std::move(file);
            next = volumeFile_.get();
            volumePath_ = path;
            volumeEnd_ = next->Size();
            ++volume_;
            record.text += ": continues in " + shown;
        } else {
            record.text += ": the next volume " + shown + " is missing";
            Problem(where + ": the next volume " + shown + " is missing");
        }
    }
    pending_.push_back(std::move(record));
    return next;
}

void ArchiveSurvey::End(std::int64_t offset)
{
    endOffset = offset;
    endLimit = volumeEnd_;
    endVolume = volume_;
}

}  // namespace setuppack
