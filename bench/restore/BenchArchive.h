#pragma once
// Archives for the benchmark.
// - A synthetic archive of a given size: files of 4 MiB, seven raw blocks of
//   incompressible bytes for every deflated block of text-like bytes, much
//   like a payload of programs and pictures, written without compressing.
// - Files that compress as programs and texts do, and an archive of them as
//   setuppack build writes it by default.
#include <cstdint>
#include <string>
#include <vector>

namespace lumora::bench {

constexpr std::int64_t kBenchFileSize = 4 << 20;

// Returns the number of file bytes the archive holds.
std::int64_t WriteBenchArchive(const std::string& path, std::int64_t fileBytes);

// Writes `count` files of kBenchFileSize bytes into `folder`: pieces of the
// program `executable` between runs of generated English-like text, each
// file from other pieces. Returns their paths.
std::vector<std::string> WriteCompressibleFiles(const std::string& folder, int count,
                                                const std::string& executable);

// Writes the archive of `files` that setuppack build writes by default: each
// 16 KiB chunk deflated at level 9, or raw where that is not smaller.
void WriteDeflatedArchive(const std::string& path, const std::vector<std::string>& files);

}  // namespace lumora::bench
