#pragma once
// The payload trailer (see ArchiveLayout.h): the last four bytes of an
// installer file, the file offset of the payload's first byte as a 32-bit
// little-endian signed integer. The installer and the packing tool both read
// it here.
#include <cstdint>

#include "base/Stream.h"

namespace lumora::archive {

struct PayloadTrailer {
    std::int64_t at = 0;      // file offset of the trailer itself
    std::int32_t offset = 0;  // the payload offset it holds, not checked here
};

// Reads the trailer of `file`, leaving the position after it. Throws Error
// when the file is shorter than a trailer or the bytes cannot be read.
PayloadTrailer ReadPayloadTrailer(Stream& file);

}  // namespace lumora::archive
