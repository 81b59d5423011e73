// The information file the setup program writes beside the screensaver:
// two lines, the screensaver's file name and the folder it went to.
#pragma once

#include <string>

namespace lmunist {

// Line 1 of the information file at `path`: the screensaver's file name.
// Empty when the file cannot be read or its first line is empty.
std::string readInfoFileScreensaver(const std::string& path);

}  // namespace lmunist
