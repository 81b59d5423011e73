#include "PayloadCheck.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "author/ProductRules.h"
#include "author/ScopeRules.h"
#include "author/SettingsRules.h"
#include "author/TextCharacters.h"
#include "base/AsciiText.h"
#include "base/Error.h"
#include "base/PrintableText.h"
#include "picture/JpegDecoder.h"

namespace setuppack {

namespace {

using lumora::SetupSettings;

// The screen a backdrop most likely meets at the least: the picture is drawn
// unscaled at the top right, and a larger one is cut off.
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
// ImageMagick's size to fit a picture into that screen.
constexpr const char* kScreen = "1024x768";

// The megabytes of a decoded picture's pixels as the backdrop holds them:
// three bytes a pixel, rows padded to four bytes.
std::uint64_t PixelMegabytes(const lumora::DecodedJpeg& picture)
{
    const std::uint64_t row = (std::uint64_t(picture.width) * 3 + 3) / 4 * 4;
    return (row * std::uint64_t(picture.height) + 999999) / 1000000;
}

// `name` as one word of a command line, in double quotes when it holds
// anything but letters, digits, dots, hyphens and underscores.
std::string ShellWord(const std::string& name)
{
    for (const char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_')
            return "\"" + name + "\"";
    return name;
}

void CheckNamedFiles(const CheckedSettings& checked, const PayloadFiles& payload, const std::string& where,
                     Findings& findings)
{
    const SetupSettings& s = checked.settings;
    const std::size_t screenSaver = lumora::FieldIndex(&SetupSettings::ScreenSaverFile);
    if (checked.InPlace(screenSaver) && !payload.Find(s.ScreenSaverFile))
        findings.Problem(where, FieldPlace(screenSaver) + ": " + Quoted(s.ScreenSaverFile) +
                                    " is not in the payload: the installer cannot copy it");
    const std::size_t readMe = lumora::FieldIndex(&SetupSettings::ReadMeFile);
    if (lumora::IsSet(s.ShowReadMe) && checked.InPlace(readMe) && !payload.Find(s.ReadMeFile))
        findings.Problem(where, FieldPlace(readMe) + ": " + Quoted(s.ReadMeFile) +
                                    " is not in the payload, and ShowReadMe is \"True\": the statements page "
                                    "shows no text");
}

// The kind of picture `bytes` begin with, when it is a common one other
// than JPEG; empty otherwise.
std::string OtherPictureKind(const std::string& bytes)
{
    const auto starts = [&bytes](const char* magic, std::size_t at = 0) {
        return bytes.compare(at, std::char_traits<char>::length(magic), magic) == 0;
    };
    if (starts("\x89PNG"))
        return "a PNG";
    if (starts("GIF8"))
        return "a GIF";
    if (starts("BM"))
        return "a BMP";
    if (starts("II*") || starts("MM\0*"))
        return "a TIFF";
    if (starts("RIFF") && starts("WEBP", 8))
        return "a WebP";
    return {};
}

// The name of a JPEG made of the picture `name`: the same name when it ends
// in .jpg or .jpeg, else the name with its extension changed to .jpg.
std::string JpegName(const std::string& name)
{
    const std::string lower = lumora::LowerCaseAscii(name);
    const auto ends = [&lower](const std::string& tail) {
        return lower.size() >= tail.size() && lower.compare(lower.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (ends(".jpg") || ends(".jpeg"))
        return name;
    const std::size_t dot = name.find_last_of('.');
    return (dot == std::string::npos ? name : name.substr(0, dot)) + ".jpg";
}

// Decodes the picture as the backdrop does and tells what keeps it from
// being shown whole.
void CheckPictureData(const PayloadFile& picture, const std::string& name, const std::string& place,
                      const std::string& where, Findings& findings)
{
    std::string bytes;
    try {
        bytes = picture.read();
        const lumora::DecodedJpeg decoded =
            lumora::DecodeJpeg(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        if (decoded.warnings > 0)
            findings.Problem(where, place + ": " + Quoted(name) + " is damaged (" + decoded.firstWarning +
                                        "): the installer would show it with grey or garbled parts; save it "
                                        "whole again");
        else if (decoded.width > kScreenWidth || decoded.height > kScreenHeight)
            findings.Warning(where, place + ": " + Quoted(name) + " is " + std::to_string(decoded.width) + " x " +
                                        std::to_string(decoded.height) + " pixels, larger than a " +
                                        std::to_string(kScreenWidth) + " x " + std::to_string(kScreenHeight) +
                                        " screen: the backdrop draws it unscaled, part of it is cut off, and the "
                                        "installer holds its " + std::to_string(PixelMegabytes(decoded)) +
                                        " MB of pixels in memory; make it fit, for example with: convert " +
                                        ShellWord(name) + " -resize " + kScreen + " " + ShellWord(name));
    } catch (const lumora::Error& e) {
        const std::string jpeg = JpegName(name);
        if (const std::string kind = OtherPictureKind(bytes); !kind.empty())
            findings.Problem(where, place + ": " + Quoted(name) + " is " + kind +
                                        " picture: the picture must be a JPEG; make one, for example with "
                                        "\"convert " + name + " " + jpeg + "\"" +
                                        (jpeg == name ? "" : ", and name " + jpeg + " here and in the payload"));
        else
            findings.Problem(where, place + ": " + Quoted(name) + " is not a JPEG the installer can show: " +
                                        e.what() +
                                        "; it shows baseline and progressive JPEG pictures in grey or colour (RGB "
                                        "or YCbCr), not CMYK: save it so, for example with \"convert " + name +
                                        " -colorspace sRGB " + jpeg + "\"");
    }
}

// The picture the settings select, found in the payload by the installer's
// own rules (CheckPictureNames, PictureFile), unless it is "nil".
void CheckPicture(const CheckedSettings& checked, const PayloadFiles& payload, const std::string& where,
                  Findings& findings)
{
    const bool custom = lumora::IsSet(checked.settings.UseCustomImage);
    const std::size_t customField = lumora::FieldIndex(&SetupSettings::CustomImageFile);
    const std::size_t field = custom ? customField : lumora::FieldIndex(&SetupSettings::ImageFile);
    if (!checked.InPlace(field))
        return;
    const std::string& selected = custom ? checked.settings.CustomImageFile : checked.settings.ImageFile;
    if (selected == lumora::kNoPicture)
        return;
    SetupSettings settled = checked.settings;
    lumora::CheckPictureNames(settled, [&](const std::string& name) { return payload.Find(name) != nullptr; });
    const auto file = lumora::PictureFile(settled);
    if (settled.ImageFile == lumora::kNoPicture)
        findings.Problem(where, FieldPlace(field) + ": " + Quoted(selected) +
                                    " is not in the payload: the backdrop shows no picture" +
                                    (custom ? "; UseCustomImage is \"True\", which selects CustomImageFile: put " +
                                                  selected + " in the payload, or set UseCustomImage=False to "
                                                  "show ImageFile"
                                            : ""));
    else if (!file)
        findings.Problem(where, FieldPlace(customField) + ": \"nil\" keeps the backdrop from showing "
                                    "any picture, also ImageFile " + Quoted(selected));
    else
        CheckPictureData(*payload.Find(*file), *file, FieldPlace(field), where, findings);
}

// The read-me the statements page shows.
void CheckReadMeText(const CheckedSettings& checked, const PayloadFiles& payload, const CodePage& codePage,
                     Findings& findings)
{
    const PayloadFile* readMe = payload.Find(checked.settings.ReadMeFile);
    if (!lumora::IsSet(checked.settings.ShowReadMe) || !readMe)
        return;
    try {
        if (!codePage.Decode(readMe->read()))
            findings.Warning(readMe->shown, NotTextWarning("the read-me", codePage));
    } catch (const lumora::Error& e) {
        findings.Problem(readMe->shown, std::string("cannot be read: ") + e.what());
    }
}

bool BeyondAscii(const std::string& bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// 8-bit texts beyond ASCII show as written only on systems of their code
// page, unless the installer records it; said once, for the first such text
// the installer shows.
void CheckEverySystem(const CheckedSettings& checked, const PayloadFiles& payload, const CodePage& codePage,
                      const std::string& where, Findings& findings)
{
    if (codePage.IsUtf8())
        return;
    std::vector<std::pair<std::string, std::string>> shown;  // place, bytes
    for (std::string SetupSettings::*member :
         {&SetupSettings::TitleText, &SetupSettings::FooterText, &SetupSettings::ScreenSaverFile}) {
        const std::size_t i = lumora::FieldIndex(member);
        if (checked.InPlace(i))
            shown.emplace_back(FieldPlace(i), checked.settings.*member);
    }
    const PayloadFile* readMe = payload.Find(checked.settings.ReadMeFile);
    if (lumora::IsSet(checked.settings.ShowReadMe) && readMe) {
        try {
            shown.emplace_back("the read-me " + Quoted(checked.settings.ReadMeFile), readMe->read());
        } catch (const lumora::Error&) {
            // Said by the read-me's own check.
        }
    }
    for (const auto& [place, bytes] : shown) {
        if (!BeyondAscii(bytes))
            continue;
        // Bytes that are no text of the code page have a warning of their own.
        const std::optional<std::string> text = codePage.Decode(bytes);
        if (!text)
            continue;
        const std::optional<std::string> utf8 = CodePage(CodePage::kUtf8).Decode(bytes);
        if (utf8)
            findings.Warning(where, place + " reads as UTF-8 text " + Quoted(*utf8) + ", which " + codePage.Name() +
                                        " shows as " + Quoted(*text) + ": build with --codepage utf-8");
        else if (!codePage.Recorded())
            findings.Warning(where, place + " " + Quoted(*text) + " is 8-bit text of " + codePage.Name() +
                                        ", which the installer shows as written only on systems of that code "
                                        "page: " + kEverySystemAdvice);
        return;
    }
}

void CheckSettingsFile(const PayloadFile& settingsFile, const PayloadFiles& payload, const CodePage& codePage,
                       Findings& findings)
{
    std::string content;
    try {
        content = settingsFile.read();
    } catch (const lumora::Error& e) {
        findings.Problem(settingsFile.shown, std::string("cannot be read: ") + e.what());
        return;
    }
    const CheckedSettings checked = CheckSettingsText(content, settingsFile.shown, codePage, findings);
    CheckNamedFiles(checked, payload, settingsFile.shown, findings);
    CheckPicture(checked, payload, settingsFile.shown, findings);
    CheckReadMeText(checked, payload, codePage, findings);
    CheckEverySystem(checked, payload, codePage, settingsFile.shown, findings);
}

// A file of the payload that looks like the settings under another name.
std::string LookAlikeSettings(const PayloadFiles& payload)
{
    for (const std::string& name : payload.Names())
        if (name.size() > 4 && lumora::LowerCaseAscii(name.substr(name.size() - 4)) == ".ins")
            return "; " + Quoted(name) + " looks like one, but the installer reads only Setup.ins: name it so";
    return {};
}

}  // namespace

Findings CheckPayload(const PayloadFiles& payload, const CodePage& codePage)
{
    Findings findings;
    for (const std::string& name : payload.Names()) {
        const std::optional<std::string> text = codePage.Decode(name);
        if (!text)
            findings.Warning(payload.Find(name)->shown,
                             NotTextWarning("the name it is stored under, " + Quoted(name) + ",", codePage));
        else if (std::string misleading = MisleadingCharacterProblem(*text, TextKind::Name); !misleading.empty())
            findings.Refusal(payload.Find(name)->shown,
                             "the name it is stored under, " + Quoted(*text) + ", " + misleading);
    }
    if (const PayloadFile* settingsFile = payload.Find("Setup.ins"))
        CheckSettingsFile(*settingsFile, payload, codePage, findings);
    else
        findings.Problem(payload.Shown(), "no Setup.ins in the payload: the installer reports a missing file and "
                                          "shows none of the settings" + LookAlikeSettings(payload));
    if (!payload.Find(lumora::kUninstallerFile))
        findings.Problem(payload.Shown(), "no Lmunist.exe in the payload: the installer copies it as the "
                                          "screensaver's uninstaller and stops with \"Cannot open file\" "
                                          "without it; the sample uninstaller Lmunist.exe comes with the kit");
    if (!payload.Find("Install.exe"))
        findings.Warning(payload.Shown(), "no Install.exe in the payload: the installer tries to start it "
                                          "and goes on without it");
    CheckScopeFile(payload, CheckProductFile(payload, codePage, findings), findings);
    return findings;
}

bool PassesPayloadChecks(const PayloadFiles& payload, const CodePage& codePage, bool force)
{
    const Findings findings = CheckPayload(payload, codePage);
    PrintFindings(findings, force);
    const std::size_t count = findings.problems.size();
    const auto never = static_cast<std::size_t>(std::count_if(
        findings.problems.begin(), findings.problems.end(), [](const Finding& f) { return !f.forceable; }));
    if (count == 0 || (force && never == 0))
        return true;
    const std::string shown = lumora::PrintableText(payload.Shown());
    if (never == 0)
        std::fprintf(stderr, "setuppack: %s was not written: %zu problem%s (--force writes it anyway)\n",
                     shown.c_str(), count, count == 1 ? "" : "s");
    else
        std::fprintf(stderr,
                     "setuppack: %s was not written: %zu problem%s, %zu of them not to be forced: the installer "
                     "would replace a program of Windows or show a text otherwise than it is\n",
                     shown.c_str(), count, count == 1 ? "" : "s", never);
    return false;
}

}  // namespace setuppack
