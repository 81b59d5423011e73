#pragma once
// One file to be stored in an archive: the name it is stored under, its
// stamp, its size and a way to read its data. The size is known before the
// data is read because the archive header, written first, holds the sum.
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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

// How a file name (path text) is written as the 8-bit name the installer
// restores: its bytes in the installer's ANSI code page. Throws Error saying
// why a name cannot be written so.
using AnsiName = std::function<std::string(std::string_view name)>;
// In the ANSI code page of this system; a name it cannot spell throws.
std::string SystemAnsiName(std::string_view name);

// How files on this machine become inputs.
struct FileInputRules {
    AnsiName ansiName = SystemAnsiName;
    // Reproducible builds: stamps no later than this time, and read as UTC,
    // so that the same files give the same archive in every time zone.
    std::optional<std::time_t> sourceDateEpoch;
};

// A file on this machine: its stored name (StoredName.h) with the file name
// written by the rules' `ansiName`, its last-write time and size, read
// through a file stream when written. Throws Error naming the file when it
// cannot be found, is not a regular file, or its name cannot be written.
ArchiveInput FileInput(const std::string& path, const FileInputRules& rules = {});

}  // namespace lumora::archive
