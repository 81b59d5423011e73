#include "settings/SettingsFields.h"

#include "base/AsciiText.h"

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

const SettingsField* FindSettingsField(std::string_view name)
{
    const std::string wanted = UpperCaseAscii(name);
    for (const SettingsField& field : SettingsFields())
        if (UpperCaseAscii(field.name) == wanted)
            return &field;
    return nullptr;
}

std::size_t FieldIndex(std::string SetupSettings::*member)
{
    std::size_t i = 0;
    while (i + 1 < kSettingsFieldCount && SettingsFields()[i].text != member)
        ++i;
    return i;
}

std::string FieldValueText(const SetupSettings& settings, const SettingsField& field)
{
    return field.kind == FieldKind::Number ? std::to_string(settings.*field.number) : settings.*field.text;
}

}  // namespace lumora
