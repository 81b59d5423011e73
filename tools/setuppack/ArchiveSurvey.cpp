#include "ArchiveSurvey.h"

#include <cstdio>

#include "LimitedStream.h"
#include "archive/InflateStatus.h"
#include "base/StdioFileStream.h"

namespace setuppack {

using lumora::archive::BlockInfo;
using lumora::archive::EntryInfo;
using lumora::archive::kMaxBlockSize;

namespace {

std::string BlockPlace(const EntryInfo& entry, const BlockInfo& block)
{
    std::string place = "entry \"" + entry.name + "\", block " + std::to_string(block.index) +
                        " (" + (block.length > 0 ? "zlib, " : "raw, ") +
                        std::to_string(block.length > 0 ? block.length : -block.length) +
                        " bytes) at offset " + std::to_string(block.offset);
    if (block.volume > 1)
        place += " of volume " + std::to_string(block.volume);
    return place;
}

// The file of the next volume: the current one's name with its extension
// replaced by "." and the three characters of the volume marker.
std::string NextVolumePath(const std::string& current, const std::string& suffix)
{
    const auto slash = current.find_last_of("/\\:");
    const auto dot = current.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? current.substr(0, dot) : current) + "." + suffix;
}

bool FileExists(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

}  // namespace

ArchiveSurvey::ArchiveSurvey(std::string path, const ArchiveLocation& location)
    : path_(std::move(path)), volumePath_(path_), location_(location), volumeEnd_(location.end),
      output_(kMaxBlockSize)
{
}

void ArchiveSurvey::Run(lumora::Stream& file)
{
    LimitedStream archive(file, location_.end);
    archive.Seek(location_.start, lumora::Stream::Origin::Begin);
    try {
        lumora::archive::WalkArchive(archive, *this);
    } catch (const lumora::Error& e) {
        walkFailed = true;
        problems.push_back(e.what());
    }
}

std::int64_t ArchiveSurvey::SumOfSizes() const
{
    std::int64_t sum = 0;
    for (const SurveyedEntry& entry : entries)
        if (!entry.info.fileList)
            sum += entry.size;
    return sum;
}

void ArchiveSurvey::Header(const lumora::archive::ArchiveHeader& h)
{
    header = h;
    headerRead = true;
}

void ArchiveSurvey::PassedOver(std::int32_t nameLength, std::int64_t offset)
{
    SurveyRecord record;
    record.kind = SurveyRecord::Kind::PassedOver;
    record.offset = offset;
    record.nameLength = nameLength;
    records.push_back(record);
}

void ArchiveSurvey::Entry(const EntryInfo& info)
{
    SurveyedEntry entry;
    entry.info = info;
    entries.push_back(entry);
    SurveyRecord record;
    record.offset = info.offset;
    record.entry = entries.size() - 1;
    records.push_back(record);
}

void ArchiveSurvey::Block(const EntryInfo&, const BlockInfo& block)
{
    // Blocks after a volume marker met before any entry belong to no file.
    if (entries.empty())
        return;
    SurveyedEntry& entry = entries.back();
    if (block.length < 0) {
        ++entry.rawBlocks;
        entry.size += -static_cast<std::int64_t>(block.length);
        return;
    }
    ++entry.zlibBlocks;
    // The deflate data after the 2-byte zlib header starts with a block
    // header whose bits 1 and 2 are 00 for a stored (uncompressed) block.
    if (block.data && block.length > 2 && (block.data[2] & 0x06) == 0)
        ++entry.storedBlocks;
    if (block.data)
        Inflate(entry, block);
}

void ArchiveSurvey::Inflate(SurveyedEntry& entry, const BlockInfo& block)
{
    const auto result = lumora::archive::InflateBlock(
        block.data, static_cast<std::size_t>(block.length), output_.data());
    entry.size += static_cast<std::int64_t>(result.produced);
    if (result.streamEnded)
        return;
    entry.damaged = true;
    std::string what;
    if (result.Failed())
        what = "does not inflate: " + lumora::archive::InflateStatusText(result.status);
    else if (result.produced == static_cast<std::size_t>(kMaxBlockSize))
        what = "inflates to more than " + std::to_string(kMaxBlockSize) + " bytes";
    else
        what = "holds an incomplete zlib stream (it ends after " +
               std::to_string(result.produced) + " bytes, before its Adler-32)";
    problems.push_back(BlockPlace(entry.info, block) + ": " + what);
}

lumora::Stream* ArchiveSurvey::NextVolume(const std::string& markerName, std::int64_t offset)
{
    SurveyRecord record;
    record.kind = SurveyRecord::Kind::VolumeMarker;
    record.offset = offset;
    record.text = "volume marker \"" + markerName + "\"";
    const std::string where = record.text + " at offset " + std::to_string(offset);
    lumora::Stream* next = nullptr;
    if (location_.installer) {
        record.text += ": an installer's archive cannot continue in another volume";
        problems.push_back(where + ": an installer's archive cannot continue in another volume");
    } else {
        const std::string path = NextVolumePath(volumePath_, lumora::archive::VolumeSuffix(markerName));
        if (FileExists(path)) {
            volumes_.push_back(std::make_unique<lumora::StdioFileStream>(
                path, lumora::StdioFileStream::Mode::Read));
            next = volumes_.back().get();
            volumePath_ = path;
            volumeEnd_ = next->Size();
            ++volume_;
            record.text += ": continues in " + path;
        } else {
            record.text += ": the next volume " + path + " is missing";
            problems.push_back(where + ": the next volume " + path + " is missing");
        }
    }
    records.push_back(record);
    return next;
}

void ArchiveSurvey::End(std::int64_t offset)
{
    endOffset = offset;
    endLimit = volumeEnd_;
    endVolume = volume_;
}

}  // namespace setuppack
