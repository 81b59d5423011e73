#pragma once
// A read-only view of another stream that ends at a given position: the
// archive of an installer ends where its payload trailer begins, and a walk
// must not read the trailer as archive data. Positions are those of the
// underlying stream.
#include <cstdint>

#include "base/Stream.h"

namespace setuppack {

class LimitedStream : public lumora::Stream {
public:
    LimitedStream(lumora::Stream& base, std::int64_t end) : base_(base), end_(end) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, Origin origin) override;

private:
    lumora::Stream& base_;
    std::int64_t end_;
};

}  // namespace setuppack
