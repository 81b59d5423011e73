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

// The CRC-32 of zlib, PNG and Ethernet (reflected polynomial EDB88320),
// eight bytes a step through eight tables that are computed on first use
// rather than stored in the program (zlib's own crc32 brings some 9 KB of
// them). The restore takes it over every payload byte, so it has to keep
// pace with the disk. The tables live as long as the process.
std::uint32_t ContinueCrc(std::uint32_t crc, const unsigned char* data, std::size_t count)
{
    static std::uint32_t (*table)[256] = nullptr;
    if (!table) {
        table = new std::uint32_t[8][256];
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[0][n] = c;
        }
        for (std::uint32_t n = 0; n < 256; ++n)
            for (int k = 1; k < 8; ++k)
                table[k][n] = table[0][table[k - 1][n] & 0xFF] ^ (table[k - 1][n] >> 8);
    }
    const auto word = [](const unsigned char* p) {
        return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
               std::uint32_t(p[3]) << 24;
    };
    crc = ~crc;
    for (; count >= 8; count -= 8, data += 8) {
        const std::uint32_t low = crc ^ word(data);
        const std::uint32_t high = word(data + 4);
        crc = table[7][low & 0xFF] ^ table[6][(low >> 8) & 0xFF] ^ table[5][(low >> 16) & 0xFF] ^
              table[4][low >> 24] ^ table[3][high & 0xFF] ^ table[2][(high >> 8) & 0xFF] ^
              table[1][(high >> 16) & 0xFF] ^ table[0][high >> 24];
    }
    for (; count > 0; --count, ++data)
        crc = table[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

}  // namespace lumora::archive
