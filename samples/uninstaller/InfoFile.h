// The information file the setup program writes beside the screensaver:
// two lines, the screensaver's file name and the folder it went to. An
// installer of UTF-8 texts writes them in UTF-8 behind a byte-order mark;
// others in 8-bit text of the system's ANSI code page.
#pragma once

#include <string>

namespace lmunist {

// Line 1 of the information file at `path`: the screensaver's file name, as
// UTF-8 text. Empty when the file cannot be read or its first line is empty.
std::string readInfoFileScreensaver(const std::string& path);

}  // namespace lmunist
