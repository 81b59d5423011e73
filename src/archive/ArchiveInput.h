#pragma once
// One file to be stored in an archive: the name it is stored under, its
// stamp, its size and a way to read its data. The size is known before the
// data is read because the archive header, written first, holds the sum.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Stream.h"

namespace lumora::archive {

struct ArchiveInput {
    std::string storedName;
    std::uint32_t stamp = 0;   // local time, MS-DOS packed form
    std::int64_t size = 0;     // bytes that `open` yields
    // Opens the data, positioned at its first byte.
    std::function<std::unique_ptr<Stream>()> open;
};

// Data held in memory (tests, generated content).
ArchiveInput MemoryInput(std::string storedName, std::uint32_t stamp,
                         std::vector<unsigned char> bytes);

// A file on this machine: its stored name (StoredName.h), its last-write time
// and size, read through a file stream when written. Throws Error naming the
// file when it cannot be found or is not a regular file.
ArchiveInput FileInput(const std::string& path);

}  // namespace lumora::archive
