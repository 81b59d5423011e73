// setuppack list: the archive of an installer, entry by entry.
#include <cstdio>
#include <string>
#include <utility>

#include "ArchiveSurvey.h"
#include "Command.h"
#include "OpenArchive.h"
#include "archive/DosDateTime.h"
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

std::string BlocksText(const SurveyedEntry& entry)
{
    const std::pair<int, const char*> kinds[] = {{entry.rawBlocks, " raw"},
                                                 {entry.storedBlocks, " stored"},
                                                 {entry.zlibBlocks - entry.storedBlocks, " deflated"}};
    std::string text;
    for (const auto& [count, kind] : kinds)
        if (count > 0)
            text += (text.empty() ? "" : " + ") + std::to_string(count) + kind;
    return text.empty() ? "none" : text;
}

void PrintRecord(const ArchiveSurvey& survey, const SurveyRecord& record)
{
    const long long offset = record.offset;
    switch (record.kind) {
    case SurveyRecord::Kind::PassedOver:
        std::printf("%10lld  (name length %d: passed over)\n", offset, int(record.nameLength));
        return;
    case SurveyRecord::Kind::VolumeMarker:
        std::printf("%10lld  (%s)\n", offset, record.text.c_str());
        return;
    case SurveyRecord::Kind::Entry: break;
    }
    const SurveyedEntry& entry = survey.entries[record.entry];
    const std::string size = entry.damaged ? "?" : std::to_string(entry.size);
    std::string name = entry.info.name;
    if (entry.info.fileList)
        name += "  (file list: never restored)";
    if (entry.info.volume > 1)
        name += "  (in volume " + std::to_string(entry.info.volume) + ")";
    std::printf("%10lld  %s  %10s  %-20s %s\n", offset, StampText(entry.info.stamp).c_str(),
                size.c_str(), BlocksText(entry).c_str(), name.c_str());
}

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
    ArchiveSurvey survey(operand.path, location);
    survey.Run(file);

    std::printf("%s: %s\n", operand.path.c_str(), DescribeLocation(location).c_str());
    if (survey.headerRead)
        std::printf("title \"%s\", total size %d, file count %d\n", survey.header.title.c_str(),
                    int(survey.header.totalSize), int(survey.header.fileCount));
    std::printf("%10s  %-19s  %10s  %-20s %s\n", "offset", "stamp", "size", "blocks", "stored name");
    for (const SurveyRecord& record : survey.records)
        PrintRecord(survey, record);
    if (survey.endOffset >= 0 && survey.endVolume > 1)
        std::printf("%10lld  (end of archive, in volume %d)\n",
                    static_cast<long long>(survey.endOffset), survey.endVolume);
    else if (survey.endOffset >= 0)
        std::printf("%10lld  (end of archive)\n", static_cast<long long>(survey.endOffset));

    if (survey.problems.empty())
        return 0;
    for (const std::string& problem : survey.problems)
        std::fprintf(stderr, "setuppack: %s: %s\n", operand.path.c_str(), problem.c_str());
    std::fprintf(stderr, "setuppack: \"setuppack verify\" checks the whole file\n");
    return 1;
}

}  // namespace setuppack
