#include "wizard/InstallPaths.h"

#include "archive/RestorePaths.h"
#include "base/PathEncoding.h"
#include "base/PathText.h"

namespace lumora {

std::string ScreenSaverBaseName(const std::string& screenSaverFile)
{
    constexpr std::size_t kExtensionLength = 4;  // ".scr"
    return screenSaverFile.substr(0, LastCharactersStart(screenSaverFile, kExtensionLength,
                                                         CurrentAuthorEncoding() == AuthorEncoding::Utf8));
}

std::string ProductFolderName(const std::string& product, const std::string& baseName)
{
    return archive::IsPlainName(product) ? product : baseName;
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
    const bool utf8 = CurrentAuthorEncoding() == AuthorEncoding::Utf8;
    std::string text = utf8 ? "\xEF\xBB\xBF" + AuthorText(screenSaverFile) : screenSaverFile;
    text += "\r\n";
    text += utf8 ? targetFolder : AnsiFromPath(targetFolder);
    return text += "\r\n";
}

}  // namespace lumora
