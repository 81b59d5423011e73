#include "archive/CheckRecord.h"

#include <cstring>

#include "archive/LittleEndian.h"

namespace lumora::archive {

std::optional<CheckRecord> ReadCheckRecord(Stream& file, std::int64_t payloadOffset)
{
    const std::int64_t at = payloadOffset - kCheckRecordSize;
    if (at < 0 || file.Seek(at, Stream::Origin::Begin) != at)
        return std::nullopt;
    unsigned char bytes[kCheckRecordSize];
    if (file.Read(bytes, sizeof bytes) != sizeof bytes || std::memcmp(bytes, kCheckRecordMagic, sizeof kCheckRecordMagic) != 0)
        return std::nullopt;
    return CheckRecord{LoadLittleEndian(bytes + 8, 8), static_cast<std::uint32_t>(LoadLittleEndian(bytes + 16, 4))};
}

}  // namespace lumora::archive
