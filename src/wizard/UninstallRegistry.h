#pragma once
// The uninstall entry: the installed screensaver in the system's list of
// removable programs, under HKEY_LOCAL_MACHINE.
#include <string>

namespace lumora {

// Creates (or opens) the entry "<base name> Uninstall" and writes its five
// values, then QuietUninstallString, DisplayIcon and EstimatedSize
// (UninstallValues.h); the result goes to the run's log. Without access to the list (a user who may not write to
// HKEY_LOCAL_MACHINE) nothing is written and nothing is reported. Throws
// Error "Failed to create key <name>" when the list opens but the entry
// cannot be created, "Failed to set data for '<value>'" when a value cannot
// be written (the values before it stay).
void WriteUninstallEntry(const std::string& screenSaverFile, const std::string& targetFolder);

}  // namespace lumora
