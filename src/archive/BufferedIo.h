#pragma once
// Batching of the restore's file traffic: blocks are at most 16 KiB, and a
// system call per block and per 4-byte field costs more than the copying.
// The buffers have a fixed size, so memory does not grow with the archive;
// they are not cleared first, so a small archive touches only the pages it
// uses. A volume's read buffer is no larger than what is left of it to read,
// and one write buffer serves every file of a run.
#include <cstdint>
#include <memory>

#include "base/Stream.h"

namespace lumora::archive {

constexpr std::size_t kIoBufferSize = 256 * 1024;
// Read after a jump: enough for the fields that follow a skipped block,
// little enough that skipping does not read what it skips.
constexpr std::size_t kProbeSize = 4096;

// Reads a stream ahead: in pieces of kIoBufferSize while reading goes on
// where the last piece ended, in pieces of kProbeSize after a jump. The
// wrapped stream's own position is left wherever the last piece ended, so it
// must be read by nobody else meanwhile.
class ReadAheadStream : public Stream {
public:
    explicit ReadAheadStream(Stream& source);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, Origin origin) override;

private:
    bool Refill();

    Stream& source_;
    std::int64_t position_;  // this stream's position in the source
    std::int64_t start_;     // source position of buffer_[0]
    std::size_t capacity_;   // of buffer_, at least kProbeSize
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t filled_ = 0;
};

// The storage of a WriteBehind, kept by its owner so that the next file
// written reuses it; allocated on first use.
using WriteBuffer = std::unique_ptr<unsigned char[]>;

// Collects writes to a stream in `storage` and passes them on in pieces of
// kIoBufferSize. Flush passes on the rest and throws Error when a write
// fails; the destructor passes on what it can and reports nothing. Only one
// WriteBehind at a time may use the same storage.
class WriteBehind {
public:
    WriteBehind(Stream& target, WriteBuffer& storage);
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    void Write(const void* data, std::size_t count);
    // Room for `count` (at most kIoBufferSize) bytes to be filled in place
    // and then passed to Commit, which saves copying them into the buffer.
    unsigned char* Space(std::size_t count);
    void Commit(std::size_t count) { used_ += count; }
    void Flush();

private:
    Stream& target_;
    unsigned char* buffer_;
    std::size_t used_ = 0;
};

}  // namespace lumora::archive
