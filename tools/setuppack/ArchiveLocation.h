#pragma once
// Where the archive lies in a file: in an installer, from the offset that the
// payload trailer (the file's last 4 bytes) gives up to the trailer; in a bare
// archive, the whole file.
#include <cstdint>
#include <string>

#include "base/Stream.h"

namespace setuppack {

struct ArchiveLocation {
    std::int64_t start = 0;      // first byte of the archive
    std::int64_t end = 0;        // one past its last byte: the trailer, or the file's end
    bool installer = true;
    std::int64_t signatureBytes = 0;  // a signed installer's certificate table
};

// Throws lumora::Error when the file is too short for a trailer or the
// trailer points outside the file.
ArchiveLocation LocateArchive(lumora::Stream& file, bool bareArchive);

// "installer, archive at offset 611840 (0x95600), 1366004 bytes", with
// ", signed (7936 bytes of signature)" for a signed one, or "bare archive,
// 1366004 bytes".
std::string DescribeLocation(const ArchiveLocation& location);

}  // namespace setuppack
