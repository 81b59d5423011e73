#pragma once
// Paths handed to the restore component by the extract command. The
// component joins a folder and a file name with "\"; the Win32 functions
// take "\" and "/" alike, and the POSIX backend maps every "\" to "/", so a
// native path that itself holds a "\" cannot pass through it unchanged.
#include <string>

namespace setuppack {

// Throws UsageError when `path` cannot be given to the component on this
// platform (on POSIX: it holds a "\"); `what` names the operand.
void CheckComponentPath(const std::string& path, const char* what);

// Creates the folder `dir` (and its parents) when it is missing and returns
// it as the component takes it: without trailing separators, then one "\".
// Throws lumora::Error when it cannot be created or is not a folder.
std::string PrepareRestoreFolder(const std::string& dir);

}  // namespace setuppack
