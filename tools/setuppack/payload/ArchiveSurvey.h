#pragma once
// Walks a whole archive, inflating every compressed block, and hands the list
// and verify commands what they report: the header, each line of the archive
// as soon as it is complete (an entry with its size and block counts, a run
// of passed-over name lengths, a volume marker), where the end marker lies,
// and the problems found in the data (with entry, block and offset).
//
// Memory stays bounded whatever the archive holds: nothing is kept per entry
// or per volume once it has been handed on, only the first kMaxProblems
// problems are kept (the rest are counted), and a volume is closed as soon as
// the walk has moved on to the next.
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ArchiveLocation.h"
#include "archive/ArchiveWalker.h"

namespace setuppack {

// One line of the archive, in order.
struct SurveyRecord {
    enum class Kind { Entry, PassedOver, VolumeMarker } kind = Kind::Entry;
    std::int64_t offset = 0;
    // Kind::Entry
    lumora::archive::EntryInfo info;
    std::int64_t size = 0;           // bytes its blocks yield
    std::uint64_t rawBlocks = 0;
    std::uint64_t zlibBlocks = 0;
    std::uint64_t storedBlocks = 0;  // of the zlib blocks, those holding their bytes uncompressed
    bool damaged = false;            // a compressed block did not inflate completely
    // Kind::PassedOver: a run of `count` negative name lengths, the first
    // of them `nameLength`
    std::uint64_t count = 0;
    std::int32_t nameLength = 0;
    // Kind::VolumeMarker: the marker and what followed
    std::string text;
};

class SurveyListener {
public:
    virtual ~SurveyListener() = default;
    virtual void Header(const lumora::archive::ArchiveHeader&) {}
    virtual void Record(const SurveyRecord&) {}
};

// Opens a further volume of a bare archive, or gives nullptr when there is
// no such file.
using VolumeOpener = std::function<std::unique_ptr<lumora::Stream>(const std::string& path)>;

class ArchiveSurvey : private lumora::archive::ArchiveVisitor {
public:
    static constexpr std::size_t kMaxProblems = 100;

    // `path` names the file, for messages and to find further volumes of a
    // bare archive; an installer's archive never continues in a volume.
    ArchiveSurvey(std::string path, const ArchiveLocation& location, SurveyListener* listener = nullptr);

    // Where further volumes come from; by default the files on the disk.
    void SetVolumeOpener(VolumeOpener opener) { openVolume_ = std::move(opener); }

    // Walks the archive; a failure of the walk is recorded as a problem.
    void Run(lumora::Stream& file);

    lumora::archive::ArchiveHeader header;
    bool headerRead = false;
    std::uint64_t files = 0;          // entries but the file list
    std::int64_t sumOfSizes = 0;      // of those entries
    std::vector<std::string> problems;
    std::uint64_t moreProblems = 0;   // found beyond kMaxProblems
    bool walkFailed = false;
    std::int64_t endOffset = -1;  // of the end-of-archive marker, once reached
    std::int64_t endLimit = 0;    // where that volume's archive data must end
    int endVolume = 1;            // volume holding the end marker

    bool Sound() const { return problems.empty(); }

private:
    void Header(const lumora::archive::ArchiveHeader& h) override;
    void PassedOver(std::int32_t nameLength, std::int64_t offset) override;
    lumora::archive::BlockData Entry(const lumora::archive::EntryInfo& info) override;
    void Block(const lumora::archive::EntryInfo& info, const lumora::archive::BlockInfo& block) override;
    lumora::Stream* NextVolume(const std::string& markerName, std::int64_t offset) override;
    void End(std::int64_t offset) override;

    void Inflate(const lumora::archive::BlockInfo& block);
    void Problem(std::string text);
    // Hands on what is pending: the current entry and the lines after it.
    void Flush();

    std::string path_;
    std::string volumePath_;
    ArchiveLocation location_;
    SurveyListener* listener_;
    std::int64_t volumeEnd_ = 0;
    int volume_ = 1;
    VolumeOpener openVolume_;
    std::set<std::string> visited_;          // volume files, at most 1000
    std::unique_ptr<lumora::Stream> volumeFile_;  // the current volume after the first
    std::vector<unsigned char> output_;
    // Pending lines: an entry stays open until the next one or the end, so
    // that blocks continued in a later volume count with it, also after
    // passed-over name lengths; the lines after it (runs of passed-over name
    // lengths, a volume marker per volume) wait with it, in order.
    bool entryOpen_ = false;
    SurveyRecord entry_;
    std::vector<SurveyRecord> pending_;
};

}  // namespace setuppack
