#pragma once
// The uninstall entry: the installed screensaver in the system's list of
// removable programs, under the root of the run's scope
// (settings/InstallScope.h): HKEY_LOCAL_MACHINE, or HKEY_CURRENT_USER for
// an installation for the current user only.
#include <string>

#include "settings/ProductInfo.h"
#include "wizard/InstallJournal.h"

namespace lumora {

// Creates (or opens) the entry "<base name> Uninstall" of the screensaver
// file (the author's bytes) installed in `targetFolder` (path text), through
// the wide registry functions, and writes its five
// values with the author's `product` where it gives them, its
// DisplayVersion (removed when the product has no version), then the values
// of UninstallExtraValues, EstimatedSize and, of a product with an
// identity, InstallDate, NoModify and NoRepair (UninstallValues.h);
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

// While an installation can still be undone, a copy of the entry is kept
// beneath kKeptEntriesKey (UninstallValues.h) of the same root (where only
// administrators may write, or, per user, the user's own registry), under the name `copy` that the run's journal gives it
// (KeptEntryName of InstallJournal.h: a key of the entry's name holds the
// copies of every run).
// The entry is named by its key beneath the list (UninstallEntryName of
// the screensaver, or an earlier installation's).
// Keeps the copy, on the disk. Returns what undoing does with the entry:
// Kept (the copy goes back), Absent (there was none, it goes) or Left,
// without a copy, where none can be made (the entry cannot be written
// then either). Throws Error "Failed to create key <copy>" when the copy
// cannot be completed.
TargetBefore KeepUninstallEntry(const std::string& entryName, const std::string& copy);
// Puts the entry back as `before` says, from the copy `copy` (made again
// when it is gone). False when it cannot be put back.
bool RestoreUninstallEntry(const std::string& entryName, TargetBefore before, const std::string& copy);
// Whether the copy `copy` is there.
bool UninstallEntryCopyExists(const std::string& copy);
// Deletes the copies of the entry, of every run (one run of a product at a
// time keeps one), and the key that holds them once empty.
void DropUninstallEntryCopy(const std::string& entryName);

}  // namespace lumora
