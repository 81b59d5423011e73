#include "archive/CheckRecord.h"

#include <cstring>

#include "archive/ChecksumStream.h"
#include "base/Error.h"

// The writing side of the check record, for the packing tool; the installer
// only reads records.
namespace lumora::archive {

namespace {

void PutLittleEndian(unsigned char* bytes, std::uint64_t value, int width)
{
    for (int i = 0; i < width; ++i, value >>= 8)
        bytes[i] = static_cast<unsigned char>(value);
}

}  // namespace

void WriteCheckRecord(Stream& out, const CheckRecord& record)
{
    unsigned char bytes[kCheckRecordSize];
    std::memcpy(bytes, kCheckRecordMagic, sizeof kCheckRecordMagic);
    PutLittleEndian(bytes + 8, record.length, 8);
    PutLittleEndian(bytes + 16, record.crc, 4);
    out.WriteBuffer(bytes, sizeof bytes);
}

CheckRecord ComputeCheckRecord(Stream& file, std::int64_t start, std::int64_t end)
{
    if (start < 0 || end < start || file.Seek(start, Stream::Origin::Begin) != start)
        throw Error("cannot reach the payload at offset " + std::to_string(start));
    ChecksumStream view(file);
    view.Seek(end, Stream::Origin::Begin);
    return view.Record();
}

}  // namespace lumora::archive
