#include "settings/SetupFile.h"

#include <optional>

#include "base/TextFileReader.h"

namespace lumora {

const char* const kSettingsMissingMessage =
    "A critical file is missing please contact Support quoting : \"SelfExtractErr 1\"";

bool ReadSetupSettings(const std::string& content, SetupSettings& settings)
{
    TextFileReader in(content);
    std::string* const texts[] = {
        &settings.UseFileNameTitle, &settings.TitleText,      &settings.ScreenSaverFile,
        &settings.FooterText,       &settings.ShowReadMe,     &settings.ReadMeFile,
        &settings.RandomPlay,       &settings.UseCustomImage, &settings.CustomImageFile,
        &settings.ImageFile,        &settings.SolidBackground,
    };
    for (std::string* field : texts)
        *field = in.ReadLine();

    std::int32_t* const numbers[] = {&settings.GradientRed, &settings.GradientGreen,
                                     &settings.GradientBlue, &settings.SolidColor};
    for (std::int32_t* field : numbers) {
        const std::optional<std::int32_t> value = in.ReadIntegerLine();
        if (!value)
            return false;
        *field = *value;
    }
    return true;
}

void CheckPictureNames(SetupSettings& settings, const std::function<bool(const std::string& name)>& existsInFolder)
{
    if (IsSet(settings.UseCustomImage)) {
        settings.ImageFile = existsInFolder(settings.CustomImageFile) ? settings.CustomImageFile : kNoPicture;
    } else if (!existsInFolder(settings.ImageFile)) {
        settings.ImageFile = kNoPicture;
    }
}

}  // namespace lumora
