#include <gtest/gtest.h>

#include <climits>

#include "launcher/PayloadLocation.h"
#include "support/TempFiles.h"

namespace lumora::test {
namespace {

// `size` bytes whose value is their offset (mod 256), the last four being
// the trailer.
std::vector<unsigned char> Installer(std::size_t size, std::int32_t trailer)
{
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i);
    const auto t = static_cast<std::uint32_t>(trailer);
    for (int i = 0; i < 4; ++i)
        bytes[size - 4 + i] = static_cast<unsigned char>(t >> (8 * i));
    return bytes;
}

TEST(PayloadLocation, MovesToTheOffsetTheTrailerGivesWithoutJudgingIt)
{
    struct Case {
        const char* what;
        std::size_t size;
        std::int32_t trailer;
        std::int64_t position;
    };
    const Case cases[] = {
        {"inside the file", 100, 40, 40},
        {"only a trailer", 4, 0, 0},
        {"right after the image", 100, 96, 96},
        {"beyond the end", 100, 1000, 1000},
        // Refused by the system: the stream stays where reading left it.
        {"negative", 100, -1, 100},
        {"2^31 and above", 100, INT32_MIN, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFile file("payload.exe", Installer(c.size, c.trailer));
        std::optional<PayloadLocation> found = LocatePayload(file.Path());
        ASSERT_TRUE(found);
        ASSERT_TRUE(found->stream);
        EXPECT_EQ(found->offset, c.trailer);
        EXPECT_EQ(found->stream->Position(), c.position);
    }
}

TEST(PayloadLocation, FailsWhenTheFileCannotBeOpenedOrHasNoFullTrailer)
{
    EXPECT_FALSE(LocatePayload("C:\\no such folder\\setup.exe"));
    EXPECT_FALSE(LocatePayload(""));
    for (std::size_t size : {0, 1, 3}) {
        TempFile file("short.exe", std::vector<unsigned char>(size, 0x20));
        EXPECT_FALSE(LocatePayload(file.Path())) << size << " bytes";
    }
}

// The installer stays open for the whole run; others may still read and
// write the file, and the stream itself never writes.
TEST(PayloadLocation, OpensReadOnlyAndSharesReadingAndWriting)
{
    TempFile file("shared.exe", Installer(100, 40));
    {
        TFileStream other(file.Path(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          OPEN_EXISTING);
        std::optional<PayloadLocation> found = LocatePayload(file.Path());
        ASSERT_TRUE(found);
        TFileStream later(file.Path(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
        const unsigned char b = 0;
        EXPECT_EQ(found->stream->Write(&b, 1), 0u);
    }
    // Held by someone who shares nothing: the installer cannot be opened.
    TFileStream holder(file.Path(), GENERIC_READ, 0, OPEN_EXISTING);
    EXPECT_FALSE(LocatePayload(file.Path()));
}

}  // namespace
}  // namespace lumora::test
