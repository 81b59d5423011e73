#include <gtest/gtest.h>

#include "ArchiveBytes.h"
#include "archive/ArchiveReader.h"
#include "archive/BlockEncoder.h"

namespace lumora::archive {
namespace {

struct InflateCase {
    const char* what;
    std::vector<unsigned char> stream;
    std::size_t produced;
    bool ended;
    bool failed;
};

std::vector<InflateCase> Cases()
{
    const auto data = testing::NoiseBytes(1000);
    const auto good = StoredZlibStream(data.data(), data.size());
    auto badAdler = good;
    badAdler.at(badAdler.size() - 1) ^= 1;
    auto badData = good;
    badData[500] ^= 0x40;  // a stored byte: the Adler-32 no longer matches
    auto badHeader = good;
    badHeader[1] = 0x00;   // header check bits wrong
    const std::vector<unsigned char> noAdler(good.begin(), good.end() - 4);
    auto trailing = good;
    trailing.insert(trailing.end(), 100, 0x55);
    const auto big = testing::NoiseBytes(20000);
    return {
        {"complete stream", good, 1000, true, false},
        {"bytes after the stream", trailing, 1000, true, false},
        {"flipped Adler-32", badAdler, 1000, false, true},
        {"flipped data byte", badData, 1000, false, true},
        {"bad header", badHeader, 0, false, true},
        {"stream without its Adler-32", noAdler, 1000, false, false},
        {"empty input", {}, 0, false, true},
        // More than a block's output: the buffer fills and the stream goes on.
        {"yields more than 16384", StoredZlibStream(big.data(), big.size()), 16384, false, false},
    };
}

TEST(InflateBlock, ReportsProducedBytesStatusAndStreamEnd)
{
    std::vector<unsigned char> output(kMaxBlockSize);
    for (const auto& c : Cases()) {
        SCOPED_TRACE(c.what);
        const auto r = InflateBlock(c.stream.data(), c.stream.size(), output.data());
        EXPECT_EQ(r.produced, c.produced);
        EXPECT_EQ(r.streamEnded, c.ended);
        EXPECT_EQ(r.Failed(), c.failed);
    }
}

}  // namespace
}  // namespace lumora::archive
