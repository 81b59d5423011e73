#pragma once
// Reading Setup.ins: fifteen values, one per line, in the order of
// SettingsFields(); lines 1 to 11 are texts, 12 to 15 numbers.
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "settings/Globals.h"
#include "settings/SettingsFields.h"

namespace lumora {

// Where each value of a reading came from and why the reading stopped, for
// the packing tool's checks; the installer only asks whether it completed.
struct SettingsReading {
    // Per field, the line on which its value was found, counted from 1 as
    // the reader splits lines (at carriage returns); 0 when the content had
    // ended before it. A number may lie further down than its own line: the
    // reader passes over empty lines before a number.
    std::array<int, kSettingsFieldCount> lines{};
    // The number field that holds no valid number (an index into
    // SettingsFields()), and the characters taken as that number; none when
    // the reading completed.
    std::optional<std::size_t> failedField;
    std::string failedText;
};

// Reads the file's content into `settings`, storing each field as soon as it
// is read. Stops at the first line that does not hold a valid number and
// returns false; the fields after it keep what they had. The end of the
// content is no failure: the remaining texts become empty and numbers 0.
bool ReadSetupSettings(const std::string& content, SetupSettings& settings);
// The same reading, telling `reading` where it found each value.
bool ReadSetupSettings(const std::string& content, SetupSettings& settings, SettingsReading& reading);

// Settles which picture the backdrop uses: with UseCustomImage set,
// ImageFile becomes CustomImageFile when that file exists in the extraction
// folder, else "nil"; otherwise ImageFile stays when its file exists, else
// becomes "nil". CustomImageFile is never changed. `existsInFolder` tells
// whether a file of that name (the author's bytes, as the settings hold it)
// exists in the extraction folder.
void CheckPictureNames(SetupSettings& settings, const std::function<bool(const std::string& name)>& existsInFolder);

// The picture's file name in the extraction folder, or none when ImageFile
// or CustomImageFile is "nil": CustomImageFile with UseCustomImage set,
// ImageFile otherwise.
std::optional<std::string> PictureFile(const SetupSettings& settings);

}  // namespace lumora
