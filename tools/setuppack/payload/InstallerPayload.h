#pragma once
// The payload of an installer as its restore leaves it in the extraction
// folder, for the checks of verify and settings: the files under the names
// they are restored under, their data read from the archive when asked for.
#include <string>

#include "ArchiveLocation.h"
#include "input/PayloadFiles.h"

namespace setuppack {

// Walks the archive of the installer `path` for its file names; throws
// lumora::Error when the archive cannot be walked.
PayloadFiles InstallerPayload(const std::string& path, const ArchiveLocation& location);

}  // namespace setuppack
