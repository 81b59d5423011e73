#include "OpenArchive.h"

#include "image/ImageResources.h"
#include "input/PayloadFiles.h"
#include "base/Error.h"

namespace setuppack {

ArchiveOperand ArchiveOperandOf(const Arguments& args)
{
    if (args.operands.empty())
        throw UsageError("no file given");
    if (args.operands.size() > 1)
        throw UsageError("one file at a time, not " + std::to_string(args.operands.size()));
    return {args.operands.front(), args.Has("--archive")};
}

std::vector<Resource> InstallerResources(lumora::Stream& file, const ArchiveLocation& location)
{
    if (!location.installer || location.start <= 0 || location.start > kMaxCheckedFileSize)
        return {};
    Bytes image(static_cast<std::size_t>(location.start));
    try {
        file.Seek(0, lumora::Stream::Origin::Begin);
        file.ReadBuffer(image.data(), image.size());
        return ReadImageResources(image);
    } catch (const lumora::Error&) {
        return {};
    }
}

std::optional<unsigned> RecordedCodePage(lumora::Stream& file, const ArchiveLocation& location)
{
    for (const Resource& resource : InstallerResources(file, location))
        if (!resource.type.named && resource.type.id == kDataType && !resource.name.named &&
            resource.name.id == lumora::kCodePageResource)
            return lumora::ParseCodePageRecord(
                {reinterpret_cast<const char*>(resource.data.data()), resource.data.size()});
    return std::nullopt;
}

CodePage InstallerCodePage(const Arguments& args, lumora::Stream& file, const ArchiveLocation& location)
{
    return CodePageOf(args, location.texts,
                      location.texts == lumora::AuthorEncoding::Utf8 ? std::nullopt : RecordedCodePage(file, location));
}

}  // namespace setuppack
