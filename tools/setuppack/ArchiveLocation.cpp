#include "ArchiveLocation.h"

#include <cstdio>

#include "archive/ArchiveLayout.h"
#include "base/ByteReader.h"
#include "base/Error.h"

namespace setuppack {

ArchiveLocation LocateArchive(lumora::Stream& file, bool bareArchive)
{
    const std::int64_t size = file.Size();
    if (size < 0)
        throw lumora::Error("cannot find the size of the file");
    ArchiveLocation location;
    if (bareArchive) {
        location.installer = false;
        location.end = size;
        return location;
    }
    const std::int64_t trailerAt = size - lumora::archive::kTrailerSize;
    if (trailerAt < 0)
        throw lumora::Error("the file has " + std::to_string(size) +
                            " bytes, too few for a payload trailer");
    file.Seek(trailerAt, lumora::Stream::Origin::Begin);
    const std::int32_t offset = lumora::ByteReader(file).ReadInt32();
    if (offset < 0 || offset > trailerAt)
        throw lumora::Error("the payload trailer gives offset " + std::to_string(offset) +
                            ", outside the " + std::to_string(trailerAt) +
                            " bytes of the file before it");
    location.start = offset;
    location.end = trailerAt;
    return location;
}

std::string DescribeLocation(const ArchiveLocation& location)
{
    const std::string bytes = std::to_string(location.end - location.start) + " bytes";
    if (!location.installer)
        return "bare archive, " + bytes;
    char hex[24];
    std::snprintf(hex, sizeof hex, "0x%llX", static_cast<unsigned long long>(location.start));
    return "installer, archive at offset " + std::to_string(location.start) + " (" + hex + "), " +
           bytes;
}

}  // namespace setuppack
