#pragma once
// The extraction folder: a folder of this run's own under the temporary
// folder, into which the payload is restored and from which its files are
// read and started. Nothing another process put in the temporary folder is
// ever used, and two installers never share their files.
//
// Its name is unpredictable and it is refused if it exists already. When the
// process runs elevated, only Administrators and SYSTEM may write it, and it
// is kept open so that no one can rename it or put another in its place
// while the run lasts. It is removed, with its files, when the program ends;
// the folders of runs that were killed are removed by the next run.
#include <windows.h>

#include <string>

namespace lumora {

// Makes the extraction folder under GetTempFolder(), with an access list
// only where the system has them. Throws Error saying why no folder can be
// made there, with the system's reason when it gave one.
void CreateExtractionFolder();
// The same under `base` (a folder ending in "\"), locked to Administrators
// and SYSTEM when `adminsOnly`. First removes, with their files, the
// folders of that name under `base` that no live run holds (each run holds
// its own open without delete sharing); a link of that name, or in such a
// folder, is left alone.
void CreateExtractionFolderIn(const std::string& base, bool adminsOnly);

// The folder with its trailing backslash; empty before it is made and after
// it is removed.
const std::string& ExtractionFolder();

// A name from the payload or from Setup.ins (the author's bytes) in the
// extraction folder, converted as the restore converts the names it writes.
// Throws Error when there is no extraction folder.
std::string InExtractionFolder(const std::string& name);

// Removes the files in the folder through the handle that holds it, then
// the folder itself, opened anew relative to the folder it lies in. What
// cannot be deleted now (a program started from it still runs) stays, and
// the log says so; the next run removes it. Links are never followed. Does
// nothing without a folder; never throws.
void RemoveExtractionFolder() noexcept;

// True when the process runs with an elevated token (as its manifest asks).
bool IsProcessElevated();

// The security descriptor of a folder that only Administrators and SYSTEM
// may use (full access, inherited by what is made in it; no entries
// inherited from above). Freed with LocalFree.
PSECURITY_DESCRIPTOR AdministratorsOnlyDescriptor();

}  // namespace lumora
