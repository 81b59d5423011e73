#pragma once
// The check record: a CRC-32 of an installer's payload, written by the
// packing tool in the 20 bytes just before the archive, so that the archive
// itself and the trailer keep their layout (see ArchiveLayout.h).
//
//   offset  width  field
//   0       8      magic "LMCHECK" and the record's version 1
//   8       8      count of checked bytes: from the payload offset up to
//                  the payload trailer (unsigned, little-endian)
//   16      4      CRC-32 of those bytes (as zlib's crc32, little-endian)
//
// An installer without the record (one written by another tool) is read as
// before, unchecked.
#include <cstdint>
#include <optional>

#include "base/Stream.h"

namespace lumora::archive {

constexpr std::int64_t kCheckRecordSize = 20;
inline constexpr unsigned char kCheckRecordMagic[8] = {'L', 'M', 'C', 'H', 'E', 'C', 'K', 1};

struct CheckRecord {
    std::uint64_t length = 0;
    std::uint32_t crc = 0;

    bool operator==(const CheckRecord& other) const { return length == other.length && crc == other.crc; }
    bool operator!=(const CheckRecord& other) const { return !(*this == other); }
};

// The record that ends right before `payloadOffset` in `file`, or nothing
// when there is none (or its bytes cannot be read). The position is left
// anywhere.
std::optional<CheckRecord> ReadCheckRecord(Stream& file, std::int64_t payloadOffset);

// Writes the record's 20 bytes at the stream's position (CheckRecordWriter.cpp,
// with ComputeCheckRecord: the tools' side).
void WriteCheckRecord(Stream& out, const CheckRecord& record);

// The CRC-32 continued over `count` more bytes.
std::uint32_t ContinueCrc(std::uint32_t crc, const unsigned char* data, std::size_t count);

// The record of the bytes [start, end) of `file`; throws Error when they
// cannot all be read. The position is left at `end`.
CheckRecord ComputeCheckRecord(Stream& file, std::int64_t start, std::int64_t end);

}  // namespace lumora::archive
