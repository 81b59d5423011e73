#include <gtest/gtest.h>

#include <cstring>

#include "archive/PayloadTrailer.h"
#include "base/Error.h"
#include "base/MemoryStream.h"

namespace lumora::archive {
namespace {

using Bytes = std::vector<unsigned char>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.at(at + i) = static_cast<unsigned char>(v >> (8 * i));
}

// A PE32 image of 0x400 bytes (headers, then one section of 0x200 bytes at
// 0x200) whose security directory names [tableAt, tableAt + tableSize),
// followed by `tail` more bytes.
Bytes Image(std::uint32_t tableAt, std::uint32_t tableSize, std::size_t tail)
{
    Bytes b(0x400 + tail, 0);
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

TEST(PayloadTrailer, IsBeforeACertificateTableThatEndsTheFileElseTheLastFourBytes)
{
    struct Case {
        const char* what;
        Bytes file;
        std::int64_t at;  // -1: the file is refused
    };
    const Case cases[] = {
        {"unsigned", Image(0, 0, 100), 0x400 + 96},
        {"not an image", Bytes(50, 'x'), 46},
        {"signed", Image(0x400 + 64, 36, 100), 0x400 + 60},
        {"something appended behind the table", Image(0x400 + 64, 20, 100), 0x400 + 96},
        {"table beyond the end", Image(0x400 + 64, 37, 100), -1},
        {"table inside the image", Image(0x300, 0x164, 100), -1},
        {"table that wraps around", Image(0x400, 0xFFFFFFF0u, 100), -1},
        {"too short for a trailer", Bytes(3, 0), -1},
    };
    for (const Case& c : cases) {
        MemoryStream file(c.file);
        if (c.at < 0) {
            EXPECT_THROW(ReadPayloadTrailer(file), Error) << c.what;
            continue;
        }
        EXPECT_EQ(ReadPayloadTrailer(file).at, c.at) << c.what;
    }
}

}  // namespace
}  // namespace lumora::archive
