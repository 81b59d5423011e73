#include "archive/PayloadSource.h"

namespace lumora::archive {

namespace {

Stream& PositionedAt(Stream& file, std::int64_t offset)
{
    file.Seek(offset, Stream::Origin::Begin);
    return file;
}

}  // namespace

PayloadSource::PayloadSource(Stream& file, std::int64_t offset, std::int64_t end)
    : offset_(offset), end_(end), readAhead_(PositionedAt(file, offset)), checked_(readAhead_)
{
    if (const std::optional<SolidRecord> record = ReadSolidRecord(checked_))
        solid_ = std::make_unique<SolidStream>(checked_, end - offset - kSolidRecordSize, *record);
    else
        checked_.Seek(offset, Stream::Origin::Begin);
}

bool PayloadSource::Matches(const std::optional<CheckRecord>& expected)
{
    if (!expected)
        return true;
    if (expected->length != static_cast<std::uint64_t>(end_ - offset_))
        return false;
    try {
        checked_.Seek(end_, Stream::Origin::Begin);
        return checked_.Record() == *expected;
    } catch (const Error&) {
        return false;
    }
}

}  // namespace lumora::archive
