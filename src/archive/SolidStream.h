#pragma once
// A solid payload: the archive (ArchiveLayout.h, every block raw) compressed
// as one LZMA2 stream, so that what its files share is stored once. A record
// of its own before the stream says so; the payload trailer points at that
// record, and the check record (CheckRecord.h) before it covers the record
// and the compressed bytes.
//
//   offset  width  field
//   0       8      magic "LMSOLID" and the record's version 1
//   8       1      filters: bit 0, the x86 branch converter (BCJ) undone
//                  after LZMA2
//   9       1      the LZMA2 dictionary property p: a dictionary of
//                  (2 | (p & 1)) << (p / 2 + 11) bytes
//   10      2      0
//   12      8      the archive's size once decompressed
//   20      ...    the LZMA2 stream, ended by its end marker
//
// A reader needs memory for the dictionary: at most kMaxSolidDictionary,
// which setuppack build never exceeds; a larger one is refused as damage.
#include <cstdint>
#include <memory>
#include <optional>

#include "archive/ArchiveReader.h"
#include "base/Stream.h"

namespace lumora::archive {

constexpr std::int64_t kSolidRecordSize = 20;
inline constexpr unsigned char kSolidRecordMagic[8] = {'L', 'M', 'S', 'O', 'L', 'I', 'D', 1};
constexpr std::uint32_t kMaxSolidDictionary = 64u << 20;
constexpr unsigned char kSolidX86Filter = 1;

struct SolidRecord {
    unsigned char filters = 0;
    unsigned char dictionaryProperty = 0;
    std::uint64_t size = 0;

    // The dictionary's size in bytes.
    std::uint64_t Dictionary() const;
};

// The smallest dictionary property whose dictionary holds `bytes`.
unsigned char DictionaryPropertyFor(std::uint64_t bytes);

// The record at the stream's position, which it leaves after the record;
// nothing when the bytes there are no solid record (the position is then
// left anywhere).
std::optional<SolidRecord> ReadSolidRecord(Stream& in);
void WriteSolidRecord(Stream& out, const SolidRecord& record);

// The archive of a solid payload, decompressed as it is read: `compressed`
// holds the LZMA2 stream from its position, `compressedSize` bytes at most.
// Reads go forward; a seek forward decompresses what it passes over, and a
// seek back to what has been handed out already is refused. The position
// counts from 0 at the archive's first byte, and the end lies at the
// record's size. Damaged data throws CompressionError from the Read that
// reaches it, once every byte decoded before it has been handed out; so does
// a dictionary above kMaxSolidDictionary, on construction. A stream cut
// short ends early, with what could be decoded.
class SolidStream : public Stream {
public:
    SolidStream(Stream& compressed, std::int64_t compressedSize, const SolidRecord& record);
    ~SolidStream() override;
    SolidStream(const SolidStream&) = delete;
    SolidStream& operator=(const SolidStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, Origin origin) override;

    // Whether the compressed bytes ran out before the stream's end mark.
    bool InputEnded() const;

private:
    struct Decoder;
    // Decompresses more into the output buffer; false at the stream's end.
    bool Fill();

    std::unique_ptr<Decoder> decoder_;
};

}  // namespace lumora::archive
