#pragma once
// The programs that Windows keeps directly in its own folder, where the
// installer copies the screensaver as <base><extension>, the uninstaller as
// <base>.exe and the info file as <base>.nfo: a screensaver whose base name
// is one of them would replace a program of Windows.
#include <string>
#include <string_view>

namespace setuppack {

// Whether `baseName` (bytes of the installer's code page, or UTF-8) names a
// program of the Windows folder, letter case aside: the program's name as
// Windows spells it ("regedit.exe") when it does, else empty.
std::string WindowsFolderProgram(std::string_view baseName);

}  // namespace setuppack
