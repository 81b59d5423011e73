#include "settings/SettingsFields.h"

namespace lumora {

namespace {

SettingsField Text(const char* name, std::string SetupSettings::*member)
{
    return {name, FieldKind::Text, member, nullptr};
}

SettingsField Flag(const char* name, std::string SetupSettings::*member)
{
    return {name, FieldKind::Flag, member, nullptr};
}

SettingsField Number(const char* name, std::int32_t SetupSettings::*member)
{
    return {name, FieldKind::Number, nullptr, member};
}

}  // namespace

const std::array<SettingsField, kSettingsFieldCount>& SettingsFields()
{
    static const std::array<SettingsField, kSettingsFieldCount> fields = {
        Flag("UseFileNameTitle", &SetupSettings::UseFileNameTitle),
        Text("TitleText", &SetupSettings::TitleText),
        Text("ScreenSaverFile", &SetupSettings::ScreenSaverFile),
        Text("FooterText", &SetupSettings::FooterText),
        Flag("ShowReadMe", &SetupSettings::ShowReadMe),
        Text("ReadMeFile", &SetupSettings::ReadMeFile),
        Flag("RandomPlay", &SetupSettings::RandomPlay),
        Flag("UseCustomImage", &SetupSettings::UseCustomImage),
        Text("CustomImageFile", &SetupSettings::CustomImageFile),
        Text("ImageFile", &SetupSettings::ImageFile),
        Flag("SolidBackground", &SetupSettings::SolidBackground),
        Number("GradientRed", &SetupSettings::GradientRed),
        Number("GradientGreen", &SetupSettings::GradientGreen),
        Number("GradientBlue", &SetupSettings::GradientBlue),
        Number("SolidColor", &SetupSettings::SolidColor),
    };
    return fields;
}

}  // namespace lumora
