#pragma once
// A stream over a growable byte vector: archives built in tests, fuzz input.
#include <vector>

#include "base/Stream.h"

namespace lumora {

class MemoryStream : public Stream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, Origin origin) override;

    const std::vector<unsigned char>& Bytes() const { return bytes_; }

private:
    std::vector<unsigned char> bytes_;
    std::int64_t position_ = 0;
};

}  // namespace lumora
