#include "wizard/InstallPaths.h"

#include <algorithm>

#include "base/PathEncoding.h"
#include "base/PathText.h"

namespace lumora {

std::string ScreenSaverBaseName(const std::string& screenSaverFile)
{
    constexpr std::size_t kExtensionLength = 4;  // ".scr"
    return screenSaverFile.substr(0, LastCharactersStart(screenSaverFile, kExtensionLength,
                                                         CurrentAuthorEncoding() == AuthorEncoding::Utf8));
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

std::array<std::string, 2> InfoFileLines(const std::string& screenSaverFile, const std::string& targetFolder)
{
    if (CurrentAuthorEncoding() != AuthorEncoding::Utf8)
        return {screenSaverFile, AnsiFromPath(targetFolder)};
    // ASCII reads the same as 8-bit text of any code page: the mark comes
    // only with a letter beyond it, which the 8-bit form cannot carry.
    const std::string name = AuthorText(screenSaverFile);
    const auto beyondAscii = [](const std::string& text) {
        return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    };
    if (!beyondAscii(name) && !beyondAscii(targetFolder))
        return {name, targetFolder};
    return {"\xEF\xBB\xBF" + name, targetFolder};
}

}  // namespace lumora
