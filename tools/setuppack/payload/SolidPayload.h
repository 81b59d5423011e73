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

// How many earlier places of the same bytes the match finder compares at
// each position. 7-Zip's level 5 takes 32; the match finder's tree walk,
// one thread whatever the count, bounds the packing time, and 16 halves its
// longest walks: on 192 MiB of Windows libraries 0.4 % more bytes for a
// tenth less time (8: 1.4 % more bytes for a third less).
constexpr std::uint32_t kSolidMatchCycles = 16;

// The threads: with one, the encoder finds its matches itself; with two or
// more, its match finder runs in threads of its own (the SDK's LzFindMt),
// which find the same matches, so the stream's bytes do not depend on the
// count. More than two gain nothing: the encoder is one, as the stream is.
constexpr unsigned kMaxSolidThreads = 256;
// The processor's cores, at least 1 and at most kMaxSolidThreads.
unsigned DefaultSolidThreads();

// Writes the solid record and the stream of the `size` bytes of `archive`
// (from its position) into `out`, with `threads` threads (1 to
// kMaxSolidThreads). Throws lumora::Error.
void WriteSolidPayload(lumora::Stream& archive, std::uint64_t size, unsigned threads, lumora::Stream& out);

}  // namespace setuppack
