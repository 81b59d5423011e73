#pragma once
// The name under which a file is stored: its full path on the building
// machine, drive letter first, in lower case, with "\" between the parts. The
// restore keeps only its file name (FileNamePart of base/PathText.h).
#include <string>
#include <string_view>

namespace lumora::archive {

// From a full path: a Windows path ("C:\Dir\File.txt", "C:/Dir/File.txt")
// keeps its drive; a POSIX path ("/dir/file.txt") is given drive "z:",
// where Wine shows the root of the file system. Letters are lowered (ASCII).
std::string StoredNameFromFullPath(std::string_view fullPath);

}  // namespace lumora::archive
