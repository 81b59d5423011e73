#pragma once
// Layout of an installer file and of the archive appended to it.
//
//   installer file
//   +---------------------------+ 0
//   | executable image (stub)   |
//   +---------------------------+ payload offset
//   | archive header            |  int32 title length L, L bytes title,
//   |                           |  int32 total size, int32 file count
//   | entry ...                 |  int32 name length N (<0: passed over),
//   |                           |  N bytes stored name, uint32 stamp,
//   |                           |  4 bytes block magic "EC2\0", blocks
//   |   block ...               |  int32 n: >0 zlib stream of n bytes,
//   |                           |  <0 raw data of -n bytes, 0 end of blocks
//   | end-of-archive marker     |  int32 0
//   +---------------------------+ file size - 4
//   | payload trailer           |  int32 payload offset
//   +---------------------------+ file size
//
// All integers are 32-bit little-endian two's complement; strings carry no
// terminating zero. A stamp is a local time in MS-DOS packed form, date in
// the high word, so stamps compare as signed integers in time order.
//
// Special stored names: "NEXT:DISK" followed by three digits (nothing else
// follows it; the interrupted entry's block list continues in the next
// volume file, which starts with a block magic), and "FILE:LIST" (an entry
// that is never restored).
#include <cstdint>
#include <string_view>

namespace lumora::archive {

// Largest raw block and largest output of a compressed block, in bytes.
constexpr std::int32_t kMaxBlockSize = 16384;

// Stored names longer than this are treated as a damaged archive rather than
// as a request for a huge allocation. Real names are paths of at most a few
// hundred characters.
constexpr std::int32_t kMaxNameLength = 4096;

// Block magic: the characters "EC2" and a zero byte.
constexpr unsigned char kBlockMagic[4] = {0x45, 0x43, 0x32, 0x00};

constexpr std::string_view kVolumeMarkerPrefix = "NEXT:DISK";
constexpr std::size_t kVolumeNumberDigits = 3;
constexpr std::string_view kFileListName = "FILE:LIST";

// The title written by the tools; the reader ignores titles.
constexpr std::string_view kDefaultTitle = "Setup";

// Size of the payload trailer at the end of an installer file.
constexpr std::int64_t kTrailerSize = 4;

}  // namespace lumora::archive
