// The look-ups of SettingsFields.h that the packing tool uses, apart from the
// table itself, which the installer reads Setup.ins by: a program that links
// the table alone gets none of them.
#include "settings/SettingsFields.h"

#include "base/AsciiText.h"

namespace lumora {

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
