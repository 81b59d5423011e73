#pragma once
// Which system icon an icon static (as on a message box) shows. Icon handles
// of another process cannot be compared with our own, so the pixels on the
// screen are compared with the system icons drawn here the same way.
#include <windows.h>

namespace windriver {

// "error", "warning", "information", "question", "unknown" (no system icon
// matches, or the static is covered), or "hidden" (not visible).
const char* identifySystemIcon(HWND iconStatic);

}  // namespace windriver
