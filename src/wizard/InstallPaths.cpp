#include "wizard/InstallPaths.h"

#include <algorithm>

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
    // 8-bit text of another code page than the system's would be read
    // otherwise on this system: it is written as UTF-8 text then.
    const bool utf8 = CurrentAuthorEncoding() == AuthorEncoding::Utf8 || !AuthorTextIsSystemAnsi();
    const std::string name = utf8 ? AuthorText(screenSaverFile) : screenSaverFile;
    const std::string folder = utf8 ? targetFolder : AnsiFromPath(targetFolder);
    // ASCII reads the same as 8-bit text of any code page: the mark comes
    // only with a letter beyond it, which the 8-bit form cannot carry.
    const auto beyondAscii = [](const std::string& text) {
        return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    };
    std::string text = utf8 && (beyondAscii(name) || beyondAscii(folder)) ? "\xEF\xBB\xBF" : "";
    text += name;
    text += "\r\n";
    text += folder;
    return text += "\r\n";
}

}  // namespace lumora
