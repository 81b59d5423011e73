#pragma once
// Reads the little-endian integers and counted strings of the archive layout
// from a stream. Every read is exact: a short read throws Error, so a value is
// never made up from missing bytes.
#include <cstdint>
#include <string>

#include "base/Stream.h"

namespace lumora {

class ByteReader {
public:
    explicit ByteReader(Stream& stream) : stream_(stream) {}

    std::int32_t ReadInt32();
    std::uint32_t ReadUInt32() { return static_cast<std::uint32_t>(ReadInt32()); }
    // Reads `length` bytes as 8-bit text; the caller bounds `length`.
    std::string ReadString(std::size_t length);
    void ReadBytes(void* buffer, std::size_t count) { stream_.ReadBuffer(buffer, count); }
    // Moves the position forward by `count` bytes without reading them;
    // throws when that passes the end of the stream.
    void Skip(std::int64_t count);

    Stream& Source() { return stream_; }

private:
    Stream& stream_;
};

}  // namespace lumora
