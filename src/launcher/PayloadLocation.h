#pragma once
// Finding the payload in an installer file. The payload trailer, the last
// four bytes of the file, is the payload's file offset: 32-bit, little-endian,
// signed, counted from the start of the file.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "framework/FileStream.h"

namespace lumora {

struct PayloadLocation {
    // Read-only, sharing reading and writing with others; positioned at
    // `offset` when the system accepts that position (see LocatePayload).
    std::unique_ptr<TFileStream> stream;
    std::int32_t offset = 0;
    // Where the payload ends: the file offset of the trailer itself.
    std::int64_t end = 0;
    // Where the program image ends; the check record lies between it and
    // the payload. -1 when the file is no program image.
    std::int64_t imageEnd = -1;
};

// Opens `path` and moves to the offset its trailer gives. That offset is not
// checked against the file: one beyond the end is accepted (whoever reads
// there finds no payload), and a negative one, which the system refuses,
// leaves the stream just after the trailer. Empty when the file cannot be
// opened or fewer than four trailer bytes can be read.
std::optional<PayloadLocation> LocatePayload(const std::string& path);

}  // namespace lumora
