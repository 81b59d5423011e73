#include "WindowsFolderPrograms.h"

#include "base/AsciiText.h"

namespace setuppack {

namespace {

// The programs that Windows 7, 8, 8.1, 10 and 11 install directly in the
// Windows folder (%windir%, C:\Windows), as their documentation and file
// listings name them: the shell (explorer), the boot file servicing utility
// (bfsvc), the help programs (HelpPane, hh, winhlp32), the editors
// (notepad, regedit, write), the 32-bit print driver host of 64-bit Windows
// (splwow64), the TWAIN scanner programs (twunk_16, twunk_32) and, on
// Windows 7, the BitLocker update utility (fveupdate). Any of them may be
// there on a given system, so every one is refused.
constexpr const char* kPrograms[] = {
    "bfsvc",   "explorer", "fveupdate", "HelpPane", "hh",       "notepad",
    "regedit", "splwow64", "twunk_16",  "twunk_32", "winhlp32", "write",
};

}  // namespace

std::string WindowsFolderProgram(std::string_view baseName)
{
    const std::string lower = lumora::LowerCaseAscii(baseName);
    for (const char* program : kPrograms)
        if (lower == lumora::LowerCaseAscii(program))
            return std::string(program) + ".exe";
    return {};
}

}  // namespace setuppack
