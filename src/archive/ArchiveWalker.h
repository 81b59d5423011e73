#pragma once
// The one walk of an archive (see ArchiveLayout.h) from its header to its
// end-of-archive marker. It reads every part in order through ArchiveReader
// and tells a visitor what it meets, with the stream offset of each part.
// The restore component and the tools' list, verify and extract all walk
// through it.
//
// Negative name lengths are passed over; "FILE:LIST" entries are reported
// like files (flagged); a volume marker asks the visitor for the next
// volume's stream, whose block magic and blocks continue the interrupted
// entry. The visitor decides per entry whether block data is read or passed
// over, and may end the walk before any name length or block length.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
    std::uint64_t index = 0;   // 1 for an entry's first block, across volumes
    std::int32_t length = 0;   // > 0 compressed, < 0 raw
    std::int64_t offset = 0;   // of the block length
    int volume = 1;
    // The block's |length| bytes, or nullptr when the data is passed over.
    const unsigned char* data = nullptr;
};

enum class BlockData { Read, Skip };

class ArchiveVisitor {
public:
    virtual ~ArchiveVisitor() = default;
    // Asked before each name length and each block length is read, and after
    // each entry's decision: false ends the walk there.
    virtual bool Going() { return true; }
    virtual void Header(const ArchiveHeader&) {}
    virtual void PassedOver(std::int32_t /*nameLength*/, std::int64_t /*offset*/) {}
    // An entry's name and stamp have been read. The answer says whether the
    // data of its blocks (also those continued in later volumes) is read and
    // shown to Block, or passed over.
    virtual BlockData Entry(const EntryInfo&) { return BlockData::Read; }
    // Where the |length| data bytes of a block about to be read go, so that
    // they need not be copied again (the restore reads raw blocks straight
    // into its write buffer); nullptr: the walker's own buffer.
    virtual unsigned char* BlockBuffer(const EntryInfo&, std::int32_t /*length*/) { return nullptr; }
    virtual void Block(const EntryInfo&, const BlockInfo&) {}
    virtual void EndOfBlocks(const EntryInfo&, std::int64_t /*offset*/) {}
    // A volume marker named `markerName` at `offset`: returns the next
    // volume's stream, which the visitor keeps open until the walk has left
    // it, or nullptr to stop the walk there. The walk never reads the
    // current volume again afterwards, so the visitor may close it here.
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
    Stopped,          // the visitor's Going() said no
};

class ArchiveWalker {
public:
    ArchiveWalker(Stream& archive, ArchiveVisitor& visitor);

    // Walks the archive that starts at the stream's position. Reading
    // failures (short data, broken limits, a wrong block magic) and the
    // visitor's own exceptions leave as they are; Where() then tells what was
    // being read.
    WalkEnd Run();

    // "entry "c:\a.txt", block 2, block length at offset 16453 of volume 2".
    std::string Where() const;

private:
    WalkEnd Entries();
    // The block magic and block list of the current entry; false when the
    // visitor stopped the walk.
    bool Blocks();
    // Records what is read next, for Where().
    void Reading(const char* part, std::uint64_t block = 0);

    Stream* stream_;
    ArchiveVisitor& visitor_;
    std::vector<unsigned char> buffer_;
    std::optional<ArchiveReader> reader_;
    EntryInfo entry_;
    BlockData data_ = BlockData::Read;
    bool inEntry_ = false;
    std::uint64_t block_ = 0;
    int volume_ = 1;
    const char* part_ = "archive header";
    std::uint64_t shownBlock_ = 0;
    std::int64_t at_ = 0;
};

// Walks as ArchiveWalker::Run does, and puts Where() in front of the message
// of a failure (Error, or InvalidArchive when the layout is broken).
WalkEnd WalkArchive(Stream& archive, ArchiveVisitor& visitor);

}  // namespace lumora::archive
