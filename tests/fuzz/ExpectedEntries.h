#pragma once
// What the archive walker reads from a set of volumes, entry by entry: the
// measure against which the fuzz targets hold the restore component and the
// survey of list and verify. Compressed blocks are inflated here with zlib's
// own uncompress, not with the component's code.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "FuzzInput.h"

namespace lumora::fuzz {

struct ExpectedEntry {
    std::string name;
    std::uint32_t stamp = 0;
    std::int64_t offset = 0;
    bool fileList = false;
    Bytes content;           // what its blocks yield, zlib blocks as far as they inflate
    std::uint64_t size = 0;  // of all its blocks yield, also beyond the bound
    bool known = true;       // content holds all of it (false past kMaxContent)
    bool whole = false;      // its block list ended, in the last volume it went on in
    bool sound = true;       // every zlib block inflated completely within a block's size
};

struct ExpectedArchive {
    std::vector<ExpectedEntry> entries;
    bool reachedEnd = false;  // the end-of-archive marker was read
    // Entries but the file list, in order: the ones a restore offers.
    std::vector<const ExpectedEntry*> Files() const;
};

// Bytes of content kept over all entries.
constexpr std::size_t kMaxContent = 8 << 20;

// Walks the archive in `first`'s bytes from `start` to `end`. With
// `followVolumes`, a volume marker continues in the file of `files` that the
// marker names beside the current volume, as a restore by name finds it; a
// volume already read, a missing one or a bad marker ends the walk there.
// Without, the walk ends at the first volume marker, as a restore from a
// stream does.
ExpectedArchive ReadExpected(const std::map<std::string, Bytes>& files, const std::string& first,
                             std::int64_t start, std::int64_t end, bool followVolumes);

}  // namespace lumora::fuzz
