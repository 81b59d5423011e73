#include "archive/ZlibMemory.h"

#include <cstdlib>
#include <limits>

namespace lumora::archive {

namespace {

voidpf HeapAlloc(voidpf, uInt items, uInt size)
{
    if (size != 0 && items > std::numeric_limits<std::size_t>::max() / size)
        return Z_NULL;
    return std::malloc(std::size_t(items) * size);
}

void HeapFree(voidpf, voidpf address) { std::free(address); }

}  // namespace

void UseHeapAllocator(z_stream& stream)
{
    stream.zalloc = HeapAlloc;
    stream.zfree = HeapFree;
    stream.opaque = Z_NULL;
}

}  // namespace lumora::archive
