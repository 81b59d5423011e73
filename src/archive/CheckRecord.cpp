#include "archive/CheckRecord.h"

#include <cstring>

namespace lumora::archive {

namespace {

std::uint64_t LittleEndian(const unsigned char* bytes, int width)
{
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

}  // namespace

std::optional<CheckRecord> ReadCheckRecord(Stream& file, std::int64_t payloadOffset)
{
    const std::int64_t at = payloadOffset - kCheckRecordSize;
    if (at < 0 || file.Seek(at, Stream::Origin::Begin) != at)
        return std::nullopt;
    unsigned char bytes[kCheckRecordSize];
    if (file.Read(bytes, sizeof bytes) != sizeof bytes || std::memcmp(bytes, kCheckRecordMagic, sizeof kCheckRecordMagic) != 0)
        return std::nullopt;
    return CheckRecord{LittleEndian(bytes + 8, 8), static_cast<std::uint32_t>(LittleEndian(bytes + 16, 4))};
}

}  // namespace lumora::archive
