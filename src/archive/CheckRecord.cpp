#include "archive/CheckRecord.h"

#include <algorithm>
#include <cstring>

#include "archive/LittleEndian.h"

namespace lumora::archive {

namespace {

// The most zero bytes the packing tool puts before the record.
constexpr std::int64_t kMaxPadding = 7;

}  // namespace

CheckRecordPlace ReadCheckRecord(Stream& file, std::int64_t imageEnd, std::int64_t payloadOffset)
{
    const bool imageKnown = imageEnd >= 0;
    const std::int64_t place = payloadOffset - imageEnd;
    if (imageKnown && place <= 0)
        return {};
    if (imageKnown && (place < kCheckRecordSize || place > kCheckRecordSize + kMaxPadding))
        return {std::nullopt, true};
    const std::int64_t from = imageKnown ? imageEnd : payloadOffset - kCheckRecordSize;
    if (from < 0)
        return {};
    // The padding, then the record.
    unsigned char bytes[kMaxPadding + kCheckRecordSize];
    const auto count = static_cast<std::size_t>(payloadOffset - from);
    if (file.Seek(from, Stream::Origin::Begin) != from || file.Read(bytes, count) != count)
        return {std::nullopt, imageKnown};
    const unsigned char* record = bytes + count - kCheckRecordSize;
    const bool padded = std::all_of(static_cast<const unsigned char*>(bytes), record, [](unsigned char b) { return b == 0; });
    if (!padded || std::memcmp(record, kCheckRecordMagic, sizeof kCheckRecordMagic) != 0)
        return {std::nullopt, imageKnown};
    const unsigned char kind = record[sizeof kCheckRecordMagic];
    if (kind != kSystemCodePageKind && kind != kUtf8Kind)
        return {std::nullopt, true};
    return {CheckRecord{LoadLittleEndian(record + 8, 8), static_cast<std::uint32_t>(LoadLittleEndian(record + 16, 4))},
            false, kind == kUtf8Kind ? AuthorEncoding::Utf8 : AuthorEncoding::SystemCodePage};
}

}  // namespace lumora::archive
