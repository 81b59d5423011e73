#pragma once
// The installer's way of reading Setup.ins, turned into checks: a value it
// would read otherwise than written, and a file whose lines it would read
// otherwise than as fifteen values in order. Both go through the installer's
// own reader (settings/SetupFile.h).
#include <cstddef>
#include <string>

#include "CodePage.h"
#include "Findings.h"
#include "TextCharacters.h"
#include "settings/SetupFile.h"

namespace setuppack {

// Why the installer would read `value` in `field` otherwise than written
// (a line break, a flag other than "True" or "False", a number it rejects);
// empty when it reads it as written.
std::string ValueProblem(const lumora::SettingsField& field, const std::string& value);

// Whether the text field `field` holds a text shown as such (the title, the
// footer) or a file name.
TextKind KindOf(const lumora::SettingsField& field);

// "line 5 (ShowReadMe)", for the field at `index` in SettingsFields(), on
// its own line unless `line` says otherwise.
std::string FieldPlace(std::size_t index, int line = 0);

struct CheckedSettings {
    lumora::SetupSettings settings;  // as the installer reads them
    lumora::SettingsReading reading;
    bool complete = false;
    // The field's value was read from its own line.
    bool InPlace(std::size_t index) const { return reading.lines[index] == static_cast<int>(index) + 1; }
};

// Reads `content` as the installer does and adds to `findings`, under
// `where`: fewer than fifteen lines, a number line that holds no number or
// one the installer rejects, values that ValueProblem refuses, a
// ScreenSaverFile without a four-character extension; never to be forced,
// a character that would show a value otherwise than it is
// (TextCharacters.h) and a ScreenSaverFile whose uninstaller copy would
// replace a program of the Windows folder; as warnings a
// gradient above 255, a ScreenSaverFile not ending in ".scr", and a text
// that is no text in `codePage`, which the installer would show otherwise.
CheckedSettings CheckSettingsText(const std::string& content, const std::string& where, const CodePage& codePage,
                                  Findings& findings);

// The warning for bytes that are no text in the code page, for `what`.
std::string NotTextWarning(const std::string& what, const CodePage& codePage);

}  // namespace setuppack
