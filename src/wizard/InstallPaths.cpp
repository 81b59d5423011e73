#include "wizard/InstallPaths.h"

namespace lumora {

std::string ScreenSaverBaseName(const std::string& screenSaverFile)
{
    constexpr std::size_t kExtensionLength = 4;  // ".scr"
    if (screenSaverFile.size() <= kExtensionLength)
        return {};
    return screenSaverFile.substr(0, screenSaverFile.size() - kExtensionLength);
}

InstallPaths PlanInstallPaths(const std::string& targetFolder, const std::string& screenSaverFile,
                              const std::string& base, const std::string& extractionFolder)
{
    const std::string target = targetFolder + "\\";
    InstallPaths paths;
    paths.screenSaverSource = extractionFolder + screenSaverFile;
    paths.screenSaverTarget = target + screenSaverFile;
    paths.uninstallerSource = extractionFolder + kUninstallerFile;
    paths.uninstallerTarget = target + base + ".exe";
    paths.activeXInstaller = extractionFolder + kActiveXInstallerFile;
    paths.infoFile = target + base + ".nfo";
    return paths;
}

std::string InfoFileText(const std::string& screenSaverFile, const std::string& targetFolder)
{
    return screenSaverFile + "\r\n" + targetFolder + "\r\n";
}

}  // namespace lumora
