#pragma once
// A visitor that keeps everything a walk reports, for the tests to compare.
#include <memory>
#include <string>
#include <vector>

#include "archive/ArchiveWalker.h"
#include "base/MemoryStream.h"

namespace lumora::archive::testing {

struct CollectedBlock {
    std::int32_t length = 0;
    std::int64_t offset = 0;
    std::vector<unsigned char> data;
};

struct CollectedEntry {
    EntryInfo info;
    std::vector<CollectedBlock> blocks;
    std::int64_t endOfBlocks = -1;

    // The file's data: raw blocks as they are, compressed blocks inflated.
    std::vector<unsigned char> Data() const
    {
        std::vector<unsigned char> out, buffer(kMaxBlockSize);
        for (const auto& b : blocks) {
            if (b.length < 0) {
                out.insert(out.end(), b.data.begin(), b.data.end());
                continue;
            }
            const auto r = InflateBlock(b.data.data(), b.data.size(), buffer.data());
            if (!r.streamEnded)
                throw Error("block does not inflate");
            out.insert(out.end(), buffer.begin(), buffer.begin() + std::ptrdiff_t(r.produced));
        }
        return out;
    }
};

class Collector : public ArchiveVisitor {
public:
    ArchiveHeader header;
    std::vector<CollectedEntry> entries;
    std::vector<std::int32_t> passedOver;
    std::vector<std::string> volumeMarkers;
    std::int64_t end = -1;
    // Streams handed out for "NEXT:DISK" markers, in order; none left: stop.
    std::vector<std::unique_ptr<MemoryStream>> volumes;
    // Whether the entries' block data is read or passed over.
    BlockData data = BlockData::Read;

    void Header(const ArchiveHeader& h) override { header = h; }
    void PassedOver(std::int32_t length, std::int64_t) override { passedOver.push_back(length); }
    BlockData Entry(const EntryInfo& info) override
    {
        entries.push_back({info, {}, -1});
        return data;
    }
    void Block(const EntryInfo&, const BlockInfo& b) override
    {
        CollectedBlock block{b.length, b.offset, {}};
        if (b.data)
            block.data.assign(b.data, b.data + (b.length < 0 ? -b.length : b.length));
        entries.back().blocks.push_back(std::move(block));
    }
    void EndOfBlocks(const EntryInfo&, std::int64_t offset) override
    {
        entries.back().endOfBlocks = offset;
    }
    Stream* NextVolume(const std::string& name, std::int64_t) override
    {
        volumeMarkers.push_back(name);
        if (volumeMarkers.size() > volumes.size())
            return nullptr;
        return volumes[volumeMarkers.size() - 1].get();
    }
    void End(std::int64_t offset) override { end = offset; }
};

inline Collector Walk(const std::vector<unsigned char>& bytes, BlockData data = BlockData::Read)
{
    MemoryStream stream(bytes);
    Collector collector;
    collector.data = data;
    WalkArchive(stream, collector);
    return collector;
}

}  // namespace lumora::archive::testing
