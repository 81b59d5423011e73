#pragma once
// The files that an earlier installation of a product left, which a new
// installation of the same product may replace (FilesIntoPlace::
// ClaimTargets). A product is known by its screensaver's base name: its
// uninstall entry "<base> Uninstall" and its info file "<base>.nfo".
#include <string>
#include <vector>

#include "wizard/InstallPaths.h"

namespace lumora {

// The files of earlier installations of the screensaver `screenSaverFile`
// (the author's bytes), full paths of path text (an empty text names none):
// the uninstaller that the uninstall entry's UninstallString starts (and
// the info file beside it, when it is the uninstaller of `paths`) and the
// screensaver of its DisplayIcon; and the three files of `paths` when the
// info file there is the one this installer writes into `targetFolder` (an
// installation by a user who could not write the entry, too).
std::vector<std::string> EarlierInstallationFiles(const std::string& screenSaverFile, const std::string& targetFolder,
                                                  const InstallPaths& paths);

}  // namespace lumora
