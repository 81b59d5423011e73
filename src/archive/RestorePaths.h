#pragma once
// Where the restore component writes an entry, and the folders it creates on
// the way. The general path rules are in base/PathText.h.
#include <optional>
#include <string>
#include <string_view>

#include "archive/FileSystem.h"

namespace lumora::archive {

// Where an entry goes: folder + the stored name's file name; with
// `fullPath`, folder + the stored name without its drive (its first three
// characters); with an empty folder, the stored name.
struct TargetPath {
    std::string path;
    // The leading characters of `path` that the caller chose (see
    // FileSystem.h): the folder given, or with an empty folder everything
    // but the last name.
    std::size_t given = 0;
    // The names after this many characters come from the archive, and
    // WritablePath judges them: the folder given, or with an empty folder the
    // drive and root.
    std::size_t judged = 0;
};

TargetPath FormTargetPath(const std::string& folder, std::string_view storedName, bool fullPath);

// A name, as Windows writes it, that is a plain file or folder of the
// folder it is joined to: not empty, not ending in a dot or a blank (the
// system would shorten it again when the path is handed to it, "..." to
// "..", and "." and ".." end in a dot), no control character (a NUL would
// cut it short; DEL is a letter to Windows), no separator, none of the
// characters Windows refuses or reads as wildcards or a stream (":"), not a
// device.
bool IsPlainName(std::string_view name);

// `path` as Windows writes it, when the names after its first `judged`
// characters make a plain file inside what comes before them: a run of
// separators becomes its first, a folder name loses one trailing dot and the
// last name all trailing dots and blanks, as the system drops them. Each name
// is judged as it is then: nothing when one would leave the folder ("",
// ".", "..": a folder "..." loses its dot), reach a device ("NUL",
// "aux.txt", "COM1") or a stream (":"), holds a control character or one
// that Windows refuses, still ends in a dot or a blank (the system would
// shorten it again once the path is handed to it), or the path ends in a
// separator. So the system writes the path returned as it is. `given` (at
// or after `judged`) is moved with the characters dropped before it.
struct WritableTarget {
    std::string path;
    std::size_t given = 0;
};
std::optional<WritableTarget> WritablePath(const std::string& path, std::size_t judged, std::size_t given);

// Creates each missing folder along `folder`, parent first; a drive root
// ("C:") and the root of the file system are never created. The first
// `given` characters are the caller's (see FileSystem.h). Returns false when
// one cannot be created. Throws Error("Unable to create directory") for an
// empty folder.
bool ForceFolders(FileSystem& fileSystem, std::string folder, std::size_t given);

}  // namespace lumora::archive
