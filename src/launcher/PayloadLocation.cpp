#include "launcher/PayloadLocation.h"

#include "archive/PayloadTrailer.h"
#include "base/Error.h"

namespace lumora {

std::optional<PayloadLocation> LocatePayload(const std::string& path)
{
    PayloadLocation found;
    try {
        found.stream = std::make_unique<TFileStream>(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                     OPEN_EXISTING);
        const archive::PayloadTrailer trailer = archive::ReadPayloadTrailer(*found.stream);
        found.offset = trailer.offset;
        found.end = trailer.at;
        found.imageEnd = trailer.imageEnd;
    } catch (const Error&) {
        return std::nullopt;
    }
    // Not checked against the file: whoever reads there finds no payload.
    found.stream->Seek(found.offset, Stream::Origin::Begin);
    return found;
}

}  // namespace lumora
