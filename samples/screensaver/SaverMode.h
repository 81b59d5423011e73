// What the system asks of a screensaver through its command line:
//   /s            run full screen
//   /c, /c:HWND   show the settings box (owned by HWND when given)
//   /p HWND       draw a preview into the window HWND (also /p:HWND)
//   /a HWND       change the password (Windows 9x; there is none to change)
// Switches may start with "-" too and come in either case. No switch, or
// one not listed, means the settings box.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace aurora {

enum class SaverKind { Settings, FullScreen, Preview, Password };

struct SaverMode {
    SaverKind kind = SaverKind::Settings;
    HWND window = nullptr;  // the window of /c, /p and /a; null when none was given
};

// `args` as sample::processArguments gives them, the program name first.
SaverMode parseSaverMode(const std::vector<std::string>& args);

}  // namespace aurora
