#pragma once
// The name under which a file is stored: "c:\\" and its file name in lower
// case. The restore keeps only the file name (FileNamePart of
// base/PathText.h); the drive keeps the form of the layout's stored names,
// full paths, without a folder of the machine that built the archive, so
// that the same files give the same archive from any folder.
#include <string>
#include <string_view>

namespace lumora::archive {

// The stored name of the file `name` (no folder); letters are lowered
// (ASCII).
std::string StoredNameOf(std::string_view name);

}  // namespace lumora::archive
