#include <gtest/gtest.h>

#include "base/ByteReader.h"
#include "base/Error.h"
#include "base/MemoryStream.h"

namespace lumora {
namespace {

MemoryStream StreamOf(std::vector<unsigned char> bytes) { return MemoryStream(std::move(bytes)); }

TEST(ByteReader, ReadsLittleEndianSignedIntegers)
{
    auto s = StreamOf({0x00, 0xC0, 0xFF, 0xFF, 0x6B, 0x04, 0x00, 0x00, 0x00, 0x56, 0x09, 0x00});
    ByteReader r(s);
    EXPECT_EQ(r.ReadInt32(), -16384);
    EXPECT_EQ(r.ReadInt32(), 1131);
    EXPECT_EQ(r.ReadInt32(), 611840);
}

TEST(ByteReader, ShortReadsThrowAndNeverInventBytes)
{
    auto s = StreamOf({1, 2, 3});
    ByteReader r(s);
    EXPECT_THROW(r.ReadInt32(), Error);

    auto t = StreamOf({'S', 'e', 't'});
    ByteReader rt(t);
    EXPECT_THROW(rt.ReadString(5), Error);
}

TEST(ByteReader, SkipStaysInsideTheStream)
{
    auto s = StreamOf({1, 2, 3, 4, 5, 6, 7, 8});
    ByteReader r(s);
    r.Skip(4);
    EXPECT_EQ(r.ReadInt32(), 0x08070605);
    EXPECT_THROW(r.Skip(1), Error);
    EXPECT_THROW(r.Skip(-1), Error);
}

TEST(MemoryStream, RefusesNegativePositionsAndAcceptsPositionsBeyondTheEnd)
{
    auto s = StreamOf({1, 2, 3, 4});
    EXPECT_EQ(s.Seek(2, Stream::Origin::Begin), 2);
    EXPECT_EQ(s.Seek(-3, Stream::Origin::Begin), -1);
    EXPECT_EQ(s.Position(), 2);
    EXPECT_EQ(s.Seek(100, Stream::Origin::Begin), 100);
    unsigned char b;
    EXPECT_EQ(s.Read(&b, 1), 0u);
    EXPECT_EQ(s.Size(), 4);
}

}  // namespace
}  // namespace lumora
