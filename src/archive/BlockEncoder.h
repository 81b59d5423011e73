#pragma once
// Turns one chunk of a file (at most kMaxBlockSize bytes) into one block of
// the archive layout.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/ArchiveLayout.h"

namespace lumora::archive {

enum class Compression {
    // The arrangement of the shipped installers: full chunks raw, the last,
    // shorter chunk as a zlib stream holding one stored deflate block.
    Stored,
    // Each chunk deflated at level 9 as a zlib stream of its own, kept raw
    // when that does not make it smaller.
    Deflate,
    // Every chunk raw: the archive of a solid payload, which is compressed
    // as a whole (SolidStream.h).
    Raw,
};

// Bytes a zlib stream with one stored deflate block adds to its data:
// 2 header bytes, 5 bytes of stored-block header, 4 bytes of Adler-32.
constexpr std::size_t kStoredStreamOverhead = 11;

struct EncodedBlock {
    std::int32_t length = 0;          // > 0 compressed, < 0 raw (as written)
    std::vector<unsigned char> data;  // |length| bytes
};

// `lastChunk` tells whether this is the file's last chunk (the Stored
// arrangement compresses only that one). Throws Error if zlib fails.
EncodedBlock EncodeBlock(const unsigned char* chunk, std::size_t size, bool lastChunk,
                         Compression mode);

// A zlib stream (header 78 DA) with one final stored deflate block holding
// `size` bytes, then their big-endian Adler-32: size + 11 bytes.
std::vector<unsigned char> StoredZlibStream(const unsigned char* data, std::size_t size);

}  // namespace lumora::archive
