#include "base/ByteReader.h"

#include "base/Error.h"

namespace lumora {

std::int32_t ByteReader::ReadInt32()
{
    unsigned char b[4];
    stream_.ReadBuffer(b, sizeof b);
    const std::uint32_t v = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                            std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    return static_cast<std::int32_t>(v);
}

std::string ByteReader::ReadString(std::size_t length)
{
    std::string text(length, '\0');
    stream_.ReadBuffer(text.data(), length);
    return text;
}

void ByteReader::Skip(std::int64_t count)
{
    if (count < 0)
        throw Error("Stream seek error");
    const std::int64_t here = stream_.Position();
    const std::int64_t size = stream_.Size();
    if (here < 0 || size < 0 || count > size - here)
        throw Error("Stream read error");
    stream_.Seek(here + count, Stream::Origin::Begin);
}

}  // namespace lumora
