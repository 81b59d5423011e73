#include "settings/SetupFile.h"

#include "base/TextFileReader.h"

namespace lumora {

bool ReadSetupSettings(const std::string& content, SetupSettings& settings)
{
    SettingsReading reading;
    return ReadSetupSettings(content, settings, reading);
}

bool ReadSetupSettings(const std::string& content, SetupSettings& settings, SettingsReading& reading)
{
    reading = SettingsReading{};
    TextFileReader in(content);
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
        const SettingsField& field = SettingsFields()[i];
        const int line = in.Line();
        if (field.kind != FieldKind::Number) {
            reading.lines[i] = in.AtEnd() ? 0 : line;
            settings.*field.text = in.ReadLine();
            continue;
        }
        TextFileReader::NumberToken token;
        const std::optional<std::int32_t> value = in.ReadIntegerLine(&token);
        reading.lines[i] = token.line;
        if (!value) {
            reading.failedField = i;
            reading.failedText = token.text;
            return false;
        }
        settings.*field.number = *value;
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

std::optional<std::string> PictureFile(const SetupSettings& settings)
{
    if (settings.ImageFile == kNoPicture || settings.CustomImageFile == kNoPicture)
        return std::nullopt;
    return IsSet(settings.UseCustomImage) ? settings.CustomImageFile : settings.ImageFile;
}

}  // namespace lumora
