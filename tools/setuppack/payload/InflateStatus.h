#pragma once
// Words for the outcome of InflateBlock, for the survey's messages.
#include <string>

#include "archive/ArchiveReader.h"

namespace setuppack {

// zlib's name for a status value, e.g. "data error" for Z_DATA_ERROR.
std::string InflateStatusText(int status);

}  // namespace setuppack
