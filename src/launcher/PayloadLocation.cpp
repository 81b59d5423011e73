#include "launcher/PayloadLocation.h"

#include "base/ByteReader.h"
#include "base/Error.h"

namespace lumora {

std::optional<PayloadLocation> LocatePayload(const std::string& path)
{
    PayloadLocation found;
    try {
        found.stream = std::make_unique<TFileStream>(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                     OPEN_EXISTING);
    } catch (const Error&) {
        return std::nullopt;
    }
    Stream& stream = *found.stream;
    // In a file shorter than four bytes this seek is refused and the read
    // below comes up short.
    stream.Seek(stream.Size() - 4, Stream::Origin::Begin);
    try {
        found.offset = ByteReader(stream).ReadInt32();
    } catch (const Error&) {
        return std::nullopt;
    }
    stream.Seek(found.offset, Stream::Origin::Begin);
    return found;
}

}  // namespace lumora
