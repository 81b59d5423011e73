#include "ArchiveLocation.h"

#include <cstdio>

#include "archive/PayloadTrailer.h"
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
    const lumora::archive::PayloadTrailer trailer = lumora::archive::ReadPayloadTrailer(file);
    if (trailer.offset < 0 || trailer.offset > trailer.at)
        throw lumora::Error("the payload trailer gives offset " + std::to_string(trailer.offset) +
                            ", outside the " + std::to_string(trailer.at) + " bytes of the file before it");
    location.start = trailer.offset;
    location.end = trailer.at;
    location.signatureBytes = trailer.certificateSize;
    return location;
}

std::string DescribeLocation(const ArchiveLocation& location)
{
    const std::string bytes = std::to_string(location.end - location.start) + " bytes";
    if (!location.installer)
        return "bare archive, " + bytes;
    char hex[24];
    std::snprintf(hex, sizeof hex, "0x%llX", static_cast<unsigned long long>(location.start));
    std::string text = "installer, archive at offset " + std::to_string(location.start) + " (" + hex + "), " + bytes;
    if (location.signatureBytes > 0)
        text += ", signed (" + std::to_string(location.signatureBytes) + " bytes of signature)";
    return text;
}

}  // namespace setuppack
