#pragma once
// Walks a whole archive, inflating every compressed block, and keeps what
// the list and verify commands report: the header, the entries in order with
// their sizes and block counts, the special entries, where the end marker
// lies, and every problem found in the data (with entry, block and offset).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ArchiveLocation.h"
#include "archive/ArchiveWalker.h"

namespace setuppack {

struct SurveyedEntry {
    lumora::archive::EntryInfo info;
    std::int64_t size = 0;  // bytes its blocks yield
    int rawBlocks = 0;
    int zlibBlocks = 0;
    int storedBlocks = 0;   // of the zlib blocks, those holding their bytes uncompressed
    bool damaged = false;   // a compressed block did not inflate completely
};

// One line of the archive, in order.
struct SurveyRecord {
    enum class Kind { Entry, PassedOver, VolumeMarker } kind = Kind::Entry;
    std::int64_t offset = 0;
    std::size_t entry = 0;         // Kind::Entry: index into entries
    std::int32_t nameLength = 0;   // Kind::PassedOver
    std::string text;              // Kind::VolumeMarker: the marker and what followed
};

class ArchiveSurvey : public lumora::archive::ArchiveVisitor {
public:
    // `path` names the file, for messages and to find further volumes of a
    // bare archive; an installer's archive never continues in a volume.
    ArchiveSurvey(std::string path, const ArchiveLocation& location);

    // Walks the archive; a failure of the walk is recorded as a problem.
    void Run(lumora::Stream& file);

    lumora::archive::ArchiveHeader header;
    bool headerRead = false;
    std::vector<SurveyedEntry> entries;
    std::vector<SurveyRecord> records;
    std::vector<std::string> problems;
    bool walkFailed = false;
    std::int64_t endOffset = -1;  // of the end-of-archive marker, once reached
    std::int64_t endLimit = 0;    // where that volume's archive data must end
    int endVolume = 1;            // volume holding the end marker

    // Sum of the sizes of the files (the file list is not a file).
    std::int64_t SumOfSizes() const;

private:
    void Header(const lumora::archive::ArchiveHeader& h) override;
    void PassedOver(std::int32_t nameLength, std::int64_t offset) override;
    void Entry(const lumora::archive::EntryInfo& info) override;
    void Block(const lumora::archive::EntryInfo& info, const lumora::archive::BlockInfo& block) override;
    lumora::Stream* NextVolume(const std::string& markerName, std::int64_t offset) override;
    void End(std::int64_t offset) override;

    void Inflate(SurveyedEntry& entry, const lumora::archive::BlockInfo& block);

    std::string path_;
    std::string volumePath_;
    ArchiveLocation location_;
    std::int64_t volumeEnd_ = 0;
    int volume_ = 1;
    std::vector<std::unique_ptr<lumora::Stream>> volumes_;
    std::vector<unsigned char> output_;
};

}  // namespace setuppack
