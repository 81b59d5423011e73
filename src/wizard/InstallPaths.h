#pragma once
// The files of one installation: what is copied from the extraction folder
// into the target folder, and the info file written beside the copies.
// Paths are joined as they are: the target folder is followed by one "\"
// and a file name, the extraction folder (which ends in "\") directly by a
// file name.
#include <string>

#include "settings/ProductInfo.h"

namespace lumora {

// The ActiveX update installer, as the payload carries it (the uninstaller:
// kUninstallerFile of settings/ProductInfo.h).
inline constexpr const char* kActiveXInstallerFile = "Install.exe";

// The screensaver file name without its last four characters (the dot and a
// three-letter extension); empty when the name has four characters or fewer.
// Characters of the author's name, as the settings hold it: bytes of 8-bit
// text, letters of UTF-8 (base/PathEncoding.h).
std::string ScreenSaverBaseName(const std::string& screenSaverFile);

struct InstallPaths {
    std::string screenSaverSource;   // X + S
    std::string screenSaverTarget;   // T + "\" + S
    std::string uninstallerSource;   // X + "Lmunist.exe"
    std::string uninstallerTarget;   // T + "\" + B + ".exe"
    std::string activeXInstaller;    // X + "Install.exe"
    std::string infoFile;            // T + "\" + B + ".nfo"
};

// The name of the folder that an installation for the current user gets in
// the user's programs folder (settings/InstallScope.h): the product's name
// (text) when it makes a plain folder name, else `baseName`, the
// screensaver's base name (text).
std::string ProductFolderName(const std::string& product, const std::string& baseName);

// Names and folders are path text. `baseName` is ScreenSaverBaseName of the
// author's name, cut before the name becomes text, so that the files and the
// uninstall entry share one base name.
InstallPaths PlanInstallPaths(const std::string& targetFolder, const std::string& screenSaverFile,
                              const std::string& baseName, const std::string& extractionFolder);

// The info file's text: two lines, each ended by CR LF, the screensaver
// file (the author's bytes) and the target folder (path text), in the
// author's encoding. 8-bit text of the ANSI code page, as installers have
// always written it; of an installer of UTF-8 texts, the same plain bytes
// while both lines are ASCII, else UTF-8 behind a byte-order mark, by which
// the uninstaller tells the two apart.
std::string InfoFileText(const std::string& screenSaverFile, const std::string& targetFolder);

}  // namespace lumora
