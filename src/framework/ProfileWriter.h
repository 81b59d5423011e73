#pragma once
// Writes entries of Windows profile files (.ini). A file name without a
// folder is placed by the system in the Windows folder.
#include <windows.h>  // first: its macro renames WriteProfileString alike everywhere

#include <string>

namespace lumora {

// Throws Error when the system cannot write the entry.
void WriteProfileString(const std::string& fileName, const std::string& section,
                        const std::string& key, const std::string& value);

}  // namespace lumora
