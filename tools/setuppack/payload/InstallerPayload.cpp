#include "InstallerPayload.h"

#include <memory>
#include <vector>

#include "LimitedStream.h"
#include "archive/ArchiveLayout.h"
#include "archive/ArchiveWalker.h"
#include "archive/RestorePaths.h"
#include "base/AsciiText.h"
#include "base/Error.h"
#include "base/PathText.h"
#include "base/StdioFileStream.h"

namespace setuppack {

namespace {

using lumora::archive::BlockData;
using lumora::archive::BlockInfo;
using lumora::archive::EntryInfo;

// The name an entry is restored under, as Windows writes it, or nothing for
// the file list and for names the restore refuses to write (the restore's
// own rule, applied to the file name alone).
std::string RestoredName(const EntryInfo& entry)
{
    if (entry.fileList)
        return {};
    const auto written = lumora::archive::WritablePath("\\" + std::string(lumora::FileNamePart(entry.name)), 1, 1);
    return written ? written->path.substr(1) : std::string();
}

class NameCollector : public lumora::archive::ArchiveVisitor {
public:
    BlockData Entry(const EntryInfo& entry) override
    {
        if (std::string name = RestoredName(entry); !name.empty())
            names.push_back(std::move(name));
        return BlockData::Skip;
    }

    std::vector<std::string> names;
};

// Gathers the data of the entries restored under one name; the last one
// wins, as it overwrites the others in a restore.
class DataCollector : public lumora::archive::ArchiveVisitor {
public:
    explicit DataCollector(std::string name) : name_(lumora::LowerCaseAscii(name)) {}

    BlockData Entry(const EntryInfo& entry) override
    {
        collecting_ = lumora::LowerCaseAscii(RestoredName(entry)) == name_;
        if (collecting_)
            data.clear();
        return collecting_ ? BlockData::Read : BlockData::Skip;
    }

    void Block(const EntryInfo& entry, const BlockInfo& block) override
    {
        if (!collecting_ || !block.data)
            return;
        if (block.length < 0) {
            Append(block.data, static_cast<std::size_t>(-static_cast<std::int64_t>(block.length)));
            return;
        }
        const auto result =
            lumora::archive::InflateBlock(block.data, static_cast<std::size_t>(block.length), output_.data());
        if (!result.streamEnded)
            throw lumora::Error("a block of " + entry.name + " does not inflate");
        Append(output_.data(), result.produced);
    }

    std::string data;

private:
    void Append(const unsigned char* bytes, std::size_t count)
    {
        if (data.size() + count > static_cast<std::size_t>(kMaxCheckedFileSize))
            throw lumora::Error(name_ + " is larger than " + std::to_string(kMaxCheckedFileSize) + " bytes");
        data.append(reinterpret_cast<const char*>(bytes), count);
    }

    std::string name_;
    bool collecting_ = false;
    std::vector<unsigned char> output_ = std::vector<unsigned char>(lumora::archive::kMaxBlockSize);
};

// Walks the installer's archive, from the trailer's offset up to the trailer.
void Walk(const std::string& path, const ArchiveLocation& location, lumora::archive::ArchiveVisitor& visitor)
{
    lumora::StdioFileStream file(path, lumora::StdioFileStream::Mode::Read);
    ArchiveView view(file, location);
    lumora::archive::WalkArchive(view.Archive(), visitor);
}

}  // namespace

PayloadFiles InstallerPayload(const std::string& path, const ArchiveLocation& location)
{
    NameCollector collector;
    Walk(path, location, collector);
    PayloadFiles payload(path);
    for (const std::string& name : collector.names) {
        payload.Add(name, {path + ": " + name, [path, location, name] {
                               DataCollector data(name);
                               Walk(path, location, data);
                               return std::move(data.data);
                           }});
    }
    return payload;
}

}  // namespace setuppack
