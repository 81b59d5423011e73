#include "archive/BufferedIo.h"

#include <algorithm>
#include <cstring>

namespace lumora::archive {

bool ReadAheadStream::Refill()
{
    if (position_ < 0)
        return false;
    const bool sequential = position_ == start_ + static_cast<std::int64_t>(filled_);
    if (!sequential && source_.Seek(position_, Origin::Begin) != position_)
        return false;
    start_ = position_;
    filled_ = source_.Read(buffer_.get(), sequential ? kIoBufferSize : kProbeSize);
    return filled_ > 0;
}

std::size_t ReadAheadStream::Read(void* buffer, std::size_t count)
{
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::int64_t end = start_ + static_cast<std::int64_t>(filled_);
        if ((position_ < start_ || position_ >= end) && !Refill())
            break;
        const auto offset = static_cast<std::size_t>(position_ - start_);
        const std::size_t n = std::min(count - done, filled_ - offset);
        std::memcpy(out + done, buffer_.get() + offset, n);
        position_ += static_cast<std::int64_t>(n);
        done += n;
    }
    return done;
}

std::int64_t ReadAheadStream::Seek(std::int64_t offset, Origin origin)
{
    std::int64_t base = 0;
    if (origin == Origin::Current) {
        base = position_;
    } else if (origin == Origin::End) {
        // Asking for the end moves the source; it goes back to where the
        // buffer ends, or the buffer is dropped.
        const std::int64_t resume = start_ + static_cast<std::int64_t>(filled_);
        base = source_.Seek(0, Origin::End);
        if (resume < 0 || source_.Seek(resume, Origin::Begin) != resume) {
            filled_ = 0;
            start_ = -1;
        }
        if (base < 0)
            return -1;
    }
    if (offset > 0 ? base > INT64_MAX - offset : base + offset < 0)
        return -1;
    position_ = base + offset;
    return position_;
}

WriteBehind::~WriteBehind()
{
    if (used_ > 0)
        target_.Write(buffer_.get(), used_);
}

void WriteBehind::Write(const void* data, std::size_t count)
{
    if (used_ + count > kIoBufferSize)
        Flush();
    if (count >= kIoBufferSize) {
        target_.WriteBuffer(data, count);
        return;
    }
    std::memcpy(buffer_.get() + used_, data, count);
    used_ += count;
}

unsigned char* WriteBehind::Space(std::size_t count)
{
    if (used_ + count > kIoBufferSize)
        Flush();
    return buffer_.get() + used_;
}

void WriteBehind::Flush()
{
    const std::size_t pending = used_;
    used_ = 0;  // a failed write is not tried again by the destructor
    target_.WriteBuffer(buffer_.get(), pending);
}

}  // namespace lumora::archive
