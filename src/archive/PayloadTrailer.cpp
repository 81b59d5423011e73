#include "archive/PayloadTrailer.h"

#include <string>

#include "archive/ArchiveLayout.h"
#include "base/ByteReader.h"
#include "base/Error.h"

namespace lumora::archive {

PayloadTrailer ReadPayloadTrailer(Stream& file)
{
    const std::int64_t size = file.Size();
    if (size < kTrailerSize)
        throw Error("the file has " + std::to_string(size < 0 ? 0 : size) + " bytes, too few for a payload trailer");
    PayloadTrailer trailer;
    trailer.at = size - kTrailerSize;
    if (file.Seek(trailer.at, Stream::Origin::Begin) != trailer.at)
        throw Error("cannot reach the payload trailer at offset " + std::to_string(trailer.at));
    trailer.offset = ByteReader(file).ReadInt32();
    return trailer;
}

}  // namespace lumora::archive
