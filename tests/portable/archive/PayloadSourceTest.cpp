#include <gtest/gtest.h>

#include <algorithm>

#include "Bra.h"
#include "RestoreFixture.h"
#include "archive/PayloadSource.h"
#include "base/MemoryStream.h"

namespace lumora::archive::test {
namespace {

// Bytes whose reads come back short: each read ends at the next multiple of
// `piece` at most, as a pipe or a network file may hand them out.
class ShortReads : public MemoryStream {
public:
    ShortReads(std::vector<unsigned char> bytes, std::size_t piece) : MemoryStream(std::move(bytes)), piece_(piece) {}

    std::size_t Read(void* buffer, std::size_t count) override
    {
        const auto at = static_cast<std::size_t>(Position());
        return MemoryStream::Read(buffer, std::min(count, piece_ - at % piece_));
    }

private:
    std::size_t piece_;
};

// `archive` as a solid payload: its record, then the archive, branch-converted,
// in LZMA2's stored chunks (at most 64 KiB each, the first resetting the
// dictionary) and the end marker.
Bytes Solid(Bytes archive)
{
    const std::uint64_t size = archive.size();
    std::uint32_t state = Z7_BRANCH_CONV_ST_X86_STATE_INIT_VAL;
    z7_BranchConvSt_X86_Enc(archive.data(), archive.size(), 0, &state);
    Bytes out(kSolidRecordMagic, kSolidRecordMagic + 8);
    out.insert(out.end(), {kSolidX86Filter, DictionaryPropertyFor(size), 0, 0});
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<unsigned char>(size >> (8 * i)));
    for (std::size_t at = 0; at < archive.size(); at += 65536) {
        const std::size_t n = std::min<std::size_t>(65536, archive.size() - at);
        out.insert(out.end(), {static_cast<unsigned char>(at == 0 ? 1 : 2), static_cast<unsigned char>((n - 1) >> 8),
                               static_cast<unsigned char>(n - 1)});
        out.insert(out.end(), archive.begin() + static_cast<std::ptrdiff_t>(at),
                   archive.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
    return out;
}

// Reads of 1 and 3 bytes split every length field across two reads; the
// odd larger ones end inside blocks and inside the solid stream's chunks.
TEST_F(RestoreFixture, APayloadReadInShortPiecesRestoresWholeAndMatchesItsRecord)
{
    const std::vector<StoredFile> files{{"c:\\src\\big.bin", kStamp, Pattern(70000, 3)},
                                        {"c:\\src\\small.txt", kStamp, Pattern(5, 7)},
                                        {"c:\\src\\empty.txt", kStamp, {}}};
    const Bytes stub(333, 'M');
    for (const bool solid : {false, true}) {
        Bytes file = stub;
        const Bytes payload = solid ? Solid(WriterArchive(files)) : WriterArchive(files);
        file.insert(file.end(), payload.begin(), payload.end());
        MemoryStream whole(file);
        const CheckRecord record = ComputeCheckRecord(whole, 333, static_cast<std::int64_t>(file.size()));
        for (const std::size_t piece : {1, 3, 4093, 16387}) {
            SCOPED_TRACE(testing::Message() << (solid ? "solid, " : "plain, ") << "pieces of " << piece);
            ShortReads source(file, piece);
            PayloadSource payload(source, 333, static_cast<std::int64_t>(file.size()));
            EXPECT_EQ(payload.Solid(), solid);
            ASSERT_TRUE(backup.RestoreFromStream(&payload.Archive(), scratch.Folder()));
            for (const StoredFile& stored : files)
                EXPECT_EQ(ReadAll(scratch / stored.name.substr(7)), stored.data) << stored.name;
            EXPECT_TRUE(payload.Matches(record));
            EXPECT_FALSE(payload.Matches(CheckRecord{record.length, record.crc ^ 1}));
        }
    }
}

// A solid payload's damage ends its restore as a plain archive's does: the
// files before it restored and counted, the file it falls in kept as far as
// it was decoded and counted with the compression error, a stream cut short
// an entry cut short (code 1, the payload read past its end), and damage in
// the first chunk a compression error through OnError, not an escape.
TEST_F(RestoreFixture, ASolidPayloadsDamageEndsTheRestoreAsAPlainArchivesDoes)
{
    const std::vector<StoredFile> files{{"c:\\src\\first.bin", kStamp, Pattern(20000, 3)},
                                        {"c:\\src\\second.bin", kStamp, Pattern(90000, 5)},
                                        {"c:\\src\\third.bin", kStamp, Pattern(10, 7)}};
    // Raw blocks, as a solid payload holds them: the second file begins in
    // the first 64 KiB chunk and ends in the second.
    const Bytes solid = Solid(WriterArchive(files, false));
    const std::size_t secondChunk = kSolidRecordSize + 3 + 65536;
    struct Case {
        const char* what;
        Bytes payload;
        std::int32_t code;
        int restored;
        bool readPastEnd;
    } cases[] = {
        {"a bad chunk inside the second file", [&] { Bytes b = solid; b[secondChunk] = 5; return b; }(),
         kErrorCompression, 2, false},
        {"cut short inside the second file", Bytes(solid.begin(), solid.begin() + secondChunk + 100),
         kErrorCannotReadFile, 1, true},
        {"a bad first chunk", [&] { Bytes b = solid; b[kSolidRecordSize] = 5; return b; }(), kErrorCompression, 0,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        events.Clear();
        MemoryStream source(c.payload);
        PayloadSource payload(source, 0, static_cast<std::int64_t>(c.payload.size()));
        EXPECT_FALSE(backup.RestoreFromStream(&payload.Archive(), scratch.Folder()));
        ASSERT_EQ(events.errors.size(), 1u);
        EXPECT_EQ(events.errors[0].first, c.code);
        EXPECT_EQ(backup.RestoredCount(), c.restored);
        EXPECT_EQ(payload.ReadPastEnd(), c.readPastEnd);
        if (c.restored > 0) {
            EXPECT_EQ(ReadAll(scratch / "first.bin"), files[0].data);
        }
    }
}

// The archive ends at its record's size however it is read: reads of a
// whole buffer get no byte more than reads field by field, also when the
// stream holds more (here it lacks its end marker, so the decoder does not
// find the difference itself).
TEST(SolidStream, EndsAtTheRecordsSizeWhateverSizeAReadAsks)
{
    Bytes payload = Solid(Pattern(100));
    payload.pop_back();
    payload[12] = 90;
    for (const std::size_t piece : {1, 4, 4096, 65536}) {
        SCOPED_TRACE(testing::Message() << "reads of " << piece);
        MemoryStream compressed(payload);
        const std::optional<SolidRecord> record = ReadSolidRecord(compressed);
        ASSERT_TRUE(record);
        SolidStream solid(compressed, static_cast<std::int64_t>(payload.size()) - kSolidRecordSize, *record);
        Bytes read(piece);
        std::size_t total = 0;
        while (const std::size_t got = solid.Read(read.data(), piece))
            total += got;
        EXPECT_EQ(total, 90u);
    }
}

}  // namespace
}  // namespace lumora::archive::test
