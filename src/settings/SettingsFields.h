#pragma once
// The fifteen fields of Setup.ins in file order (line 1 first): each one's
// name, the kind of value it holds and where SetupSettings keeps it. The
// reader of the file and the packing tool, which writes and checks such
// files, both go by this table.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/Globals.h"

namespace lumora {

enum class FieldKind {
    Text,    // the whole line
    Flag,    // the whole line, "True" or "False"
    Number,  // a 32-bit integer (base/IntegerText.h)
};

struct SettingsField {
    const char* name;
    FieldKind kind;
    std::string SetupSettings::*text;     // Text and Flag
    std::int32_t SetupSettings::*number;  // Number
};

inline constexpr std::size_t kSettingsFieldCount = 15;

const std::array<SettingsField, kSettingsFieldCount>& SettingsFields();

// The field of that name, compared without regard to case; nullptr when
// there is none.
const SettingsField* FindSettingsField(std::string_view name);

// The index in SettingsFields() of the text field kept in `member`.
std::size_t FieldIndex(std::string SetupSettings::*member);

// The field's value as the file spells it: the text, or the number in
// decimal.
std::string FieldValueText(const SetupSettings& settings, const SettingsField& field);

}  // namespace lumora
