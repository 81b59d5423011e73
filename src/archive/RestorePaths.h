#pragma once
// Where the restore component writes an entry, and the folders it creates on
// the way. The general path rules are in base/PathText.h.
#include <string>
#include <string_view>

#include "archive/FileSystem.h"

namespace lumora::archive {

// Where an entry goes. `safe` is false when the stored name could make the
// component write anything but a plain file of that name inside the folder it
// was given: a name that is empty, "." or "..", holds a control character,
// a ":" (a drive or an alternate data stream), a character Windows refuses,
// names a device ("NUL", "aux.txt", "COM1") or ends in a dot or a blank; the
// same for each folder name when the stored path is kept.
struct TargetPath {
    std::string path;
    bool safe = false;
    // The leading characters of `path` that the caller chose (see
    // FileSystem.h): the folder given, or with an empty folder everything
    // but the last name. The names after them come from the archive.
    std::size_t given = 0;
};

// folder + the stored name's file name; with `fullPath`, folder + the stored
// name without its drive (its first three characters); with an empty folder,
// the stored name.
TargetPath FormTargetPath(const std::string& folder, std::string_view storedName, bool fullPath);

// Creates each missing folder along `folder`, parent first; a drive root
// ("C:") and the root of the file system are never created. The first
// `given` characters are the caller's (see FileSystem.h). Returns false when
// one cannot be created. Throws Error("Unable to create directory") for an
// empty folder.
bool ForceFolders(FileSystem& fileSystem, std::string folder, std::size_t given);

}  // namespace lumora::archive
