#pragma once
// setuppack build --solid: the archive, every block raw, compressed as one
// LZMA2 stream behind its solid record (archive/SolidStream.h), with the x86
// branch converter applied first, which makes the calls and jumps of
// programs alike and so better to compress.
#include <cstdint>

#include "base/Stream.h"

namespace setuppack {

// The dictionary: as 7-Zip's level 5 takes, or the archive's size when that
// is smaller. The installer needs this much memory to decompress it.
constexpr std::uint32_t kSolidDictionary = 16u << 20;

// Writes the solid record and the stream of the `size` bytes of `archive`
// (from its position) into `out`. Throws lumora::Error.
void WriteSolidPayload(lumora::Stream& archive, std::uint64_t size, lumora::Stream& out);

}  // namespace setuppack
