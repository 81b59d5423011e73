#pragma once
// The check record: a CRC-32 of an installer's payload, written by the
// packing tool in the 20 bytes just before the archive, so that the archive
// itself and the trailer keep their layout (see ArchiveLayout.h).
//
//   offset  width  field
//   0       7      magic "LMCHECK"
//   7       1      the record's kind: how the installer's texts and file
//                  names are written. 1: 8-bit text of the ANSI code page
//                  of the system the installer runs on; 2: UTF-8. The two
//                  differ in two bits, so one flipped bit turns neither into
//                  the other; any other kind is damage
//   8       8      count of checked bytes: from the payload offset up to
//                  the payload trailer (unsigned, little-endian)
//   16      4      CRC-32 of those bytes (as zlib's crc32, little-endian)
//
// The record has its place between the installer's program image and the
// archive, behind up to 7 zero bytes that align the file for a signature.
// An installer of another tool, whose archive follows the image directly,
// is read as before, unchecked; anything else in that place is damage, so
// that a damaged record never reads as none. Without a record the texts are
// 8-bit, as they always were.
#include <cstdint>
#include <optional>

#include "base/PathEncoding.h"
#include "base/Stream.h"

namespace lumora::archive {

constexpr std::int64_t kCheckRecordSize = 20;
inline constexpr unsigned char kCheckRecordMagic[7] = {'L', 'M', 'C', 'H', 'E', 'C', 'K'};
inline constexpr unsigned char kSystemCodePageKind = 1;
inline constexpr unsigned char kUtf8Kind = 2;

struct CheckRecord {
    std::uint64_t length = 0;
    std::uint32_t crc = 0;

    bool operator==(const CheckRecord& other) const { return length == other.length && crc == other.crc; }
    bool operator!=(const CheckRecord& other) const { return !(*this == other); }
};

// What the place between the image's end and the archive holds.
struct CheckRecordPlace {
    std::optional<CheckRecord> record;  // none: read unchecked
    bool damaged = false;               // neither nothing nor a sound record
    AuthorEncoding texts = AuthorEncoding::SystemCodePage;  // the record's kind
};

// The record that ends right before `payloadOffset` in `file`, whose program
// image ends at `imageEnd`. With no image end known (negative), a record is
// one whose magic is in place, and anything else is none; a magic followed
// by a kind of no meaning is damage either way. A payload offset
// inside the image leaves no place for a record. Bytes that cannot be read
// are damage. The position is left anywhere.
CheckRecordPlace ReadCheckRecord(Stream& file, std::int64_t imageEnd, std::int64_t payloadOffset);

// Writes the record's 20 bytes at the stream's position, of the kind that
// `texts` gives (CheckRecordWriter.cpp, with ComputeCheckRecord: the tools'
// side).
void WriteCheckRecord(Stream& out, const CheckRecord& record, AuthorEncoding texts);

// The CRC-32 continued over `count` more bytes.
std::uint32_t ContinueCrc(std::uint32_t crc, const unsigned char* data, std::size_t count);

// The record of the bytes [start, end) of `file`; throws Error when they
// cannot all be read. The position is left at `end`.
CheckRecord ComputeCheckRecord(Stream& file, std::int64_t start, std::int64_t end);

}  // namespace lumora::archive
