#include "archive/BlockEncoder.h"

#include <zlib.h>

#include "archive/ZlibMemory.h"
#include "base/Error.h"

namespace lumora::archive {

namespace {

EncodedBlock RawBlock(const unsigned char* chunk, std::size_t size)
{
    return {-static_cast<std::int32_t>(size), std::vector<unsigned char>(chunk, chunk + size)};
}

EncodedBlock CompressedBlock(std::vector<unsigned char> stream)
{
    return {static_cast<std::int32_t>(stream.size()), std::move(stream)};
}

std::vector<unsigned char> DeflateStream(const unsigned char* data, std::size_t size)
{
    z_stream stream{};
    UseHeapAllocator(stream);
    if (deflateInit(&stream, Z_BEST_COMPRESSION) != Z_OK)
        throw Error("Compression error: cannot set up the compressor");
    std::vector<unsigned char> out(deflateBound(&stream, static_cast<uLong>(size)));
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(out.size() - stream.avail_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        throw Error("Compression error: deflate returned " + std::to_string(status));
    return out;
}

}  // namespace

std::vector<unsigned char> StoredZlibStream(const unsigned char* data, std::size_t size)
{
    if (size > 0xFFFF)
        throw Error("A stored deflate block holds at most 65535 bytes");
    const auto len = static_cast<unsigned>(size);
    const auto nlen = ~len & 0xFFFFu;
    const uLong adler = adler32(adler32(0, Z_NULL, 0), data, static_cast<uInt>(size));

    std::vector<unsigned char> out;
    out.reserve(size + kStoredStreamOverhead);
    // zlib header: deflate, 32 KiB window, "maximum compression" level flags.
    out.push_back(0x78);
    out.push_back(0xDA);
    // Stored block, final: BFINAL = 1, BTYPE = 00, then LEN and NLEN.
    out.push_back(0x01);
    out.push_back(static_cast<unsigned char>(len & 0xFF));
    out.push_back(static_cast<unsigned char>(len >> 8));
    out.push_back(static_cast<unsigned char>(nlen & 0xFF));
    out.push_back(static_cast<unsigned char>(nlen >> 8));
    out.insert(out.end(), data, data + size);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(adler >> shift & 0xFF));
    return out;
}

EncodedBlock EncodeBlock(const unsigned char* chunk, std::size_t size, bool lastChunk,
                         Compression mode)
{
    if (size == 0 || size > static_cast<std::size_t>(kMaxBlockSize))
        throw Error("A block holds 1 to 16384 bytes, not " + std::to_string(size));
    if (mode == Compression::Raw)
        return RawBlock(chunk, size);
    if (mode == Compression::Deflate) {
        auto stream = DeflateStream(chunk, size);
        if (stream.size() < size)
            return CompressedBlock(std::move(stream));
        return RawBlock(chunk, size);
    }
    // The shipped arrangement stores a short last chunk in a zlib wrapper. A
    // chunk too long for the wrapper to fit the block limit stays raw, since
    // a longer block could not be read back.
    const bool fits = size + kStoredStreamOverhead <= static_cast<std::size_t>(kMaxBlockSize);
    if (lastChunk && size < static_cast<std::size_t>(kMaxBlockSize) && fits)
        return CompressedBlock(StoredZlibStream(chunk, size));
    return RawBlock(chunk, size);
}

}  // namespace lumora::archive
