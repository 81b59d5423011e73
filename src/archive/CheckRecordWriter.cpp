#include "archive/CheckRecord.h"

#include <cstring>

#include "archive/ChecksumStream.h"
#include "archive/LittleEndian.h"
#include "base/Error.h"

// The writing side of the check record, for the packing tool; the installer
// only reads records.
namespace lumora::archive {

void WriteCheckRecord(Stream& out, const CheckRecord& record, AuthorEncoding texts)
{
    unsigned char bytes[kCheckRecordSize];
    std::memcpy(bytes, kCheckRecordMagic, sizeof kCheckRecordMagic);
    bytes[sizeof kCheckRecordMagic] = texts == AuthorEncoding::Utf8 ? kUtf8Kind : kSystemCodePageKind;
    StoreLittleEndian(bytes + 8, record.length, 8);
    StoreLittleEndian(bytes + 16, record.crc, 4);
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
