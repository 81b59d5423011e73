#include "base/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lumora {

std::size_t MemoryStream::Read(void* buffer, std::size_t count)
{
    const auto size = static_cast<std::int64_t>(bytes_.size());
    if (position_ >= size)
        return 0;
    const std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(size - position_));
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
}

std::size_t MemoryStream::Write(const void* buffer, std::size_t count)
{
    if (count == 0)
        return 0;
    const auto end = static_cast<std::size_t>(position_) + count;
    if (end > bytes_.size())
        bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = static_cast<std::int64_t>(end);
    return count;
}

std::int64_t MemoryStream::Seek(std::int64_t offset, Origin origin)
{
    std::int64_t base = 0;
    if (origin == Origin::Current)
        base = position_;
    else if (origin == Origin::End)
        base = static_cast<std::int64_t>(bytes_.size());
    if ((offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset) || base + offset < 0)
        return -1;
    position_ = base + offset;
    return position_;
}

}  // namespace lumora
