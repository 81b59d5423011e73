// setuppack list: the archive of an installer, entry by entry.
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "Command.h"
#include "OpenArchive.h"
#include "Problems.h"
#include "author/CodePage.h"
#include "author/Findings.h"
#include "payload/ArchiveSurvey.h"
#include "archive/DosDateTime.h"
#include "base/PrintableText.h"
#include "base/StdioFileStream.h"

namespace setuppack {

namespace {

std::string StampText(std::uint32_t stamp)
{
    const auto t = lumora::archive::UnpackDosDateTime(stamp);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

std::string BlocksText(const SurveyRecord& entry)
{
    const std::pair<std::uint64_t, const char*> kinds[] = {{entry.rawBlocks, " raw"},
                                                 {entry.storedBlocks, " stored"},
                                                 {entry.zlibBlocks - entry.storedBlocks, " deflated"}};
    std::string text;
    for (const auto& [count, kind] : kinds)
        if (count > 0)
            text += (text.empty() ? "" : " + ") + std::to_string(count) + kind;
    return text.empty() ? "none" : text;
}

// Prints each line of the archive as the survey reaches it, names as text
// of the installer's code page.
class Printer : public SurveyListener {
public:
    explicit Printer(const CodePage& codePage) : codePage_(codePage) {}

    void Header(const lumora::archive::ArchiveHeader& header) override
    {
        std::printf("title \"%s\", total size %d, file count %d\n", lumora::PrintableText(header.title).c_str(),
                    int(header.totalSize), int(header.fileCount));
        std::printf("%10s  %-19s  %10s  %-16s %s\n", "offset", "stamp", "size", "blocks", "stored name");
    }

    void Record(const SurveyRecord& record) override
    {
        const long long offset = record.offset;
        switch (record.kind) {
        case SurveyRecord::Kind::PassedOver:
            if (record.count == 1)
                std::printf("%10lld  (name length %d: passed over)\n", offset, int(record.nameLength));
            else
                std::printf("%10lld  (%llu name lengths passed over, the first %d)\n", offset,
                            static_cast<unsigned long long>(record.count), int(record.nameLength));
            return;
        case SurveyRecord::Kind::VolumeMarker:
            std::printf("%10lld  (%s)\n", offset, record.text.c_str());
            return;
        case SurveyRecord::Kind::Entry: break;
        }
        const std::string size = record.damaged ? "?" : std::to_string(record.size);
        const std::optional<std::string> text = codePage_.Decode(record.info.name);
        std::string name = ShownText(text ? *text : record.info.name);
        if (record.info.fileList)
            name += "  (file list: never restored)";
        if (record.info.volume > 1)
            name += "  (in volume " + std::to_string(record.info.volume) + ")";
        std::printf("%10lld  %s  %10s  %-16s %s\n", offset, StampText(record.info.stamp).c_str(), size.c_str(),
                    BlocksText(record).c_str(), name.c_str());
    }

private:
    const CodePage& codePage_;
};

}  // namespace

int RunList(const Arguments& args)
{
    const ArchiveOperand operand = ArchiveOperandOf(args);
    lumora::StdioFileStream file(operand.path, lumora::StdioFileStream::Mode::Read);
    ArchiveLocation location;
    try {
        location = LocateArchive(file, operand.bare);
    } catch (const lumora::Error& e) {
        throw lumora::Error(operand.path + ": " + e.what());
    }
    const CodePage codePage = InstallerCodePage(args, file, location);
    std::printf("%s: %s\n", operand.path.c_str(), DescribeLocation(location).c_str());
    Printer printer(codePage);
    ArchiveSurvey survey(operand.path, location, &printer);
    survey.Run(file);
    if (survey.endOffset >= 0 && survey.endVolume > 1)
        std::printf("%10lld  (end of archive, in volume %d)\n",
                    static_cast<long long>(survey.endOffset), survey.endVolume);
    else if (survey.endOffset >= 0)
        std::printf("%10lld  (end of archive)\n", static_cast<long long>(survey.endOffset));

    if (std::string problem = CheckRecordProblem(file, location); !problem.empty())
        survey.problems.push_back(std::move(problem));
    if (survey.Sound())
        return 0;
    PrintProblems(operand.path, survey.problems, survey.moreProblems);
    std::fprintf(stderr, "setuppack: \"setuppack verify\" checks the whole file\n");
    return 1;
}

}  // namespace setuppack
