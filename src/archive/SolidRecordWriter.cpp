#include <cstring>

#include "archive/LittleEndian.h"
#include "archive/SolidStream.h"

// The writing side of the solid record, for the packing tool; the installer
// only reads records.
namespace lumora::archive {

unsigned char DictionaryPropertyFor(std::uint64_t bytes)
{
    unsigned char property = 0;
    while (property < 40 && SolidRecord{0, property, 0}.Dictionary() < bytes)
        ++property;
    return property;
}

void WriteSolidRecord(Stream& out, const SolidRecord& record)
{
    unsigned char bytes[kSolidRecordSize] = {};
    std::memcpy(bytes, kSolidRecordMagic, sizeof kSolidRecordMagic);
    bytes[8] = record.filters;
    bytes[9] = record.dictionaryProperty;
    StoreLittleEndian(bytes + 12, record.size, 8);
    out.WriteBuffer(bytes, sizeof bytes);
}

}  // namespace lumora::archive
