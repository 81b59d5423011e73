#pragma once
// The byte order of the fixed-size records before the archive (the check
// record, the solid record): integers of `width` bytes, least significant
// first, in a byte array the caller has bounded.
#include <cstdint>

namespace lumora::archive {

inline std::uint64_t LoadLittleEndian(const unsigned char* bytes, int width)
{
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

inline void StoreLittleEndian(unsigned char* bytes, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i, value >>= 8)
        bytes[i] = static_cast<unsigned char>(value);
}

}  // namespace lumora::archive
