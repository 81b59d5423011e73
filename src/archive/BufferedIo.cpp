#include "archive/BufferedIo.h"

#include <algorithm>
#include <cstring>

namespace lumora::archive {

namespace {

// What is left to read of `source` from its position, between kProbeSize
// and kIoBufferSize; kIoBufferSize when the size is not known.
std::size_t ReadAheadCapacity(Stream& source, std::int64_t position)
{
    const std::int64_t size = source.Size();
    if (size < 0 || position < 0 || size - position >= static_cast<std::int64_t>(kIoBufferSize))
        return kIoBufferSize;
    return std::max(kProbeSize, static_cast<std::size_t>(std::max<std::int64_t>(size - position, 0)));
}

}  // namespace

ReadAheadStream::ReadAheadStream(Stream& source)
    : source_(source), position_(source.Position()), start_(position_),
      capacity_(ReadAheadCapacity(source, position_)), buffer_(new unsigned char[capacity_])
{
}

bool ReadAheadStream::Refill()
{
    if (position_ < 0)
        return false;
    const bool sequential = position_ == start_ + static_cast<std::int64_t>(filled_);
    if (!sequential && source_.Seek(position_, Origin::Begin) != position_)
        return false;
    start_ = position_;
    filled_ = source_.Read(buffer_.get(), sequential ? capacity_ : kProbeSize);
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

WriteBehind::WriteBehind(Stream& target, WriteBuffer& storage) : target_(target)
{
    if (!storage)
        storage.reset(new unsigned char[kIoBufferSize]);
    buffer_ = storage.get();
}

WriteBehind::~WriteBehind()
{
    if (used_ > 0)
        target_.Write(buffer_, used_);
}

void WriteBehind::Write(const void* data, std::size_t count)
{
    if (used_ + count > kIoBufferSize)
        Flush();
    if (count >= kIoBufferSize) {
        target_.WriteBuffer(data, count);
        return;
    }
    std::memcpy(buffer_ + used_, data, count);
    used_ += count;
}

unsigned char* WriteBehind::Space(std::size_t count)
{
    if (used_ + count > kIoBufferSize)
        Flush();
    return buffer_ + used_;
}

void WriteBehind::Flush()
{
    const std::size_t pending = used_;
    used_ = 0;  // a failed write is not tried again by the destructor
    target_.WriteBuffer(buffer_, pending);
}

}  // namespace lumora::archive
