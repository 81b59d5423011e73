#include "LimitedStream.h"

#include <algorithm>

namespace setuppack {

std::size_t LimitedStream::Read(void* buffer, std::size_t count)
{
    const std::int64_t here = base_.Position();
    if (here < 0 || here >= end_)
        return 0;
    const auto left = static_cast<std::uint64_t>(end_ - here);
    return base_.Read(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(count, left)));
}

std::int64_t LimitedStream::Seek(std::int64_t offset, Origin origin)
{
    if (origin == Origin::End) {
        if (offset > 0 || offset < -end_)
            return -1;
        return base_.Seek(end_ + offset, Origin::Begin);
    }
    return base_.Seek(offset, origin);
}

}  // namespace setuppack
