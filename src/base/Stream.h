#pragma once
// A byte stream with a position, the only way portable code reads and writes
// data. Implementations: MemoryStream, StdioFileStream, and the Win32 file
// stream of the framework layer.
#include <cstddef>
#include <cstdint>

namespace lumora {

class Stream {
public:
    enum class Origin { Begin, Current, End };

    virtual ~Stream() = default;

    // Reads up to `count` bytes; returns how many were read (0 at the end or
    // on failure).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes up to `count` bytes; returns how many were written.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Moves the position and returns the new one. A position before the start
    // is refused: the result is -1 and the position does not change. A
    // position beyond the end is accepted; reading there yields nothing.
    virtual std::int64_t Seek(std::int64_t offset, Origin origin) = 0;

    std::int64_t Position() { return Seek(0, Origin::Current); }
    std::int64_t Size();

    // Read or write exactly `count` bytes, or throw Error.
    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count);
};

}  // namespace lumora
