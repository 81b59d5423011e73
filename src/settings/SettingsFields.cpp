#include "settings/SettingsFields.h"

namespace lumora {

namespace {

constexpr SettingsField Text(const char* name, std::string SetupSettings::*member)
{
    return {name, FieldKind::Text, member, nullptr};
}

constexpr SettingsField Flag(const char* name, std::string SetupSettings::*member)
{
    return {name, FieldKind::Flag, member, nullptr};
}

constexpr SettingsField Number(const char* name, std::int32_t SetupSettings::*member)
{
    return {name, FieldKind::Number, nullptr, member};
}

// Made by the compiler, not at run time: no code builds the table.
constexpr std::array<SettingsField, kSettingsFieldCount> kFields = {
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

}  // namespace

const std::array<SettingsField, kSettingsFieldCount>& SettingsFields() { return kFields; }

}  // namespace lumora
