#include "archive/ArchiveWalker.h"

#include "base/PrintableText.h"

namespace lumora::archive {

ArchiveWalker::ArchiveWalker(Stream& archive, ArchiveVisitor& visitor)
    : stream_(&archive), visitor_(visitor), buffer_(kMaxBlockSize)
{
}

WalkEnd ArchiveWalker::Run()
{
    reader_.emplace(*stream_);
    Reading("archive header");
    visitor_.Header(reader_->ReadHeader());
    return Entries();
}

WalkEnd ArchiveWalker::Entries()
{
    for (;;) {
        inEntry_ = false;
        if (!visitor_.Going())
            return WalkEnd::Stopped;
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
            if (!Blocks())
                return WalkEnd::Stopped;
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
        data_ = visitor_.Entry(entry_);
        if (!visitor_.Going() || !Blocks())
            return WalkEnd::Stopped;
    }
}

bool ArchiveWalker::Blocks()
{
    Reading("block magic");
    reader_->ReadBlockMagic();
    for (;;) {
        if (!visitor_.Going())
            return false;
        Reading("block length", block_ + 1);
        const std::int32_t length = reader_->ReadBlockLength();
        if (length == 0) {
            visitor_.EndOfBlocks(entry_, at_);
            return true;
        }
        BlockInfo block;
        block.index = ++block_;
        block.length = length;
        block.offset = at_;
        block.volume = volume_;
        Reading("block data", block.index);
        if (data_ == BlockData::Read) {
            unsigned char* into = visitor_.BlockBuffer(entry_, length);
            if (!into)
                into = buffer_.data();
            reader_->ReadBlockData(length, into);
            block.data = into;
        } else {
            reader_->SkipBlockData(length);
        }
        visitor_.Block(entry_, block);
    }
}

void ArchiveWalker::Reading(const char* part, std::uint64_t block)
{
    part_ = part;
    shownBlock_ = block;
    at_ = stream_->Position();
}

std::string ArchiveWalker::Where() const
{
    std::string where;
    if (inEntry_)
        where = "entry \"" + PrintableText(entry_.name) + "\", ";
    if (shownBlock_ > 0)
        where += "block " + std::to_string(shownBlock_) + ", ";
    where += part_;
    where += " at offset " + std::to_string(at_);
    if (volume_ > 1)
        where += " of volume " + std::to_string(volume_);
    return where;
}

WalkEnd WalkArchive(Stream& archive, ArchiveVisitor& visitor)
{
    ArchiveWalker walker(archive, visitor);
    try {
        return walker.Run();
    } catch (const InvalidArchive& e) {
        throw InvalidArchive(walker.Where() + ": " + e.what());
    } catch (const Error& e) {
        throw Error(walker.Where() + ": " + e.what());
    }
}

}  // namespace lumora::archive
