#pragma once
// Writes archives in the layout of ArchiveLayout.h. Each file is cut into
// chunks of kMaxBlockSize bytes and each chunk becomes one block, encoded as
// BlockEncoder.h describes; Compression::Stored gives the arrangement of the
// shipped installers byte for byte.
#include <cstdint>
#include <string_view>
#include <vector>

#include "archive/ArchiveInput.h"
#include "archive/BlockEncoder.h"
#include "base/Stream.h"

namespace lumora::archive {

class ArchiveWriter {
public:
    explicit ArchiveWriter(Stream& out, Compression compression = Compression::Stored)
        : out_(out), compression_(compression) {}

    // Throws Error when the title is longer than a reader accepts or a value
    // does not fit the layout's signed 32-bit fields.
    void WriteHeader(std::string_view title, std::int64_t totalSize, std::int64_t fileCount);
    // Name, stamp, block magic, blocks, end-of-blocks marker. `data` must
    // yield exactly `size` bytes; a file that is shorter or longer than
    // announced (changed while being packed) throws Error.
    void WriteEntry(std::string_view storedName, std::uint32_t stamp, Stream& data,
                    std::int64_t size);
    void WriteEnd();

private:
    void WriteInt32(std::int32_t value);

    Stream& out_;
    Compression compression_;
};

// A whole archive: header (total size = sum of the inputs' sizes, file
// count = number of inputs), one entry per input in order, end marker.
void WriteArchive(Stream& out, std::string_view title, const std::vector<ArchiveInput>& inputs,
                  Compression compression = Compression::Stored);

}  // namespace lumora::archive
