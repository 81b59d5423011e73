#include <gtest/gtest.h>

#include <limits>

#include "ArchiveBytes.h"
#include "Collector.h"
#include "archive/ArchiveWriter.h"

namespace lumora::archive {
namespace {

using testing::Adler32;
using testing::NoiseBytes;

constexpr std::string_view kName = "c:\\payload\\file.bin";

std::vector<unsigned char> WriteOne(const std::vector<unsigned char>& data,
                                    Compression compression = Compression::Stored)
{
    MemoryStream out;
    WriteArchive(out, "Setup", {MemoryInput(std::string(kName), 0x2E3F35EE, data)},
                 compression);
    return out.Bytes();
}

// The shipped arrangement: full chunks raw, the short last chunk as a zlib
// stream 78 DA with one stored final deflate block and a big-endian Adler-32.
struct Arrangement {
    std::size_t size;
    std::vector<std::int32_t> lengths;
};

class StoredArrangement : public ::testing::TestWithParam<Arrangement> {};

TEST_P(StoredArrangement, MatchesTheShippedLayoutByteForByte)
{
    const auto& expected = GetParam();
    const auto data = NoiseBytes(expected.size);
    const auto bytes = WriteOne(data);
    const auto walked = testing::Walk(bytes);
    ASSERT_EQ(walked.entries.size(), 1u);
    const auto& blocks = walked.entries[0].blocks;

    std::vector<std::int32_t> lengths;
    for (const auto& b : blocks)
        lengths.push_back(b.length);
    EXPECT_EQ(lengths, expected.lengths);

    std::size_t at = 0;
    for (const auto& b : blocks) {
        if (b.length < 0) {
            EXPECT_TRUE(std::equal(b.data.begin(), b.data.end(), data.begin() + std::ptrdiff_t(at)));
            at += b.data.size();
            continue;
        }
        const std::size_t n = b.data.size() - 11;
        const unsigned char* chunk = data.data() + at;
        const std::uint32_t adler = Adler32(chunk, n);
        const std::vector<unsigned char> head = {0x78, 0xDA, 0x01,
                                                 static_cast<unsigned char>(n & 0xFF),
                                                 static_cast<unsigned char>(n >> 8),
                                                 static_cast<unsigned char>(~n & 0xFF),
                                                 static_cast<unsigned char>((~n >> 8) & 0xFF)};
        EXPECT_TRUE(std::equal(head.begin(), head.end(), b.data.begin()));
        EXPECT_TRUE(std::equal(chunk, chunk + n, b.data.begin() + 7));
        const std::vector<unsigned char> tail = {
            static_cast<unsigned char>(adler >> 24), static_cast<unsigned char>(adler >> 16),
            static_cast<unsigned char>(adler >> 8), static_cast<unsigned char>(adler)};
        EXPECT_TRUE(std::equal(tail.begin(), tail.end(), b.data.end() - 4));
        at += n;
    }
    EXPECT_EQ(at, data.size());
    EXPECT_EQ(walked.entries[0].Data(), data);
    // Header, entry head, blocks with their lengths, end of blocks, end marker.
    std::size_t blockBytes = 0;
    for (const auto& b : blocks)
        blockBytes += 4 + b.data.size();
    EXPECT_EQ(bytes.size(), 4 + 5 + 8 + 4 + kName.size() + 8 + blockBytes + 4 + 4);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, StoredArrangement,
    ::testing::Values(Arrangement{17504, {-16384, 1131}},   // cd.jpg of the shipped payload
                      Arrangement{0, {}},                   // empty block list
                      Arrangement{32768, {-16384, -16384}}, // exact multiple: raw only
                      Arrangement{143, {154}},              // setup.ins
                      Arrangement{16384 + 16373, {-16384, 16384}},
                      // A last chunk whose stream would exceed the 16384-byte
                      // block limit stays raw, so the archive stays readable.
                      Arrangement{16374, {-16374}}, Arrangement{16383, {-16383}}),
    [](const ::testing::TestParamInfo<Arrangement>& info) {
        return "Bytes" + std::to_string(info.param.size);
    });

TEST(ArchiveWriter, HeaderHoldsTitleTotalAndCount)
{
    MemoryStream out;
    WriteArchive(out, "", {MemoryInput("c:\\a", 1, {1, 2, 3}), MemoryInput("c:\\b", 2, {4})});
    const auto walked = testing::Walk(out.Bytes());
    EXPECT_EQ(walked.header.title, "");
    EXPECT_EQ(walked.header.totalSize, 4);
    EXPECT_EQ(walked.header.fileCount, 2);
    ASSERT_EQ(walked.entries.size(), 2u);
    EXPECT_EQ(walked.entries[1].info.name, "c:\\b");
    EXPECT_EQ(walked.entries[1].info.stamp, 2u);
    EXPECT_EQ(walked.end + 4, static_cast<std::int64_t>(out.Bytes().size()));
}

TEST(ArchiveWriter, RefusesWhatTheLayoutCannotHold)
{
    MemoryStream out;
    // Totals beyond a signed 32-bit field, checked before any data is read.
    ArchiveInput huge;
    huge.storedName = "c:\\huge";
    huge.size = std::int64_t(std::numeric_limits<std::int32_t>::max());
    huge.open = []() -> std::unique_ptr<Stream> { throw Error("must not be opened"); };
    EXPECT_THROW(WriteArchive(out, "Setup", {huge, MemoryInput("c:\\one", 0, {1})}), Error);
    EXPECT_TRUE(out.Bytes().empty());

    ArchiveWriter writer(out);
    MemoryStream data(std::vector<unsigned char>{1, 2});
    EXPECT_THROW(writer.WriteHeader(std::string(kMaxNameLength + 1, 't'), 0, 0), Error);
    EXPECT_THROW(writer.WriteEntry(std::string(kMaxNameLength + 1, 'n'), 0, data, 2), Error);
    EXPECT_THROW(writer.WriteEntry("", 0, data, 2), Error);
    EXPECT_THROW(writer.WriteEntry("NEXT:DISK002", 0, data, 2), Error);
    // Data shorter or longer than announced: the file changed while packing.
    MemoryStream shortData(std::vector<unsigned char>{1, 2});
    EXPECT_THROW(writer.WriteEntry("c:\\x", 0, shortData, 3), Error);
    MemoryStream longData(std::vector<unsigned char>{1, 2, 3});
    EXPECT_THROW(writer.WriteEntry("c:\\x", 0, longData, 2), Error);
}

TEST(ArchiveWriter, DeflateKeepsEveryBlockWithinTheLimits)
{
    std::vector<unsigned char> text;
    for (int i = 0; text.size() < 40000; ++i) {
        const std::string line = "line " + std::to_string(i % 97) + " of a compressible text\r\n";
        text.insert(text.end(), line.begin(), line.end());
    }
    auto mixed = text;
    const auto noise = NoiseBytes(20000, 7);
    mixed.insert(mixed.end(), noise.begin(), noise.end());

    const auto walked = testing::Walk(WriteOne(mixed, Compression::Deflate));
    const auto& blocks = walked.entries.at(0).blocks;
    int compressed = 0, raw = 0;
    std::vector<unsigned char> buffer(kMaxBlockSize);
    for (const auto& b : blocks) {
        ASSERT_LE(std::abs(b.length), kMaxBlockSize);
        if (b.length > 0) {
            ++compressed;
            const auto r = InflateBlock(b.data.data(), b.data.size(), buffer.data());
            EXPECT_TRUE(r.streamEnded);
            EXPECT_LT(b.data.size(), r.produced);
        } else {
            ++raw;
        }
    }
    EXPECT_GE(compressed, 2);  // the text chunks
    EXPECT_GE(raw, 1);         // noise does not shrink and stays raw
    EXPECT_EQ(walked.entries[0].Data(), mixed);
}

}  // namespace
}  // namespace lumora::archive
