// The trace the update installer leaves: one line per run appended to
// lumora-activex.log in the Windows folder,
//   YYYY-MM-DD HH:MM:SS Lumora ActiveX update: nothing to update
// (local time, CR LF). The file is created on the first run.
#pragma once

#include <string>

namespace activex {

// The trace file's full path.
std::string traceFilePath();

// Appends this run's line; false when the file cannot be written.
bool appendTrace();

}  // namespace activex
