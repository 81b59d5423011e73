// What one installed screensaver consists of, found from the uninstaller
// copy that the setup program placed beside it: for T\B.exe
//   T\S                the screensaver, S read from line 1 of T\B.nfo
//                      (B + ".scr" when that file or line is missing)
//   T\B.nfo            the information file
//   R\Software\Microsoft\Windows\currentversion\uninstall\B Uninstall
// where R is HKEY_LOCAL_MACHINE when T is the Windows folder (installed for
// every user), else HKEY_CURRENT_USER (installed for the current user only,
// into a folder of its own, which goes too once it is empty).
// Names and paths are UTF-8 text.
#pragma once

#include <windows.h>

#include <string>

namespace lmunist {

struct Installation {
    std::string folder;        // T, without a trailing backslash
    std::string baseName;      // B
    std::string shownName;     // the product's name its entry shows, else B
    std::string screensaver;   // T\S
    std::string infoFile;      // T\B.nfo
    HKEY root = HKEY_LOCAL_MACHINE;
    std::string uninstallKey;  // below root
    bool perUser = false;      // root is HKEY_CURRENT_USER and T the installation's own folder
};

// The installation that the uninstaller copy at `uninstallerPath` belongs to.
Installation describeInstallation(const std::string& uninstallerPath);

// True when any of its files or its uninstall entry exists.
bool anythingInstalled(const Installation& installation);

// The registry path as a person reads it, with the root's name.
std::string uninstallKeyText(const Installation& installation);

}  // namespace lmunist
