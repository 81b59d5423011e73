#include "archive/PayloadTrailer.h"

#include <optional>
#include <string>

#include "archive/ArchiveLayout.h"
#include "archive/PeImage.h"
#include "base/ByteReader.h"
#include "base/Error.h"

namespace lumora::archive {

PayloadTrailer ReadPayloadTrailer(Stream& file)
{
    const std::int64_t size = file.Size();
    PayloadTrailer trailer;
    // Where the installer's own bytes end: before a certificate table that
    // closes the file, else at the end of the file. A table that ends
    // earlier has something appended behind it, and the last bytes count.
    std::int64_t end = size;
    const std::optional<PeImage> image = ReadPeImage(file);
    if (image)
        trailer.imageEnd = image->imageEnd;
    if (image && image->Signed()) {
        const std::int64_t tableAt = image->certificateAt;
        const std::int64_t tableEnd = tableAt + image->certificateSize;
        if (tableAt < image->imageEnd || tableEnd > size)
            throw Error("the certificate table at offset " + std::to_string(tableAt) + " (" +
                        std::to_string(image->certificateSize) + " bytes) lies " +
                        (tableEnd > size ? "beyond the end of the file" : "inside the executable image"));
        if (tableEnd == size) {
            end = tableAt;
            trailer.certificateSize = image->certificateSize;
        }
    }
    if (end < kTrailerSize)
        throw Error("the file has " + std::to_string(end < 0 ? 0 : end) + " bytes, too few for a payload trailer");
    trailer.at = end - kTrailerSize;
    if (file.Seek(trailer.at, Stream::Origin::Begin) != trailer.at)
        throw Error("cannot reach the payload trailer at offset " + std::to_string(trailer.at));
    trailer.offset = ByteReader(file).ReadInt32();
    return trailer;
}

}  // namespace lumora::archive
