// The uninstaller's log (/LOG=FILE), for deployment tools, in UTF-8: one
// line for each file and key it left, and one for how it ended, appended to
// FILE.
#pragma once

#include <string>
#include <vector>

#include "Installation.h"
#include "Removal.h"

namespace lmunist {

// The FILE of a /LOG=FILE argument (in any letter case); empty without one.
std::string logFileArgument(const std::vector<std::string>& args);

// Appends the outcome of removing `installation` to `logFile`; does nothing
// when `logFile` is empty or cannot be written.
void writeRemovalLog(const std::string& logFile, const Installation& installation, const Outcome& outcome,
                     int exitCode);

}  // namespace lmunist
