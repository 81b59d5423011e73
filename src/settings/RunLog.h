#pragma once
// The log of a run (/LOG=FILE): one line per step with its result, and for
// a failure the reason, each line stamped with the local time. UTF-8 text,
// created or appended to, one line written at a time; a log that cannot be
// written is left out and never ends the run.
#include <string>

namespace lumora {

// From now on lines go to `path` (path text); an empty path writes none.
void OpenRunLog(const std::string& path);

// "step: result", UTF-8 text.
void LogStep(const std::string& step, const std::string& result);
// "step: failed: message (reason)".
void LogFailure(const std::string& step, const std::string& message, const std::string& reason = {});

}  // namespace lumora
