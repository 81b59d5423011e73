#pragma once
// The command that registers the installed screensaver with the display
// control panel: rundll32 with desk.cpl's InstallScreenSaver entry point and
// the screensaver's full path (not quoted). The two platform families take
// differently formed texts, kept exactly as each expects them.
#include <string>

namespace lumora {

struct ShellCommand {
    std::string program;
    std::string parameters;
};

// NT family: the system folder's "RunDll32.exe"; the parameters begin with
// a blank.
ShellCommand RegistrationCommandNT(const std::string& systemFolder, const std::string& targetFolder,
                                   const std::string& screenSaverFile);

// Other platforms: the Windows folder's rundll32, its name followed by one
// blank; the parameters begin with "desk.cpl".
ShellCommand RegistrationCommandOther(const std::string& windowsFolder, const std::string& targetFolder,
                                      const std::string& screenSaverFile);

}  // namespace lumora
