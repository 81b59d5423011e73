#pragma once
// The info file the installation leaves beside the screensaver: two lines,
// the screensaver file and the target folder, each ended by CR LF
// (InfoFileText of InstallPaths.h).
#include <windows.h>

#include <string>

namespace lumora {

// Creates or replaces `path`, writes the two lines of the screensaver file
// (the author's bytes) and the target folder (path text) and flushes them
// to the disk. Throws InOutError at the first operation that fails:
// creating the file, writing, flushing, closing.
void WriteInfoFile(const std::string& path, const std::string& screenSaverFile, const std::string& targetFolder);
// The same into the new file `file`, open for writing, which stays open.
void WriteInfoFile(HANDLE file, const std::string& screenSaverFile, const std::string& targetFolder);

}  // namespace lumora
