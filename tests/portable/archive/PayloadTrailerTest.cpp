#include <gtest/gtest.h>

#include "PeImageBytes.h"
#include "archive/PayloadTrailer.h"
#include "base/Error.h"
#include "base/MemoryStream.h"

namespace lumora::archive {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Image(std::uint32_t tableAt, std::uint32_t tableSize, std::size_t tail)
{
    return testing::PeImageBytes(tableAt, tableSize, tail);
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
