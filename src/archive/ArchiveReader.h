#pragma once
// Reads the parts of an archive (see ArchiveLayout.h), one call per part;
// ArchiveWalker calls them in the order in which they lie in a stream.
// Short reads throw Error; values that break the layout's limits throw
// InvalidArchive before anything is allocated or copied for them.
#include <cstdint>
#include <string>
#include <string_view>

#include "archive/ArchiveLayout.h"
#include "base/ByteReader.h"
#include "base/Error.h"

namespace lumora::archive {

class InvalidArchive : public Error {
public:
    using Error::Error;
};

// Damage in a compressed payload (SolidStream.h), met while reading any
// part: the restore reports it as it reports a zlib block that does not
// inflate.
class CompressionError : public Error {
public:
    using Error::Error;
};

struct ArchiveHeader {
    std::string title;
    std::int32_t totalSize = 0;
    std::int32_t fileCount = 0;
};

class ArchiveReader {
public:
    explicit ArchiveReader(Stream& stream) : in_(stream) {}

    // Title length, title, total size and file count.
    ArchiveHeader ReadHeader();
    // The raw name length: 0 ends the archive, a negative value is passed
    // over by the caller. Lengths above kMaxNameLength throw InvalidArchive.
    std::int32_t ReadNameLength();
    std::string ReadName(std::int32_t length);
    std::uint32_t ReadStamp();
    // Throws InvalidArchive("Invalid archive type") unless the four bytes
    // read as text up to their first zero byte are "EC2".
    void ReadBlockMagic();
    // 0 ends the block list; > 0 a compressed block; < 0 a raw block. A
    // magnitude above kMaxBlockSize throws InvalidArchive.
    std::int32_t ReadBlockLength();
    // Reads the |length| data bytes of a block into `buffer`, which holds at
    // least kMaxBlockSize bytes.
    void ReadBlockData(std::int32_t length, unsigned char* buffer);
    // Moves over the |length| data bytes of a block without reading them.
    void SkipBlockData(std::int32_t length);

    Stream& Source() { return in_.Source(); }

private:
    ByteReader in_;
};

bool IsVolumeMarker(std::string_view storedName);
// The number of the volume that a marker names: the three digits after
// "NEXT:DISK". Throws InvalidArchive("Invalid volume marker") unless there
// are three digits.
unsigned VolumeNumber(std::string_view markerName);
// The file of volume `number` of a set: any volume's file name with its
// extension replaced by "." and the number in three digits (".002").
std::string VolumePath(std::string_view anyVolume, unsigned number);
// The file of the volume that a marker names.
std::string NextVolumePath(std::string_view currentVolume, std::string_view markerName);
bool IsFileList(std::string_view storedName);

// Result of inflating one compressed block.
struct InflateResult {
    std::size_t produced = 0;  // bytes written to the output buffer
    int status = 0;            // zlib's answer to the set-up, or to the inflate
    bool streamEnded = false;  // the zlib stream ended, its Adler-32 checked
    // zlib reported an error (a negative status): bad header, bad data,
    // checksum mismatch, out of memory.
    bool Failed() const { return status < 0; }
};

// Inflates the complete zlib stream in input[0, length) in one pass into
// `output`, which holds kMaxBlockSize bytes. Bytes after the end of the
// stream are ignored.
InflateResult InflateBlock(const unsigned char* input, std::size_t length, unsigned char* output);

}  // namespace lumora::archive
