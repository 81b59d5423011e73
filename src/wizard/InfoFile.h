#pragma once
// The info file the installation leaves beside the screensaver: two 8-bit
// text lines, the screensaver file and the target folder, each ended by
// CR LF.
#include <string>

namespace lumora {

// Creates or replaces `path`, writes the two lines and flushes them to the
// disk. Throws InOutError at the first operation that fails: creating the
// file, either line, flushing, closing.
void WriteInfoFile(const std::string& path, const std::string& screenSaverFile, const std::string& targetFolder);

}  // namespace lumora
