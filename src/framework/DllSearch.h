#pragma once
// Where the program may load libraries from.
namespace lumora {

// Limits the search for libraries loaded by name to the system folder, so
// that a DLL planted beside a downloaded program (in the downloads folder) is
// never loaded in place of the system's. Call it first, before anything can
// load a library. Uses SetDefaultDllDirectories where the system has it
// (Windows 7 with KB2533623 and later), else removes the current folder from
// the search (SetDllDirectoryA("")).
void LimitDllSearchToSystemFolder();

}  // namespace lumora
