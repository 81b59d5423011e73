// Reads the input as a Setup.ins file, as the installer does once the
// payload is out, and settles its picture names; converts it as setuppack
// settings --from-codepage does.
//
// Aborts when
//  - settings that were read in full, written back one per line (CR LF),
//    do not read back as the same settings;
//  - the picture settling gives ImageFile anything but its own value,
//    CustomImageFile or "nil", asks about a file outside the extraction
//    folder, or changes CustomImageFile;
//  - text converted from code page 1250 or 1253 to UTF-8 is not refused and
//    does not convert back to the same bytes.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "author/CodePage.h"
#include "base/Error.h"
#include "settings/SetupFile.h"

using namespace lumora;

namespace {

[[noreturn]] void Fault(const std::string& what)
{
    std::fprintf(stderr, "setup_ins_fuzz: %s\n", what.c_str());
    std::abort();
}

// The text fields in the order of the file's lines 1 to 11.
std::array<const std::string*, 11> Texts(const SetupSettings& s)
{
    return {&s.UseFileNameTitle, &s.TitleText,  &s.ScreenSaverFile, &s.FooterText,      &s.ShowReadMe,
            &s.ReadMeFile,       &s.RandomPlay, &s.UseCustomImage,  &s.CustomImageFile, &s.ImageFile,
            &s.SolidBackground};
}

std::array<std::int32_t, 4> Numbers(const SetupSettings& s)
{
    return {s.GradientRed, s.GradientGreen, s.GradientBlue, s.SolidColor};
}

std::string Written(const SetupSettings& s)
{
    std::string text;
    for (const std::string* field : Texts(s))
        text += *field + "\r\n";
    for (const std::int32_t n : Numbers(s))
        text += std::to_string(n) + "\r\n";
    return text;
}

bool Same(const SetupSettings& a, const SetupSettings& b)
{
    const auto left = Texts(a);
    const auto right = Texts(b);
    for (std::size_t i = 0; i < left.size(); ++i)
        if (*left[i] != *right[i])
            return false;
    return Numbers(a) == Numbers(b);
}

}  // namespace

// Converted to UTF-8 and back, the text is itself again, or refused whole.
void ConvertBothWays(const std::string& content, unsigned number)
{
    static const setuppack::CodePage utf8(setuppack::CodePage::kUtf8);
    const setuppack::CodePage page(number);
    std::string converted;
    try {
        converted = setuppack::ConvertText(content, page, utf8, "fuzz");
    } catch (const Error&) {
        return;
    }
    try {
        if (setuppack::ConvertText(converted, utf8, page, "fuzz") != content)
            Fault("code page " + std::to_string(number) + " text converted to UTF-8 and back is other text");
    } catch (const Error& e) {
        Fault(std::string("UTF-8 made of code page ") + std::to_string(number) + " text is refused: " + e.what());
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string content(reinterpret_cast<const char*>(data), size);
    ConvertBothWays(content, 1250);
    ConvertBothWays(content, 1253);
    SetupSettings settings;
    if (!ReadSetupSettings(content, settings))
        return 0;
    SetupSettings again;
    if (!ReadSetupSettings(Written(settings), again) || !Same(settings, again))
        Fault("the settings read do not read back as themselves once written");

    // Which files exist follows from the content, so that the fuzzer steers it.
    const std::string image = settings.ImageFile;
    const std::string custom = settings.CustomImageFile;
    CheckPictureNames(settings, [&](const std::string& name) {
        if (name != image && name != custom)
            Fault("asked about " + name + ", which the settings do not name");
        return size > 0 && (data[0] & 1) != 0 && name.size() % 2 == 0;
    });
    if (settings.CustomImageFile != custom)
        Fault("CustomImageFile changed");
    if (settings.ImageFile != image && settings.ImageFile != custom && settings.ImageFile != kNoPicture)
        Fault("ImageFile became " + settings.ImageFile);
    return 0;
}
