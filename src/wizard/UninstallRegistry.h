#pragma once
// The uninstall entry: the installed screensaver in the system's list of
// removable programs, under HKEY_LOCAL_MACHINE.
#include <string>

#include "settings/ProductInfo.h"

namespace lumora {

// Creates (or opens) the entry "<base name> Uninstall" of the screensaver
// file (the author's bytes) installed in `targetFolder` (path text), through
// the wide registry functions, and writes its five
// values with the author's `product` where it gives them, its
// DisplayVersion (removed when the product has no version), then
// QuietUninstallString, DisplayIcon and EstimatedSize (UninstallValues.h);
// the result goes to the run's log, and so does the version replaced when
// the entry had one and the product has one too. Without access to the list
// (a user who may not write to HKEY_LOCAL_MACHINE) nothing is written and
// nothing is reported. Throws Error "Failed to create key <name>" when the
// list opens but the entry cannot be created, "Failed to set data for
// '<value>'" when a value cannot be written (the values before it stay).
void WriteUninstallEntry(const std::string& screenSaverFile, const std::string& targetFolder,
                         const ProductInfo& product);

// The DisplayVersion of the screensaver's entry (text); empty when there is
// no entry or it has no version.
std::string InstalledVersion(const std::string& screenSaverFile);

}  // namespace lumora
