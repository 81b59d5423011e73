#include "base/Stream.h"

#include "base/Error.h"

namespace lumora {

std::int64_t Stream::Size()
{
    const std::int64_t here = Position();
    const std::int64_t end = Seek(0, Origin::End);
    Seek(here, Origin::Begin);
    return end;
}

void Stream::ReadBuffer(void* buffer, std::size_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        throw Error("Stream read error");
}

void Stream::WriteBuffer(const void* buffer, std::size_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        throw Error("Stream write error");
}

}  // namespace lumora
