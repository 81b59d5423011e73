// What `setuppack list` and `verify` do with a file, on fuzz input: find the
// archive (the payload trailer, the executable image before a signature)
// and survey it, volumes of a bare archive included, from memory.
//
// Input: see FuzzInput.h. Control byte 0, bit 0: the file is a bare archive
// (else an installer). The first part is the file c:\src\setup.arc; the
// further parts are its volumes c:\src\setup.002, c:\src\setup.003 ...
//
// A solid payload is held against the walker's reading of what its stream
// decompresses to; one that does not decompress whole must not be sound.
//
// Aborts when
//  - a located archive does not lie inside the file, right before the
//    trailer and the signature that end it;
//  - a volume is opened twice, or while more than one other is open;
//  - the survey's entries differ from the walker's (offsets, sizes, damage),
//    it reaches the end where the walker does not (or the other way round),
//    or it calls an archive sound that the walker finds damaged;
//  - it keeps more than kMaxProblems problems, or a problem or a line
//    holds a control character.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "ExpectedEntries.h"
#include "FuzzInput.h"
#include "payload/ArchiveSurvey.h"
#include "archive/ArchiveLayout.h"
#include "base/MemoryStream.h"

using namespace lumora;
using namespace lumora::fuzz;
using setuppack::SurveyRecord;

namespace {

const std::string kFile = "c:\\src\\setup.arc";

[[noreturn]] void Fault(const std::string& what)
{
    std::fprintf(stderr, "survey_fuzz: %s\n", what.c_str());
    std::abort();
}

void CheckPrintable(const std::string& text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            Fault("a control character in \"" + text + "\"");
}

// A volume read from memory that counts itself among the open ones.
class VolumeStream : public MemoryStream {
public:
    VolumeStream(const fuzz::Bytes& bytes, int& open) : MemoryStream(bytes), open_(open) { ++open_; }
    ~VolumeStream() override { --open_; }
    VolumeStream(const VolumeStream&) = delete;
    VolumeStream& operator=(const VolumeStream&) = delete;

private:
    int& open_;
};

// Holds each line of the survey against the walker's entries.
class Lines : public setuppack::SurveyListener {
public:
    explicit Lines(const ExpectedArchive& expected) : expected_(expected) {}

    void Record(const SurveyRecord& record) override
    {
        CheckPrintable(record.text);
        if (record.kind != SurveyRecord::Kind::Entry)
            return;
        const std::size_t k = entries++;
        if (k >= expected_.entries.size())
            Fault("entry " + std::to_string(k) + " surveyed, which the walker does not see");
        const ExpectedEntry& entry = expected_.entries[k];
        if (record.offset != entry.offset || record.info.name != entry.name)
            Fault("entry " + std::to_string(k) + " surveyed at another place than the walker's");
        if (record.damaged == entry.sound)
            Fault("entry " + std::to_string(k) + (record.damaged ? " damaged" : " sound") +
                  " to the survey, not to the walker");
        if (!record.damaged && static_cast<std::uint64_t>(record.size) != entry.size)
            Fault("entry " + std::to_string(k) + " of " + std::to_string(record.size) + " bytes to the survey, " +
                  std::to_string(entry.size) + " to the walker");
    }

    std::size_t entries = 0;

private:
    const ExpectedArchive& expected_;
};

// What a solid payload decompresses to, as far as it does.
struct Decompressed {
    Bytes bytes;
    bool whole = false;     // the stream decompressed completely
    bool tooLarge = false;  // it went on past kMaxContent, where this stopped
};

Decompressed Decompress(const Bytes& file, const setuppack::ArchiveLocation& location)
{
    Decompressed out;
    MemoryStream in(file);
    try {
        setuppack::ArchiveView view(in, location);
        unsigned char buffer[1 << 16];
        while (const std::size_t got = view.Archive().Read(buffer, sizeof buffer)) {
            if (out.bytes.size() + got > kMaxContent) {
                out.tooLarge = true;
                return out;
            }
            out.bytes.insert(out.bytes.end(), buffer, buffer + got);
        }
        out.whole = true;
    } catch (const Error&) {
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const FuzzInput input = SplitInput(data, size, 1);
    const bool bare = input.control[0] & 1;
    MemoryStream file(input.volumes[0]);
    setuppack::ArchiveLocation location;
    try {
        location = setuppack::LocateArchive(file, bare);
    } catch (const Error&) {
        return 0;
    }
    const auto fileSize = static_cast<std::int64_t>(input.volumes[0].size());
    const std::int64_t tail = bare ? 0 : archive::kTrailerSize + location.signatureBytes;
    if (location.start < 0 || location.start > location.end || location.end + tail != fileSize)
        Fault("archive located at " + std::to_string(location.start) + " to " + std::to_string(location.end) +
              " in a file of " + std::to_string(fileSize) + " bytes");
    CheckPrintable(setuppack::DescribeLocation(location));

    std::map<std::string, Bytes> volumes;
    for (std::size_t i = 0; i < input.volumes.size(); ++i)
        volumes.emplace(VolumeFile(kFile, i), input.volumes[i]);
    ExpectedArchive expected;
    if (location.solid) {
        Decompressed archive = Decompress(input.volumes[0], location);
        if (!archive.whole) {
            setuppack::ArchiveSurvey survey(kFile, location, nullptr);
            survey.Run(file);
            if (survey.Sound() && !archive.tooLarge)
                Fault("a solid payload that does not decompress is sound to the survey");
            return 0;
        }
        const auto size = static_cast<std::int64_t>(archive.bytes.size());
        expected = ReadExpected({{kFile, std::move(archive.bytes)}}, kFile, 0, size, false);
    } else {
        expected = ReadExpected(volumes, kFile, location.start, location.end, bare);
    }

    Lines lines(expected);
    setuppack::ArchiveSurvey survey(kFile, location, &lines);
    int open = 0;
    std::set<std::string> opened{kFile};
    survey.SetVolumeOpener([&](const std::string& path) -> std::unique_ptr<Stream> {
        if (!opened.insert(path).second)
            Fault("volume " + path + " opened twice");
        if (open > 1)
            Fault(std::to_string(open) + " volumes open while another is opened");
        const auto it = volumes.find(path);
        if (it == volumes.end())
            return nullptr;
        return std::make_unique<VolumeStream>(it->second, open);
    });
    survey.Run(file);

    if (open != 0)
        Fault("a volume left open after the survey");
    if (survey.problems.size() > setuppack::ArchiveSurvey::kMaxProblems)
        Fault(std::to_string(survey.problems.size()) + " problems kept");
    for (const std::string& problem : survey.problems)
        CheckPrintable(problem);
    if ((survey.endOffset >= 0) != expected.reachedEnd)
        Fault(std::string("the survey ") + (expected.reachedEnd ? "misses" : "finds") +
              " an end of the archive that the walker " + (expected.reachedEnd ? "finds" : "does not"));
    if (survey.Sound()) {
        if (lines.entries != expected.entries.size())
            Fault("a sound archive of " + std::to_string(lines.entries) + " entries to the survey, " +
                  std::to_string(expected.entries.size()) + " to the walker");
        for (const ExpectedEntry& entry : expected.entries)
            if (!entry.sound || !entry.whole)
                Fault("a sound archive to the survey with a damaged entry " + entry.name);
    }
    return 0;
}
