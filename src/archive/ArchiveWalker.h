#pragma once
// Walks an archive from its header to its end-of-archive marker and tells a
// visitor what it meets, with the stream offset of each part: the tools list,
// verify and extract archives through it. Negative name lengths are passed
// over, "FILE:LIST" entries are reported like files (flagged), and a volume
// marker asks the visitor for the next volume's stream, whose block magic and
// blocks continue the interrupted entry.
//
// Reading failures (short data, broken limits, a wrong block magic) throw
// Error, or InvalidArchive when the layout is broken, with a message that
// names the entry, the block and the offset where the walk stopped.
#include <cstdint>
#include <string>

#include "archive/ArchiveReader.h"
#include "base/Stream.h"

namespace lumora::archive {

struct EntryInfo {
    std::string name;
    std::uint32_t stamp = 0;
    std::int64_t offset = 0;  // of the name length
    int volume = 1;           // volume in which the entry begins
    bool fileList = false;    // the "FILE:LIST" entry, never restored
};

struct BlockInfo {
    int index = 0;             // 1 for an entry's first block, across volumes
    std::int32_t length = 0;   // > 0 compressed, < 0 raw
    std::int64_t offset = 0;   // of the block length
    int volume = 1;
    // The block's |length| bytes, or nullptr when the walk skips data.
    const unsigned char* data = nullptr;
};

class ArchiveVisitor {
public:
    virtual ~ArchiveVisitor() = default;
    virtual void Header(const ArchiveHeader&) {}
    virtual void PassedOver(std::int32_t /*nameLength*/, std::int64_t /*offset*/) {}
    virtual void Entry(const EntryInfo&) {}
    virtual void Block(const EntryInfo&, const BlockInfo&) {}
    virtual void EndOfBlocks(const EntryInfo&, std::int64_t /*offset*/) {}
    // A volume marker named `markerName` at `offset`: returns the next
    // volume's stream, which the visitor keeps open until the walk ends, or
    // nullptr to stop the walk there.
    virtual Stream* NextVolume(const std::string& /*markerName*/, std::int64_t /*offset*/)
    {
        return nullptr;
    }
    // The end-of-archive marker at `offset`; the walk ends after it.
    virtual void End(std::int64_t /*offset*/) {}
};

enum class WalkEnd {
    EndMarker,        // the end-of-archive marker was reached
    StoppedAtVolume,  // a volume marker, and no next volume was given
};

enum class BlockData { Read, Skip };

// Walks the archive that starts at the current position of `archive`.
WalkEnd WalkArchive(Stream& archive, ArchiveVisitor& visitor, BlockData data = BlockData::Read);

}  // namespace lumora::archive
