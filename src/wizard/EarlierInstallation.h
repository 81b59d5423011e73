#pragma once
// The files that an earlier installation of a product left, which a new
// installation of the same product may replace (FilesIntoPlace::
// ClaimTargets). A product is known by its screensaver's base name: its
// uninstall entry "<base> Uninstall" and its info file "<base>.nfo"; a
// product with an identity also by the identity its entries name, whatever
// its screensaver was called.
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

// An installation of the product under another screensaver's name, which
// an installation of the product replaces whole.
struct EarlierProduct {
    std::string entry;                // its entry's key name in the list; empty: none
    std::string version;              // its DisplayVersion, text; may be empty
    std::vector<std::string> files;   // its screensaver, uninstaller and info file
};

// The first entry of the list of removable programs, else the first copy
// of one kept by a run that did not complete (which the run's journal puts
// back), that names the product identity `productId` (text, compared
// without regard to case) and another entry name than `ownEntry`, with
// its uninstaller in `targetFolder` and a plain screensaver name; of its
// files those that are not the files of `paths`. None when `productId` is
// empty or no entry names it.
EarlierProduct FindEarlierProduct(const std::string& productId, const std::string& ownEntry,
                                  const std::string& targetFolder, const InstallPaths& paths);

// The version installed before this installation of `screenSaverFile` into
// `targetFolder`: that of the earlier installation of the product, else
// that of the screensaver's entry; empty when there is none.
std::string InstalledProductVersion(const std::string& screenSaverFile, const std::string& targetFolder);

}  // namespace lumora
