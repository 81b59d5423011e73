#pragma once
// Where the archive lies in a file: in an installer, from the offset that the
// payload trailer (the file's last 4 bytes) gives up to the trailer; in a bare
// archive, the whole file.
#include <cstdint>
#include <optional>
#include <string>

#include "archive/CheckRecord.h"
#include "base/Stream.h"

namespace setuppack {

struct ArchiveLocation {
    std::int64_t start = 0;      // first byte of the archive
    std::int64_t end = 0;        // one past its last byte: the trailer, or the file's end
    bool installer = true;
    std::int64_t signatureBytes = 0;  // a signed installer's certificate table
    std::optional<lumora::archive::CheckRecord> check;  // an installer's check record
};

// Throws lumora::Error when the file is too short for a trailer or the
// trailer points outside the file.
ArchiveLocation LocateArchive(lumora::Stream& file, bool bareArchive);

// "installer, archive at offset 611840 (0x95600), 1366004 bytes, CRC-32
// 1A2B3C4D", with ", signed (7936 bytes of signature)" for a signed one and
// ", no check record" for an installer without one, or "bare archive,
// 1366004 bytes".
std::string DescribeLocation(const ArchiveLocation& location);

// What is wrong with the archive's bytes by its check record: empty when
// they match it or there is none. Reads the whole archive.
std::string CheckRecordProblem(lumora::Stream& file, const ArchiveLocation& location);

}  // namespace setuppack
