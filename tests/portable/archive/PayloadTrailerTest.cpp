#include <gtest/gtest.h>

#include <tuple>

#include "PeImageBytes.h"
#include <zlib.h>

#include "archive/ChecksumStream.h"
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

// Long pieces take another path than short ones and than the bytes left
// over behind them: every length around those bounds, at every alignment,
// and continued from a CRC that is not zero.
TEST(CheckRecord, TheCrcIsZlibsAtEveryLengthAndAlignment)
{
    Bytes data(400);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 131 + (i >> 3));
    for (std::size_t at = 0; at < 16; ++at)
        for (std::size_t count = 0; at + count <= data.size(); ++count) {
            const auto expected = static_cast<std::uint32_t>(crc32(0x12345678, data.data() + at, count));
            ASSERT_EQ(ContinueCrc(0x12345678, data.data() + at, count), expected) << at << " " << count;
        }
}

// The restore reads the payload through the view in small pieces, seeks
// over what it passes by and asks for the size on the way; the record must
// still be that of every byte once, in order.
TEST(CheckRecord, TheViewTakesEveryByteOnceAndTheRecordIsFoundBeforeThePayload)
{
    Bytes payload(50000);
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<unsigned char>(i * 7 + (i >> 9));
    const CheckRecord whole{payload.size(), static_cast<std::uint32_t>(crc32(0, payload.data(), 50000))};

    MemoryStream file;
    file.WriteBuffer("stub", 4);
    WriteCheckRecord(file, whole, AuthorEncoding::SystemCodePage);
    file.WriteBuffer(payload.data(), payload.size());
    const std::int64_t offset = 4 + kCheckRecordSize;
    EXPECT_EQ(ReadCheckRecord(file, -1, offset).record, whole);
    EXPECT_EQ(ReadCheckRecord(file, -1, offset - 1).record, std::nullopt);
    EXPECT_EQ(ReadCheckRecord(file, -1, 10).record, std::nullopt);

    file.Seek(offset, Stream::Origin::Begin);
    ChecksumStream view(file);
    unsigned char piece[4000];
    view.ReadBuffer(piece, 4);
    view.Seek(20000, Stream::Origin::Current);  // passed over
    EXPECT_EQ(view.Size(), file.Size());
    view.ReadBuffer(piece, sizeof piece);
    view.Seek(-1000, Stream::Origin::Current);  // read again
    view.ReadBuffer(piece, sizeof piece);
    EXPECT_NE(view.Record(), whole);
    view.Seek(offset + 50000, Stream::Origin::Begin);
    EXPECT_EQ(view.Record(), whole);
    EXPECT_EQ(ComputeCheckRecord(file, offset, offset + 50000), whole);
}

// Between the image's end and the archive lies nothing (another tool's
// installer), or zero padding and a sound record of one of the two kinds;
// anything else there, a record with one byte flipped or a kind of no
// meaning included, is damage and never reads as none.
TEST(CheckRecord, ThePlaceBeforeTheArchiveHoldsNothingOrASoundRecord)
{
    const CheckRecord record{1234, 0xCAFEF00D};
    const auto bytesOf = [&record](AuthorEncoding texts) {
        MemoryStream written;
        WriteCheckRecord(written, record, texts);
        return written.Bytes();
    };
    const Bytes sound = bytesOf(AuthorEncoding::SystemCodePage);
    const Bytes utf8 = bytesOf(AuthorEncoding::Utf8);
    const auto withKind = [&sound](unsigned char kind) {
        Bytes b = sound;
        b[7] = kind;
        return b;
    };
    Bytes flipped = sound;
    flipped[2] ^= 0x40;
    constexpr AuthorEncoding k8Bit = AuthorEncoding::SystemCodePage;
    struct Case {
        const char* what;
        Bytes place;
        bool found;
        bool damaged;
        AuthorEncoding texts;
    } cases[] = {
        {"nothing: another tool's installer", {}, false, false, k8Bit},
        {"a record", sound, true, false, k8Bit},
        {"a record of UTF-8 texts", utf8, true, false, AuthorEncoding::Utf8},
        {"padding, then a record", [&] { Bytes b(7, 0); b.insert(b.end(), sound.begin(), sound.end()); return b; }(),
         true, false, k8Bit},
        {"a flipped magic", flipped, false, true, k8Bit},
        {"a kind of no meaning", withKind(3), false, true, k8Bit},
        {"a kind of 0", withKind(0), false, true, k8Bit},
        {"padding that is not zero", [&] { Bytes b(3, 1); b.insert(b.end(), sound.begin(), sound.end()); return b; }(),
         false, true, k8Bit},
        {"too short for a record", Bytes(12, 0), false, true, k8Bit},
        {"more than padding and a record", Bytes(kCheckRecordSize + 8, 0), false, true, k8Bit},
    };
    for (const Case& c : cases) {
        MemoryStream file;
        file.WriteBuffer("image", 5);
        if (!c.place.empty())
            file.WriteBuffer(c.place.data(), c.place.size());
        file.WriteBuffer("archive", 7);
        const CheckRecordPlace place = ReadCheckRecord(file, 5, 5 + static_cast<std::int64_t>(c.place.size()));
        EXPECT_EQ(place.record.has_value(), c.found) << c.what;
        EXPECT_EQ(place.damaged, c.damaged) << c.what;
        EXPECT_EQ(place.texts, c.texts) << c.what;
        if (c.found) {
            EXPECT_EQ(*place.record, record) << c.what;
        }
    }
    // With no image end known, a record of a kind of no meaning is damage
    // too, and one of UTF-8 texts says so.
    for (const auto& [bytes, damaged, texts] :
         {std::tuple{withKind(3), true, k8Bit}, std::tuple{utf8, false, AuthorEncoding::Utf8}}) {
        MemoryStream file;
        file.WriteBuffer("image", 5);
        file.WriteBuffer(bytes.data(), bytes.size());
        const CheckRecordPlace place = ReadCheckRecord(file, -1, 5 + kCheckRecordSize);
        EXPECT_EQ(place.damaged, damaged);
        EXPECT_EQ(place.texts, texts);
    }
}

}  // namespace
}  // namespace lumora::archive
