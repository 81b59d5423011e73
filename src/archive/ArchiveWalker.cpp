#include "archive/ArchiveWalker.h"

#include <optional>
#include <vector>

namespace lumora::archive {

namespace {

class Walk {
public:
    Walk(Stream& archive, ArchiveVisitor& visitor, BlockData data)
        : stream_(&archive), visitor_(visitor), data_(data), buffer_(kMaxBlockSize)
    {
    }

    WalkEnd Run()
    {
        try {
            return Entries();
        } catch (const InvalidArchive& e) {
            throw InvalidArchive(Where() + ": " + e.what());
        } catch (const Error& e) {
            throw Error(Where() + ": " + e.what());
        }
    }

private:
    WalkEnd Entries()
    {
        reader_.emplace(*stream_);
        Reading("archive header");
        visitor_.Header(reader_->ReadHeader());
        for (;;) {
            inEntry_ = false;
            Reading("name length");
            const std::int64_t entryAt = at_;
            const std::int32_t length = reader_->ReadNameLength();
            if (length == 0) {
                visitor_.End(entryAt);
                return WalkEnd::EndMarker;
            }
            if (length < 0) {
                visitor_.PassedOver(length, entryAt);
                continue;
            }
            Reading("stored name");
            std::string name = reader_->ReadName(length);
            if (IsVolumeMarker(name)) {
                Stream* next = visitor_.NextVolume(name, entryAt);
                if (!next)
                    return WalkEnd::StoppedAtVolume;
                stream_ = next;
                ++volume_;
                reader_.emplace(*stream_);
                inEntry_ = true;
                Blocks();
                continue;
            }
            entry_ = EntryInfo{};
            entry_.name = std::move(name);
            entry_.offset = entryAt;
            entry_.volume = volume_;
            entry_.fileList = IsFileList(entry_.name);
            block_ = 0;
            inEntry_ = true;
            Reading("date-time stamp");
            entry_.stamp = reader_->ReadStamp();
            visitor_.Entry(entry_);
            Blocks();
        }
    }

    // The block magic and block list of the current entry.
    void Blocks()
    {
        Reading("block magic");
        reader_->ReadBlockMagic();
        for (;;) {
            Reading("block length", block_ + 1);
            const std::int32_t length = reader_->ReadBlockLength();
            if (length == 0) {
                visitor_.EndOfBlocks(entry_, at_);
                return;
            }
            BlockInfo block;
            block.index = ++block_;
            block.length = length;
            block.offset = at_;
            block.volume = volume_;
            Reading("block data", block.index);
            if (data_ == BlockData::Read) {
                reader_->ReadBlockData(length, buffer_.data());
                block.data = buffer_.data();
            } else {
                reader_->SkipBlockData(length);
            }
            visitor_.Block(entry_, block);
        }
    }

    // Records what is read next, for the message of a failure.
    void Reading(const char* part, int block = 0)
    {
        part_ = part;
        shownBlock_ = block;
        at_ = stream_->Position();
    }

    std::string Where() const
    {
        std::string where;
        if (inEntry_)
            where = "entry \"" + entry_.name + "\", ";
        if (shownBlock_ > 0)
            where += "block " + std::to_string(shownBlock_) + ", ";
        where += part_;
        where += " at offset " + std::to_string(at_);
        if (volume_ > 1)
            where += " of volume " + std::to_string(volume_);
        return where;
    }

    Stream* stream_;
    ArchiveVisitor& visitor_;
    BlockData data_;
    std::vector<unsigned char> buffer_;
    std::optional<ArchiveReader> reader_;
    EntryInfo entry_;
    bool inEntry_ = false;
    int block_ = 0;
    int volume_ = 1;
    const char* part_ = "archive header";
    int shownBlock_ = 0;
    std::int64_t at_ = 0;
};

}  // namespace

WalkEnd WalkArchive(Stream& archive, ArchiveVisitor& visitor, BlockData data)
{
    return Walk(archive, visitor, data).Run();
}

}  // namespace lumora::archive
