#pragma once
// An installer's payload as its restore reads it, in one pass over the
// file: read ahead in large pieces (a block length and a block cost no
// system call of their own), its check value taken on the way
// (ChecksumStream.h), and a solid payload (SolidStream.h) decompressed.
#include <cstdint>
#include <memory>
#include <optional>

#include "archive/BufferedIo.h"
#include "archive/CheckRecord.h"
#include "archive/ChecksumStream.h"
#include "archive/SolidStream.h"
#include "base/Stream.h"

namespace lumora::archive {

class PayloadSource {
public:
    // The payload lies in `file` from `offset` up to `end`. Reads the solid
    // record, if there is one; throws CompressionError when its stream
    // cannot be decoded here (a dictionary too large). `file` is read by
    // nobody else while this lives.
    PayloadSource(Stream& file, std::int64_t offset, std::int64_t end);
    PayloadSource(const PayloadSource&) = delete;
    PayloadSource& operator=(const PayloadSource&) = delete;

    // The archive, from its first byte: what the restore reads.
    Stream& Archive() { return solid_ ? static_cast<Stream&>(*solid_) : checked_; }
    bool Solid() const { return solid_ != nullptr; }

    // Whether the payload's bytes are those `expected` describes, reading on
    // where the restore stopped; true without a record. Never throws: bytes
    // that cannot be read do not match.
    bool Matches(const std::optional<CheckRecord>& expected);

    // Whether the restore wanted more of the payload than it holds: an
    // archive cut short, whose failure is the payload's, not the disk's.
    bool ReadPastEnd() const { return solid_ ? solid_->InputEnded() : checked_.Furthest() > end_; }

private:
    const std::int64_t offset_;
    const std::int64_t end_;
    ReadAheadStream readAhead_;
    ChecksumStream checked_;
    std::unique_ptr<SolidStream> solid_;
};

}  // namespace lumora::archive
