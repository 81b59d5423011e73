#include "wizard/RegistrationCommand.h"

#include "base/PathText.h"

namespace lumora {

namespace {

constexpr const char* kEntryPoint = "desk.cpl,InstallScreenSaver ";

bool EndsInBackslash(const std::string& folder) { return !folder.empty() && folder.back() == '\\'; }

}  // namespace

ShellCommand RegistrationCommandNT(const std::string& systemFolder, const std::string& targetFolder,
                                   const std::string& screenSaverFile)
{
    return {EnsureBackslash(systemFolder) + "RunDll32.exe",
            std::string(" ") + kEntryPoint + targetFolder + "\\" + screenSaverFile};
}

ShellCommand RegistrationCommandOther(const std::string& windowsFolder, const std::string& targetFolder,
                                      const std::string& screenSaverFile)
{
    const std::string program =
        EndsInBackslash(windowsFolder) ? windowsFolder + "RunDll32.exe " : windowsFolder + "\\rundll32.exe ";
    return {program, kEntryPoint + targetFolder + "\\" + screenSaverFile};
}

}  // namespace lumora
