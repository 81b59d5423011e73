#pragma once
// The screensaver's entry in the system's list of removable programs: where
// it lives beneath the root of the run's scope (HKEY_LOCAL_MACHINE, or
// HKEY_CURRENT_USER) and the five string values it holds.
// The screensaver file is the author's bytes, as the settings hold it; the
// target folder, the names and values are text (base/PathEncoding.h).
#include <string>
#include <utility>
#include <vector>

#include "settings/ProductInfo.h"
#include "wizard/InstallPaths.h"

namespace lumora {

// The list's key, spelled with these cases.
inline constexpr const char* kUninstallListKey = "Software\\Microsoft\\Windows\\currentversion\\uninstall";

// Where the entry's copy is kept while an installation can still be undone:
// beneath this key of the entry's root, under the entry's own name. The
// key holds nothing else and goes when it is empty.
inline constexpr const char* kKeptEntriesKey = "Software\\Lumora Install Program";

// The installed files of the screensaver in the target folder, as the
// installation steps name them.
InstallPaths InstalledPaths(const std::string& screenSaverFile, const std::string& targetFolder);

// The entry's key beneath the list: base name + " Uninstall".
std::string UninstallEntryName(const std::string& screenSaverFile);
// The full path from the root of the entry named `entryName` in the list.
std::string UninstallEntryPathOf(const std::string& entryName);
// The entry's full path from the root, as it is opened for writing. It ends
// in " uninstall" with a small u; key names compare without regard to case,
// so this is the key UninstallEntryName creates.
std::string UninstallEntryPath(const std::string& screenSaverFile);

// The program an UninstallString starts, as the entry's values name it:
// the text in its leading quotes, else the whole text.
std::string ProgramOfCommand(const std::string& command);

// Value name and text, in the order they are written.
using UninstallValueList = std::vector<std::pair<std::string, std::string>>;
UninstallValueList UninstallValues(const std::string& screenSaverFile, const std::string& targetFolder);
// The values written after those, for the system's list and deployment
// tools: the uninstaller with /S, which removes without a window or a
// question, and the entry's icon: the installed uninstaller when the
// product's icon was written into it, else the installed screensaver. The
// entry's EstimatedSize (the installed files' KiB, a number) follows them,
// and, of a product with an identity, InstallDate, NoModify, NoRepair,
// InstallLocation (the target folder), the screensaver's file name
// (kScreenSaverValue) and the identity (kProductIdValue), by which its next
// version finds and replaces it.
UninstallValueList UninstallExtraValues(const std::string& screenSaverFile, const std::string& targetFolder,
                                        const ProductInfo& product);

// The values that name the product's installation for its next version.
inline constexpr const char* kProductIdValue = "LumoraProductId";
inline constexpr const char* kScreenSaverValue = "LumoraScreenSaver";

// The author's product (the author's bytes, settings/ProductInfo.h) in
// place of the toolmaker's in the five values: DisplayName, Publisher,
// HelpLink and UrlinfoAbout, each only when `product` gives it.
void ApplyProductInfo(UninstallValueList& values, const ProductInfo& product);

// The product's version, written after the five values when the installer
// has one, and read back by the next installer.
inline constexpr const char* kDisplayVersion = "DisplayVersion";

}  // namespace lumora
