#include "archive/ChecksumStream.h"

#include <algorithm>
#include <memory>

#include "base/Error.h"

namespace lumora::archive {

ChecksumStream::ChecksumStream(Stream& base)
    : base_(base), start_(base.Position()), position_(start_), checked_(start_)
{
}

std::size_t ChecksumStream::Read(void* buffer, std::size_t count)
{
    if (position_ > checked_)
        CatchUp(position_);
    const std::size_t got = base_.Read(buffer, count);
    const std::int64_t end = position_ + static_cast<std::int64_t>(got);
    if (end > checked_) {
        // Only the part beyond what was counted before.
        const auto known = static_cast<std::size_t>(checked_ - position_);
        crc_ = ContinueCrc(crc_, static_cast<const unsigned char*>(buffer) + known, got - known);
        checked_ = end;
    }
    position_ = end;
    return got;
}

std::int64_t ChecksumStream::Seek(std::int64_t offset, Origin origin)
{
    const std::int64_t moved = base_.Seek(offset, origin);
    if (moved >= 0)
        position_ = moved;
    return moved;
}

CheckRecord ChecksumStream::Record()
{
    if (position_ > checked_)
        CatchUp(position_);
    return {static_cast<std::uint64_t>(checked_ - start_), crc_};
}

void ChecksumStream::CatchUp(std::int64_t until)
{
    constexpr std::size_t kPiece = 16384;
    const auto piece = std::make_unique<unsigned char[]>(kPiece);
    if (base_.Seek(checked_, Origin::Begin) != checked_)
        throw Error("Stream seek error");
    while (checked_ < until) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(until - checked_, kPiece));
        base_.ReadBuffer(piece.get(), want);
        crc_ = ContinueCrc(crc_, piece.get(), want);
        checked_ += static_cast<std::int64_t>(want);
    }
}

}  // namespace lumora::archive
