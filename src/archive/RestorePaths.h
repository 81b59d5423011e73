#pragma once
// Path rules of the restore component. Paths use "\" between folders and may
// start with a drive such as "c:"; "/" is accepted as a separator too, since
// both the Win32 functions and the POSIX backend take it.
#include <string>
#include <string_view>

#include "archive/FileSystem.h"

namespace lumora::archive {

// `folder` with one "\" appended unless it is empty or already ends in "\".
std::string WithTrailingBackslash(std::string folder);

// The part of a stored name after its last "\", "/" or ":".
std::string_view BaseName(std::string_view name);

// Where an entry goes. `safe` is false when the stored name could make the
// component write outside the folder it was given: a base name that is
// empty, "." or "..", or, when the stored path is kept, a ".." component.
struct TargetPath {
    std::string path;
    bool safe = false;
};

// folder + base name; with `fullPath`, folder + the stored name without its
// drive (its first three characters); with an empty folder, the stored name.
TargetPath FormTargetPath(const std::string& folder, std::string_view storedName, bool fullPath);

// The folder a file lies in: everything up to its last separator or ":",
// without that separator unless it closes a drive root ("C:\") or follows
// another separator.
std::string FolderPart(std::string_view file);

// `name` with its extension replaced by `extension` (which includes the
// "."), or with `extension` appended when it has none.
std::string ChangeExtension(std::string_view name, std::string_view extension);

// Creates each missing folder along `folder`, parent first. Returns false
// when one cannot be created. Throws Error("Unable to create directory") for
// an empty folder.
bool ForceFolders(FileSystem& fileSystem, std::string folder);

}  // namespace lumora::archive
