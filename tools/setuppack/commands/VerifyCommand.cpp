// setuppack verify: exit code 0 only for a sound installer (or bare archive):
// its archive, and the payload as the installer will use it.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "Command.h"
#include "OpenArchive.h"
#include "Problems.h"
#include "author/ProductRules.h"
#include "author/ScopeRules.h"
#include "image/ImageResources.h"
#include "image/Manifest.h"
#include "payload/ArchiveSurvey.h"
#include "payload/InstallerPayload.h"
#include "payload/PayloadCheck.h"
#include "base/StdioFileStream.h"

namespace setuppack {

namespace {

// Checks of the archive as a whole, after the walk.
void CheckWhole(const ArchiveSurvey& survey, const ArchiveLocation& location, std::vector<std::string>& problems)
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
    if (survey.sumOfSizes != survey.header.totalSize)
        problems.push_back("the header's total size is " + std::to_string(survey.header.totalSize) +
                           ", but the files hold " + std::to_string(survey.sumOfSizes) + " bytes");
}

// How the installer's texts are written, as its check record and the code
// page it records say.
std::string TextsLine(const CodePage& codePage, std::optional<unsigned> recorded)
{
    if (codePage.IsUtf8())
        return "UTF-8 (shown as written on every system)";
    if (recorded && *recorded == codePage.Number())
        return "8-bit, " + codePage.Name() + " as the installer records (shown as written on every system)";
    return "8-bit, read as " + codePage.Name() +
           (recorded ? ", though the installer records code page " + std::to_string(*recorded)
                     : std::string(" (shown as written only on systems of that code page)"));
}

// The execution level that the installer's manifest asks for; empty when
// it names none or its image cannot be read as a program.
std::string InstallerExecutionLevel(lumora::Stream& file, const ArchiveLocation& location)
{
    for (const Resource& resource : InstallerResources(file, location))
        if (!resource.type.named && resource.type.id == kManifestType)
            return ExecutionLevel(resource.data);
    return {};
}

}  // namespace

int RunVerify(const Arguments& args)
{
    const ArchiveOperand operand = ArchiveOperandOf(args);
    CodePage codePage = CodePageOf(args);
    lumora::StdioFileStream file(operand.path, lumora::StdioFileStream::Mode::Read);
    std::vector<std::string> problems;
    std::uint64_t more = 0;
    ArchiveLocation location;
    try {
        location = LocateArchive(file, operand.bare);
    } catch (const lumora::Error& e) {
        problems.push_back(e.what());
    }
    std::uint64_t files = 0;
    std::int64_t bytes = 0;
    if (problems.empty()) {
        ArchiveSurvey survey(operand.path, location);
        survey.Run(file);
        problems = std::move(survey.problems);
        more = survey.moreProblems;
        CheckWhole(survey, location, problems);
        if (std::string problem = CheckRecordProblem(file, location); !problem.empty())
            problems.push_back(std::move(problem));
        files = survey.files;
        bytes = survey.sumOfSizes;
    }
    // The payload as the installer will use it, once its archive is sound.
    std::size_t payloadProblems = 0;
    std::vector<std::string> product;
    bool perUser = false;
    std::optional<unsigned> recorded;
    if (problems.empty() && location.installer) {
        recorded = RecordedCodePage(file, location);
        codePage = InstallerCodePage(args, file, location);
        const PayloadFiles payload = InstallerPayload(operand.path, location);
        Findings findings = CheckPayload(payload, codePage);
        perUser = InstallsPerUser(payload);
        if (std::string problem = ManifestScopeProblem(perUser, InstallerExecutionLevel(file, location));
            !problem.empty())
            findings.Problem(operand.path, std::move(problem));
        PrintFindings(findings);
        payloadProblems = findings.problems.size();
        Findings alsoInThePayload;
        if (const auto values = CheckProductFile(payload, codePage, alsoInThePayload))
            product = ProductLines(*values);
    }

    if (problems.empty() && payloadProblems == 0) {
        std::printf("%s: sound: %s, %llu file%s, %lld bytes\n", operand.path.c_str(),
                    DescribeLocation(location).c_str(), static_cast<unsigned long long>(files),
                    files == 1 ? "" : "s", static_cast<long long>(bytes));
        if (location.installer)
            std::printf("  texts: %s\n", TextsLine(codePage, recorded).c_str());
        // The author's product, as the installer's uninstall entry shows it.
        for (const std::string& line : product)
            std::printf("  %s\n", line.c_str());
        if (perUser)
            std::printf("  installs for: the current user only, with the user's own rights (asInvoker)\n");
        return 0;
    }
    PrintProblems(operand.path, problems, more);
    const std::uint64_t total = problems.size() + more + payloadProblems;
    std::fprintf(stderr, "setuppack: %s is not sound (%llu problem%s)\n", operand.path.c_str(),
                 static_cast<unsigned long long>(total), total == 1 ? "" : "s");
    return 1;
}

}  // namespace setuppack
