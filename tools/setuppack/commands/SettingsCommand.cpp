// setuppack settings: writes a Setup.ins from named fields, or shows one
// (also the one in an installer) as the installer reads it, with what the
// checks of build find in it.
#include <array>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <optional>
#include <string>
#include <vector>

#include "Command.h"
#include "OpenArchive.h"
#include "author/ProductRules.h"
#include "author/ScopeRules.h"
#include "author/SettingsRules.h"
#include "input/NativePath.h"
#include "payload/ArchiveLocation.h"
#include "payload/InstallerPayload.h"
#include "payload/PayloadCheck.h"
#include "base/PathText.h"
#include "base/PrintableText.h"
#include "base/StdioFileStream.h"
#include "settings/InstallScope.h"

namespace setuppack {

namespace {

using lumora::SettingsFields;
using lumora::kSettingsFieldCount;

using Values = std::array<std::string, kSettingsFieldCount>;

// A new Setup.ins: the title on a blue gradient, no picture, the wizard
// opening on its folder page.
const Values kDefaults = {"False", "Screensaver Setup", "Screensaver.scr", "", "False", "ReadMe.txt", "False",
                          "False", "NONE", "nil", "False", "0", "0", "255", "0"};

// A Setup.ins of its own, or the one in an installer's payload.
struct SettingsSource {
    std::optional<std::string> content;  // none: the installer has no Setup.ins
    std::string shown;
    std::optional<PayloadFiles> payload;
    // An installer's check record says whether its texts are UTF-8, and
    // one of 8-bit texts may record their code page.
    lumora::AuthorEncoding texts = lumora::AuthorEncoding::SystemCodePage;
    std::optional<unsigned> recorded;
};

// An installer is a Windows program, which starts with "MZ"; anything else
// is taken for a Setup.ins (whose first line is a flag).
bool IsProgram(lumora::Stream& file)
{
    char magic[2] = {};
    return file.Read(magic, sizeof magic) == sizeof magic && magic[0] == 'M' && magic[1] == 'Z';
}

SettingsSource LoadSettings(const std::string& path)
{
    lumora::StdioFileStream file(path, lumora::StdioFileStream::Mode::Read);
    if (!IsProgram(file))
        return {ReadCheckedFile(path), path, std::nullopt, lumora::AuthorEncoding::SystemCodePage, std::nullopt};
    ArchiveLocation location;
    try {
        location = LocateArchive(file, false);
    } catch (const lumora::Error& e) {
        throw lumora::Error(path + ": " + e.what());
    }
    SettingsSource source{std::nullopt, path, InstallerPayload(path, location), location.texts,
                          RecordedCodePage(file, location)};
    if (const PayloadFile* settingsFile = source.payload->Find("Setup.ins")) {
        source.content = settingsFile->read();
        source.shown = settingsFile->shown;
    }
    return source;
}

// The values as UTF-8 text, decoded with the code page; one that is no text
// in it is shown byte by byte (and a warning follows).
int ShowSettings(const std::string& path, const Arguments& args)
{
    const SettingsSource source = LoadSettings(path);
    const CodePage codePage = CodePageOf(args, source.texts, source.recorded);
    lumora::SetupSettings settings;
    if (source.content)
        lumora::ReadSetupSettings(*source.content, settings);
    for (const lumora::SettingsField& field : SettingsFields()) {
        const std::string value = lumora::FieldValueText(settings, field);
        const std::optional<std::string> text = codePage.Decode(value);
        std::printf("%s=%s\n", field.name, text ? ShownText(*text).c_str() : ShownText(value).c_str());
    }
    Findings findings;
    if (source.payload) {
        // The author's product, when the installer carries it; what is
        // wrong with it is among the payload's findings.
        Findings alsoInThePayload;
        if (const auto product = CheckProductFile(*source.payload, codePage, alsoInThePayload))
            for (const std::string& line : ProductLines(*product))
                std::printf("%s\n", line.c_str());
        // The installation's scope, when it is the user's.
        if (InstallsPerUser(*source.payload))
            std::printf("Scope=%s\n", lumora::kUserScope);
        findings = CheckPayload(*source.payload, codePage);
    } else {
        CheckSettingsText(*source.content, source.shown, codePage, findings);
    }
    PrintFindings(findings);
    return findings.problems.empty() ? 0 : 1;
}

// The values of --from FILE as the installer reads them, and how messages
// name their file; a file it cannot read in full is refused.
struct Start {
    Values values;
    std::string shown;
    std::optional<CodePage> from;  // the code page they were converted from
};

// Lines ended by a line feed alone, as text editors of other systems write
// them, ended by CR LF as the installer reads them.
std::string WithCrLf(const std::string& content)
{
    std::string converted;
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (content[i] == '\n' && (i == 0 || content[i - 1] != '\r'))
            converted += '\r';
        converted += content[i];
    }
    return converted;
}

// The code page the texts of --from are written in: --from-codepage, else
// what an installer says of itself, else the one written.
CodePage SourceCodePage(const Arguments& args, const SettingsSource& source, const CodePage& codePage)
{
    const std::optional<CodePage> named = CodePageNamed(args, "--from-codepage");
    if (source.payload) {
        const bool utf8 = source.texts == lumora::AuthorEncoding::Utf8;
        if (named && named->IsUtf8() != utf8)
            throw UsageError(source.shown + " is an installer of " + (utf8 ? "UTF-8" : "8-bit") +
                             " texts, as its check record says: --from-codepage cannot make them otherwise");
        if (named)
            return *named;
        if (utf8)
            return CodePage(CodePage::kUtf8);
        if (source.recorded)
            return CodePage(*source.recorded);
        if (codePage.IsUtf8())
            throw UsageError(source.shown + " is an installer of 8-bit texts that records no code page: give "
                             "--from-codepage N, its code page, to start from it");
    }
    return named ? *named : codePage;
}

Start ValuesFrom(const Arguments& args, const std::string& path, const CodePage& codePage)
{
    SettingsSource source = LoadSettings(path);
    if (!source.content)
        throw lumora::Error(path + " holds no Setup.ins");
    const CodePage from = SourceCodePage(args, source, codePage);
    if (from.Number() != codePage.Number())
        source.content = ConvertText(*source.content, from, codePage, source.shown);
    if (std::string converted = WithCrLf(*source.content); converted != *source.content) {
        PrintFindings({{}, {{source.shown, "its lines end in line feeds alone; they are read as lines, and "
                                           "written ended by CR LF as the installer reads them"}}});
        source.content = std::move(converted);
    }
    Findings findings;
    const CheckedSettings checked = CheckSettingsText(*source.content, source.shown, codePage, findings);
    if (!checked.complete) {
        PrintFindings({findings.problems, {}});
        throw lumora::Error("the installer does not read " + path + " in full; mend it there");
    }
    Start start{{}, source.shown, from};
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i)
        start.values[i] = lumora::FieldValueText(checked.settings, SettingsFields()[i]);
    return start;
}

std::size_t FieldOfAssignment(const std::string& assignment)
{
    const auto equals = assignment.find('=');
    if (equals == std::string::npos)
        throw UsageError("--set takes NAME=VALUE, not " + lumora::PrintableText(assignment));
    const lumora::SettingsField* field = lumora::FindSettingsField(assignment.substr(0, equals));
    if (!field) {
        std::string names;
        for (const lumora::SettingsField& f : SettingsFields())
            names += std::string(names.empty() ? "" : ", ") + f.name;
        throw UsageError("--set " + lumora::PrintableText(assignment.substr(0, equals)) +
                         ": no such field; the fields are " + names);
    }
    return static_cast<std::size_t>(field - SettingsFields().data());
}

int WriteSettings(const Arguments& args, const std::string& out, const CodePage& codePage)
{
    const std::string from = args.Value("--from");
    // The values of --from are bytes as the installer reads them; those of
    // --set are UTF-8 text, written in the installer's code page.
    const Start start = from.empty() ? Start{kDefaults, {}, std::nullopt} : ValuesFrom(args, from, codePage);
    Values values = start.values;
    std::array<std::string, kSettingsFieldCount> origins;
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i)
        origins[i] = from.empty() ? std::string("default ") + SettingsFields()[i].name
                                  : start.shown + ": " + FieldPlace(i);
    Findings findings;
    for (const std::string& assignment : args.Values("--set")) {
        const std::size_t i = FieldOfAssignment(assignment);
        const std::string text = assignment.substr(assignment.find('=') + 1);
        origins[i] = std::string("--set ") + SettingsFields()[i].name;
        std::string missing;
        if (std::optional<std::string> bytes = codePage.Encode(text, &missing)) {
            values[i] = *bytes;
            // A line break has a message of its own, below.
            const lumora::SettingsField& field = SettingsFields()[i];
            if (field.kind == lumora::FieldKind::Text && ValueProblem(field, *bytes).empty())
                if (std::string misleading = MisleadingCharacterProblem(text, KindOf(field)); !misleading.empty())
                    findings.Refusal(origins[i], Quoted(text) + " " + misleading);
        } else
            findings.Problem(origins[i], codePage.Name() + " has no place for the character " + missing +
                                             ", and the installer shows nothing else (--codepage names the code "
                                             "page of its systems; " + kEverySystemAdvice + ")");
    }

    // Each value must come back as written; then the file as a whole must
    // pass the checks of build.
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i)
        if (std::string problem = ValueProblem(SettingsFields()[i], values[i]); !problem.empty())
            findings.Problem(origins[i], problem);
    std::string content;
    for (const std::string& value : values)
        content += value + "\r\n";
    if (findings.problems.empty())
        CheckSettingsText(content, out, codePage, findings);
    PrintFindings(findings);
    if (!findings.problems.empty()) {
        std::fprintf(stderr, "setuppack: %s was not written\n", lumora::PrintableText(out).c_str());
        return 1;
    }
    // The read-me, in the code page of the values it came with, converted as
    // they were, beside OUT under its name.
    std::string readMe;
    std::string readMeOut;
    if (const std::string path = args.Value("--readme"); !path.empty()) {
        const std::string folder = out.substr(0, out.find_last_of("/\\") + 1);
        readMeOut = folder + std::string(lumora::FileNamePart(path));
        std::error_code ignored;
        if (std::filesystem::equivalent(NativePath(path), NativePath(readMeOut), ignored))
            throw UsageError("--readme " + path + " would be written over itself: write OUT into another folder");
        readMe = ReadCheckedFile(path);
        const std::optional<CodePage> named = CodePageNamed(args, "--from-codepage");
        const CodePage source = start.from ? *start.from : named ? *named : codePage;
        if (source.Number() != codePage.Number())
            readMe = ConvertText(readMe, source, codePage, path);
    }
    lumora::StdioFileStream file(out, lumora::StdioFileStream::Mode::Create);
    file.WriteBuffer(content.data(), content.size());
    file.Close();
    if (!readMeOut.empty()) {
        lumora::StdioFileStream written(readMeOut, lumora::StdioFileStream::Mode::Create);
        written.WriteBuffer(readMe.data(), readMe.size());
        written.Close();
    }
    return 0;
}

}  // namespace

int RunSettings(const Arguments& args)
{
    const std::string out = args.Value("-o");
    if (!out.empty()) {
        if (!args.operands.empty())
            throw UsageError("settings -o takes no FILE; --from FILE starts from one");
        return WriteSettings(args, out, CodePageOf(args));
    }
    if (!args.Value("--from").empty() || !args.Values("--set").empty() || !args.Value("--readme").empty() ||
        !args.Value("--from-codepage").empty())
        throw UsageError("--from, --from-codepage, --readme and --set need -o OUT");
    if (args.operands.size() != 1)
        throw UsageError("settings shows one FILE, or writes one with -o OUT");
    return ShowSettings(args.operands.front(), args);
}

}  // namespace setuppack
