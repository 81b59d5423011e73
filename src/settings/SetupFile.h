#pragma once
// Reading Setup.ins: fifteen values, one per line, in the order of the
// fields of SetupSettings; lines 1 to 11 are texts, 12 to 15 numbers.
#include <functional>
#include <string>

#include "settings/Globals.h"

namespace lumora {

// Reads the file's content into `settings`, storing each field as soon as it
// is read. Stops at the first line that does not hold a valid number and
// returns false; the fields after it keep what they had. The end of the
// content is no failure: the remaining texts become empty and numbers 0.
bool ReadSetupSettings(const std::string& content, SetupSettings& settings);

// Settles which picture the backdrop uses: with UseCustomImage set,
// ImageFile becomes CustomImageFile when that file exists in the extraction
// folder, else "nil"; otherwise ImageFile stays when its file exists, else
// becomes "nil". CustomImageFile is never changed. `existsInFolder` tells
// whether a file of that name (8-bit text, as the settings hold it) exists in
// the extraction folder.
void CheckPictureNames(SetupSettings& settings, const std::function<bool(const std::string& name)>& existsInFolder);

// The message shown when the settings cannot be read in full.
extern const char* const kSettingsMissingMessage;

}  // namespace lumora
