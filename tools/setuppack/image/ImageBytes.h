#pragma once
// Bytes of a file held in memory, read and written as little-endian
// integers with every access checked against the bytes that are there: the
// packing tool takes apart and rebuilds the setup stub's program image and
// the author's icon file, and no offset or size read from either is used
// before it has been checked.
#include <cstdint>
#include <string>
#include <vector>

namespace setuppack {

using Bytes = std::vector<unsigned char>;

// Throw lumora::Error "`what` lies outside the N bytes of the data" when
// the `width` bytes at `at` are not all there.
std::uint16_t Get16(const Bytes& bytes, std::uint64_t at, const char* what);
std::uint32_t Get32(const Bytes& bytes, std::uint64_t at, const char* what);
void Put16(Bytes& bytes, std::uint64_t at, std::uint16_t value, const char* what);
void Put32(Bytes& bytes, std::uint64_t at, std::uint32_t value, const char* what);
// The `count` bytes at `at`, checked the same way.
Bytes Slice(const Bytes& bytes, std::uint64_t at, std::uint64_t count, const char* what);

void Append16(Bytes& bytes, std::uint16_t value);
void Append32(Bytes& bytes, std::uint32_t value);
// Zeros up to the next multiple of `alignment` (a power of two).
void PadTo(Bytes& bytes, std::size_t alignment);

// `value` rounded up to a multiple of `alignment` (a power of two).
constexpr std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment)
{
    return (value + alignment - 1) & ~(alignment - 1);
}

}  // namespace setuppack
