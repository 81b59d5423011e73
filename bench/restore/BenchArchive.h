#pragma once
// Writes a synthetic archive of a given size: files of 4 MiB, seven raw
// blocks of incompressible bytes for every deflated block of text-like
// bytes, much like a payload of programs and pictures.
#include <cstdint>
#include <string>

namespace lumora::bench {

// Returns the number of file bytes the archive holds.
std::int64_t WriteBenchArchive(const std::string& path, std::int64_t fileBytes);

}  // namespace lumora::bench
