#include "SettingsRules.h"

#include "TextCharacters.h"
#include "WindowsFolderPrograms.h"
#include "base/AsciiText.h"
#include "base/IntegerText.h"
#include "base/PathText.h"
#include "settings/StagedNames.h"

namespace setuppack {

namespace {

using lumora::FieldKind;
using lumora::SettingsField;
using lumora::SettingsFields;
using lumora::SetupSettings;

// The base name of the screensaver, which names the uninstaller copy, the
// info file and the uninstall entry, is ScreenSaverFile without its last
// four characters: a dot and a three-letter extension.
bool HasFourCharacterExtension(const std::string& name)
{
    return name.size() > 4 && name[name.size() - 4] == '.';
}

// The installer copies the uninstaller into the Windows folder as the
// base name and ".exe"; a program of Windows by that name would be replaced.
std::string WindowsProgramProblem(const std::string& value, const CodePage& codePage)
{
    const std::string base = value.substr(0, lumora::LastCharactersStart(value, 4, codePage.IsUtf8()));
    const std::string program = WindowsFolderProgram(base);
    if (program.empty())
        return {};
    return Quoted(value) + ": the installer copies the uninstaller into the Windows folder as \"" + program +
           "\", which would replace the Windows program of that name; name the screensaver otherwise";
}

// The installer stages files beside the screensaver under its name and a
// suffix; a name that leaves no room for the suffix cannot be installed.
std::string NameLengthProblem(const std::string& value, const std::optional<std::string>& text)
{
    const std::size_t bytes = text ? text->size() : value.size();
    if (bytes <= lumora::kLongestScreenSaverName)
        return {};
    return Quoted(text ? *text : value) + " takes " + std::to_string(bytes) +
           " bytes as UTF-8: the installer names files beside it up to " +
           std::to_string(lumora::kLongestStagingSuffix) + " characters longer, and a file's name holds at most " +
           std::to_string(lumora::kLongestFileName) + "; shorten it to at most " +
           std::to_string(lumora::kLongestScreenSaverName) + " bytes";
}

bool IsGradient(const SettingsField& field)
{
    return field.number == &SetupSettings::GradientRed || field.number == &SetupSettings::GradientGreen ||
           field.number == &SetupSettings::GradientBlue;
}

// Each gradient runs from 255 down; the installer only asks whether its
// setting is above 0.
constexpr std::int32_t kBrightestLevel = 255;

}  // namespace

std::string ValueProblem(const SettingsField& field, const std::string& value)
{
    if (field.kind == FieldKind::Number) {
        if (lumora::ParseInteger32(value))
            return {};
        return Quoted(value) +
               " is not a number the installer reads (decimal from -2147483648 to 2147483647, or "
               "hexadecimal after $, x or 0x)";
    }
    if (value.find_first_of("\r\n") != std::string::npos)
        return Quoted(value) +
               " holds a line break: the installer ends a line only at a carriage return and keeps a line "
               "feed alone as text";
    if (value.find('\x1a') != std::string::npos)
        return Quoted(value) + " holds a Ctrl-Z, where the installer takes the file to end";
    if (field.kind != FieldKind::Flag)
        return {};
    if (field.text == &SetupSettings::SolidBackground) {
        const std::string upper = lumora::UpperCaseAscii(value);
        if (upper == "TRUE" || upper == "FALSE")
            return {};
        return Quoted(value) + " is neither \"True\" nor \"False\" (in any case)";
    }
    if (value == "True" || value == "False")
        return {};
    return Quoted(value) +
           " is neither \"True\" nor \"False\": the installer compares them exactly, letter case included";
}

TextKind KindOf(const SettingsField& field)
{
    return field.text == &SetupSettings::TitleText || field.text == &SetupSettings::FooterText ? TextKind::Text
                                                                                            : TextKind::Name;
}

std::string FieldPlace(std::size_t index, int line)
{
    return "line " + std::to_string(line > 0 ? line : static_cast<int>(index) + 1) + " (" +
           SettingsFields()[index].name + ")";
}

std::string NotTextWarning(const std::string& what, const CodePage& codePage)
{
    return what + " holds bytes that are no text in " + codePage.Name() +
           ": the installer would show other letters (--codepage names the code page of its systems)";
}

CheckedSettings CheckSettingsText(const std::string& content, const std::string& where, const CodePage& codePage,
                                  Findings& findings)
{
    CheckedSettings checked;
    checked.complete = lumora::ReadSetupSettings(content, checked.settings, checked.reading);
    bool lineFeeds = false;  // in a text: lines ended by a line feed alone
    for (std::size_t i = 0; i < lumora::kSettingsFieldCount; ++i) {
        const SettingsField& field = SettingsFields()[i];
        const int line = checked.reading.lines[i];
        if (checked.reading.failedField == i) {
            findings.Problem(where, FieldPlace(i, line) + ": " + ValueProblem(field, checked.reading.failedText) +
                                        "; it stops reading Setup.ins there and reports a missing file");
            break;
        }
        // What follows a missing or misplaced value is read from the wrong
        // lines too: only the first is reported. Lines ended by a line feed
        // alone run together, which makes the file end early.
        if (line == 0) {
            if (lineFeeds)
                break;
            findings.Problem(where, FieldPlace(i) +
                                        " is missing: the file has fewer than fifteen lines, and the "
                                        "installer reads the missing fields as empty texts and 0");
            break;
        }
        if (!checked.InPlace(i)) {
            findings.Problem(where, FieldPlace(i) + " holds no number: the installer passes over it and takes " +
                                        field.name + " from line " + std::to_string(line));
            break;
        }
        if (field.kind == FieldKind::Number) {
            const std::int32_t value = checked.settings.*field.number;
            if (IsGradient(field) && value > kBrightestLevel)
                findings.Warning(where, FieldPlace(i) + ": " + std::to_string(value) +
                                            " is above 255: the installer only asks whether it is above 0, "
                                            "and the gradient runs from 255 down all the same");
            else if (IsGradient(field) && value < 0)
                findings.Warning(where, FieldPlace(i) + ": " + std::to_string(value) +
                                            " is below 0: the installer draws the gradient only for a value "
                                            "above 0, so it is off, as with 0");
            continue;
        }
        const std::string& value = checked.settings.*field.text;
        lineFeeds = lineFeeds || value.find('\n') != std::string::npos;
        const bool screenSaver = field.text == &SetupSettings::ScreenSaverFile;
        const std::optional<std::string> text = codePage.Decode(value);
        const std::string misleading = text ? MisleadingCharacterProblem(*text, KindOf(field)) : std::string();
        const std::string windowsProgram = screenSaver ? WindowsProgramProblem(value, codePage) : std::string();
        const std::string tooLong = screenSaver ? NameLengthProblem(value, text) : std::string();
        if (std::string problem = ValueProblem(field, value); !problem.empty())
            findings.Problem(where, FieldPlace(i) + ": " + problem +
                                        (value.find('\n') != std::string::npos
                                             ? "; \"setuppack settings --from Setup.ins -o Setup.ins\" writes "
                                               "its lines ended by CR LF"
                                             : ""));
        else if (!misleading.empty())
            findings.Refusal(where, FieldPlace(i) + ": " + Quoted(*text) + " " + misleading);
        else if (!windowsProgram.empty())
            findings.Refusal(where, FieldPlace(i) + ": " + windowsProgram);
        else if (!tooLong.empty())
            findings.Problem(where, FieldPlace(i) + ": " + tooLong);
        else if (screenSaver && !HasFourCharacterExtension(value))
            findings.Problem(where, FieldPlace(i) + ": " + Quoted(value) +
                                        " has no four-character extension such as \".scr\": the installer "
                                        "names the uninstaller copy, the info file and the uninstall entry "
                                        "after it without its last four characters");
        else if (screenSaver && lumora::LowerCaseAscii(value.substr(value.size() - 4)) == ".exe")
            findings.Problem(where, FieldPlace(i) + ": " + Quoted(value) +
                                        " ends in \".exe\": the installer copies the uninstaller Lmunist.exe "
                                        "beside it as " + Quoted(value) +
                                        " too, which would replace the screensaver; name it with \".scr\"");
        else if (screenSaver && lumora::LowerCaseAscii(value.substr(value.size() - 4)) != ".scr")
            findings.Warning(where, FieldPlace(i) + ": " + Quoted(value) +
                                        " does not end in \".scr\": Windows lists only files ending so as "
                                        "screensavers");
        if (!text)
            findings.Warning(where, NotTextWarning(FieldPlace(i) + " " + Quoted(value), codePage));
    }
    return checked;
}

}  // namespace setuppack
