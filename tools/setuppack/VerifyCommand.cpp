// setuppack verify: exit code 0 only for a sound installer (or bare archive).
#include <cstdio>
#include <string>
#include <vector>

#include "ArchiveSurvey.h"
#include "Command.h"
#include "OpenArchive.h"
#include "archive/ArchiveLayout.h"
#include "base/StdioFileStream.h"

namespace setuppack {

namespace {

// Checks of the archive as a whole, after the walk.
void CheckWhole(const ArchiveSurvey& survey, const ArchiveLocation& location,
                std::vector<std::string>& problems)
{
    if (survey.walkFailed || survey.endOffset < 0)
        return;
    const std::int64_t markerEnd = survey.endOffset + 4;
    if (markerEnd != survey.endLimit)
        problems.push_back(
            std::to_string(survey.endLimit - markerEnd) + " bytes lie between the end-of-archive marker at offset " +
            std::to_string(survey.endOffset) + " and " +
            (location.installer ? "the payload trailer at offset " : "the end of the file at offset ") +
            std::to_string(survey.endLimit));
    if (survey.SumOfSizes() != survey.header.totalSize)
        problems.push_back("the header's total size is " + std::to_string(survey.header.totalSize) +
                           ", but the files hold " + std::to_string(survey.SumOfSizes()) + " bytes");
}

}  // namespace

int RunVerify(const Arguments& args)
{
    const ArchiveOperand operand = ArchiveOperandOf(args);
    lumora::StdioFileStream file(operand.path, lumora::StdioFileStream::Mode::Read);
    std::vector<std::string> problems;
    ArchiveLocation location;
    try {
        location = LocateArchive(file, operand.bare);
    } catch (const lumora::Error& e) {
        problems.push_back(e.what());
    }
    std::size_t files = 0;
    std::int64_t bytes = 0;
    if (problems.empty()) {
        ArchiveSurvey survey(operand.path, location);
        survey.Run(file);
        problems = survey.problems;
        CheckWhole(survey, location, problems);
        for (const SurveyedEntry& entry : survey.entries)
            files += entry.info.fileList ? 0 : 1;
        bytes = survey.SumOfSizes();
    }

    if (problems.empty()) {
        std::printf("%s: sound: %s, %zu file%s, %lld bytes\n", operand.path.c_str(),
                    DescribeLocation(location).c_str(), files, files == 1 ? "" : "s",
                    static_cast<long long>(bytes));
        return 0;
    }
    for (const std::string& problem : problems)
        std::fprintf(stderr, "setuppack: %s: %s\n", operand.path.c_str(), problem.c_str());
    std::fprintf(stderr, "setuppack: %s is not sound (%zu problem%s)\n", operand.path.c_str(),
                 problems.size(), problems.size() == 1 ? "" : "s");
    return 1;
}

}  // namespace setuppack
