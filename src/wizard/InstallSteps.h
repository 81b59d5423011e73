#pragma once
// The installation steps, run by the wizard's forward button on the summary
// page once the final page shows.
#include <functional>
#include <string>

namespace lumora {

// The folder this run installs into (path text, no trailing backslash), as
// the folder page shows it and /S installs: the folder of the run's scope
// (settings/InstallScope.h), per user named after the product
// (ProductFolderName of InstallPaths.h).
std::string InstallTargetFolder();

// Whether this run may install its version of the product into
// `targetFolder`: always, but over a newer version installed there
// (IsDowngrade of settings/ProductInfo.h; the same version again is a
// repair), which only the user's Yes to a question naming both versions,
// or with `silent` only `allowDowngrade`, replaces. The log says which.
bool AcceptsVersion(const std::string& targetFolder, bool silent, bool allowDowngrade);

// Installs into `targetFolder` (path text, no trailing backslash), made
// when missing per user (MakeScopeFolder): the screensaver and
// the uninstaller copied from the extraction folder, the info file written
// and `writeUninstallRegistry` called, all four as one group that is
// undone, with the entry, when a step of it fails (CopiesIntoPlace.h); an
// earlier installation of the product under another screensaver's name
// (FindEarlierProduct of EarlierInstallation.h) goes in the same group,
// its files and its entry;
// then, with nothing left to undo, the caution on the NT family
// (TextId::MessageActivexCaution), the start of the ActiveX update
// installer and of the screensaver's registration through rundll32 (neither waited for, their results ignored). Inputs are
// read afresh on each call: the screensaver file from the setup settings,
// the extraction folder of this run, the system's folders from the system.
// A failing step throws Error and the steps after it are skipped. The run's
// outcome (settings/ExitCodes.h) becomes Installed once the group is
// complete, CopyFailed when the copies fail and OtherFailure when the info
// file or the entry does.
// With `silent`, nothing opens a window: the caution, the ActiveX update
// installer and the registration through the display settings are left out.
// Each step and its result go to the run's log.
void RunInstallationSteps(const std::string& targetFolder, const std::function<void()>& writeUninstallRegistry,
                          bool silent = false);

}  // namespace lumora
