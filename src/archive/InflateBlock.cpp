// Decoding of one compressed block: the complete zlib stream of the block is
// inflated in a single call into a buffer of kMaxBlockSize bytes.
#include <limits>

#include "archive/ArchiveReader.h"
#include "archive/ZlibMemory.h"

namespace lumora::archive {

InflateResult InflateBlock(const unsigned char* input, std::size_t length, unsigned char* output)
{
    InflateResult result;
    if (length > std::numeric_limits<uInt>::max()) {
        result.status = Z_DATA_ERROR;
        return result;
    }
    z_stream stream{};
    UseHeapAllocator(stream);
    // zlib takes the input as non-const; it never writes to it.
    stream.next_in = const_cast<Bytef*>(input);
    stream.avail_in = static_cast<uInt>(length);
    stream.next_out = output;
    stream.avail_out = static_cast<uInt>(kMaxBlockSize);

    result.status = inflateInit(&stream);
    if (result.status != Z_OK)
        return result;
    // One call without flushing: whatever follows the end of the stream in
    // the input stays unread and is dropped with the block.
    result.status = inflate(&stream, Z_NO_FLUSH);
    result.produced = static_cast<std::size_t>(kMaxBlockSize) - stream.avail_out;
    result.streamEnded = result.status == Z_STREAM_END;
    inflateEnd(&stream);
    return result;
}

}  // namespace lumora::archive
