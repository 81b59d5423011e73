#pragma once
// Words for the outcome of InflateBlock, for messages of the tools.
#include <string>

#include "archive/ArchiveReader.h"

namespace lumora::archive {

// zlib's name for a status value, e.g. "data error" for Z_DATA_ERROR.
std::string InflateStatusText(int status);

}  // namespace lumora::archive
