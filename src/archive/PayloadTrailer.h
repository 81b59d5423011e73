#pragma once
// The payload trailer (see ArchiveLayout.h): the file offset of the payload's
// first byte as a 32-bit little-endian signed integer, in the last four bytes
// of an installer file. A signed installer carries its certificate table at
// the end of the file (Authenticode appends it and names it in the image's
// security directory); there the trailer is the four bytes just before that
// table. The installer and the packing tool both read it here.
#include <cstdint>

#include "base/Stream.h"

namespace lumora::archive {

struct PayloadTrailer {
    std::int64_t at = 0;      // file offset of the trailer itself
    std::int32_t offset = 0;  // the payload offset it holds, not checked here
    std::int64_t certificateSize = 0;  // the signature's table behind it; 0: none
    std::int64_t imageEnd = -1;        // where the program image ends; -1: the file is no PE image
};

// Reads the trailer of `file`, leaving the position after it. Throws Error
// when the file is shorter than a trailer, when its security directory names
// a table outside the file or inside the image, or when the bytes cannot be
// read.
PayloadTrailer ReadPayloadTrailer(Stream& file);

}  // namespace lumora::archive
