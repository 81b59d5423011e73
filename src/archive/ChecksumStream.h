#pragma once
// A read-only view of another stream that takes the check record (see
// CheckRecord.h) of what is read through it, from the position it was made
// at onwards, while the reader goes on: the restore checks the payload
// without reading it twice.
//
// The record covers the bytes from the start up to the furthest position
// read. Bytes that the reader passes over by seeking forward are read and
// counted when it reads again (or when Record() is asked); bytes read twice
// count once.
#include <cstdint>

#include "archive/CheckRecord.h"
#include "base/Stream.h"

namespace lumora::archive {

class ChecksumStream : public Stream {
public:
    explicit ChecksumStream(Stream& base);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, Origin origin) override;

    // The record of the bytes from the start to the furthest position
    // reached; bytes passed over are read for it now. Throws Error when they
    // cannot be read.
    CheckRecord Record();
    // The base stream's furthest position read through this view.
    std::int64_t Furthest() const { return checked_; }

private:
    // Counts the bytes between the checked part and `until`, reading them.
    void CatchUp(std::int64_t until);

    Stream& base_;
    const std::int64_t start_;
    std::int64_t position_;  // of the base stream, as this view left it
    std::int64_t checked_;   // the bytes [start_, checked_) are in crc_
    std::uint32_t crc_ = 0;
};

}  // namespace lumora::archive
