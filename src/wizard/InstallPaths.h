#pragma once
// The files of one installation: what is copied from the extraction folder
// into the target folder, and the info file written beside the copies.
// Paths are joined as they are: the target folder is followed by one "\"
// and a file name, the extraction folder (which ends in "\") directly by a
// file name.
#include <string>

namespace lumora {

// The uninstaller and the ActiveX update installer, as the payload carries
// them.
inline constexpr const char* kUninstallerFile = "Lmunist.exe";
inline constexpr const char* kActiveXInstallerFile = "Install.exe";

// The screensaver file name without its last four characters (the dot and a
// three-letter extension); empty when the name has four characters or fewer.
// Characters of the 8-bit ANSI name, as the settings hold it: bytes.
std::string ScreenSaverBaseName(const std::string& screenSaverFile);

struct InstallPaths {
    std::string screenSaverSource;   // X + S
    std::string screenSaverTarget;   // T + "\" + S
    std::string uninstallerSource;   // X + "Lmunist.exe"
    std::string uninstallerTarget;   // T + "\" + B + ".exe"
    std::string activeXInstaller;    // X + "Install.exe"
    std::string infoFile;            // T + "\" + B + ".nfo"
};

// `baseName` is ScreenSaverBaseName of the screensaver's 8-bit name, cut
// before the name is converted to path text, so that the files and the
// uninstall entry share one base name.
InstallPaths PlanInstallPaths(const std::string& targetFolder, const std::string& screenSaverFile,
                              const std::string& baseName, const std::string& extractionFolder);

// The info file's content: the screensaver file, then the target folder,
// each line ended by CR LF.
std::string InfoFileText(const std::string& screenSaverFile, const std::string& targetFolder);

}  // namespace lumora
