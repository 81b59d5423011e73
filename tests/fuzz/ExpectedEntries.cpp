#include "ExpectedEntries.h"

#include <zlib.h>

#include <algorithm>
#include <optional>
#include <set>

#include "archive/ArchiveWalker.h"
#include "base/MemoryStream.h"

namespace lumora::fuzz {

using namespace archive;

namespace {

class ExpectedVisitor : public ArchiveVisitor {
public:
    ExpectedVisitor(const std::map<std::string, Bytes>& files, std::string first, bool followVolumes)
        : files_(files), current_(std::move(first)), followVolumes_(followVolumes), output_(kMaxBlockSize)
    {
        visited_.insert(current_);
    }

    ExpectedArchive result;

private:
    BlockData Entry(const EntryInfo& info) override
    {
        ExpectedEntry entry;
        entry.name = info.name;
        entry.stamp = info.stamp;
        entry.offset = info.offset;
        entry.fileList = info.fileList;
        result.entries.push_back(std::move(entry));
        return BlockData::Read;
    }

    void Block(const EntryInfo&, const BlockInfo& block) override
    {
        // Blocks after a volume marker met before any entry belong to none.
        if (result.entries.empty())
            return;
        ExpectedEntry& entry = result.entries.back();
        entry.whole = false;
        if (block.length < 0) {
            Append(entry, block.data, static_cast<std::size_t>(-static_cast<std::int64_t>(block.length)));
            return;
        }
        uLongf produced = kMaxBlockSize;
        uLong consumed = static_cast<uLong>(block.length);
        if (uncompress2(output_.data(), &produced, block.data, &consumed) != Z_OK)
            entry.sound = false;
        Append(entry, output_.data(), produced);
    }

    void EndOfBlocks(const EntryInfo&, std::int64_t) override
    {
        if (!result.entries.empty())
            result.entries.back().whole = true;
    }

    Stream* NextVolume(const std::string& marker, std::int64_t) override
    {
        if (!followVolumes_)
            return nullptr;
        const std::string next = NextVolumePath(current_, marker);
        const auto it = files_.find(next);
        if (!visited_.insert(next).second || it == files_.end())
            return nullptr;
        current_ = next;
        volume_.emplace(it->second);
        return &*volume_;
    }

    void End(std::int64_t) override { result.reachedEnd = true; }

    void Append(ExpectedEntry& entry, const unsigned char* data, std::size_t size)
    {
        entry.size += size;
        if (!entry.known || kept_ + size > kMaxContent) {
            entry.known = false;
            return;
        }
        entry.content.insert(entry.content.end(), data, data + size);
        kept_ += size;
    }

    const std::map<std::string, Bytes>& files_;
    std::string current_;
    const bool followVolumes_;
    std::set<std::string> visited_;
    std::optional<MemoryStream> volume_;
    Bytes output_;
    std::size_t kept_ = 0;
};

}  // namespace

std::vector<const ExpectedEntry*> ExpectedArchive::Files() const
{
    std::vector<const ExpectedEntry*> files;
    for (const ExpectedEntry& entry : entries)
        if (!entry.fileList)
            files.push_back(&entry);
    return files;
}

ExpectedArchive ReadExpected(const std::map<std::string, Bytes>& files, const std::string& first,
                             std::int64_t start, std::int64_t end, bool followVolumes)
{
    ExpectedVisitor visitor(files, first, followVolumes);
    const auto it = files.find(first);
    if (it == files.end())
        return visitor.result;
    const Bytes& bytes = it->second;
    const auto stop = static_cast<std::size_t>(std::clamp<std::int64_t>(end, 0, static_cast<std::int64_t>(bytes.size())));
    MemoryStream archive(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(stop)));
    if (archive.Seek(start, Stream::Origin::Begin) != start)
        return visitor.result;
    try {
        ArchiveWalker(archive, visitor).Run();
    } catch (const Error&) {
        // The walk ends where the archive breaks; what came before stands.
    }
    return visitor.result;
}

}  // namespace lumora::fuzz
