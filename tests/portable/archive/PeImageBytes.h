#pragma once
// A small PE32 image built byte by byte, for the payload trailer's tests and
// the fuzz seeds: 0x400 bytes (headers, then one section of 0x200 bytes at
// 0x200) whose security directory names [tableAt, tableAt + tableSize),
// followed by `tail` more bytes.
#include <cstdint>
#include <cstring>
#include <vector>

namespace lumora::archive::testing {

inline void Put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.at(at + i) = static_cast<unsigned char>(v >> (8 * i));
}

inline std::vector<unsigned char> PeImageBytes(std::uint32_t tableAt, std::uint32_t tableSize, std::size_t tail)
{
    std::vector<unsigned char> b(0x400 + tail, 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(b, 0x3C, 0x80);
    std::memcpy(&b[0x80], "PE\0\0", 4);
    b[0x86] = 1;                        // one section
    b[0x94] = 0xE0;                     // optional header of 224 bytes
    const std::size_t optional = 0x98;
    b[optional] = 0x0B;                 // PE32
    b[optional + 1] = 0x01;
    Put32(b, optional + 60, 0x200);     // size of the headers
    Put32(b, optional + 92, 16);        // data directories
    Put32(b, optional + 96 + 32, tableAt);
    Put32(b, optional + 96 + 36, tableSize);
    const std::size_t section = optional + 0xE0;
    Put32(b, section + 16, 0x200);      // raw size
    Put32(b, section + 20, 0x200);      // raw offset
    return b;
}

}  // namespace lumora::archive::testing
