#pragma once
// Memory for zlib's stream state, taken from the general heap by the
// program's own callbacks rather than zlib's defaults, so that a request
// whose item count times item size overflows is refused instead of wrapping.
#include <zlib.h>

namespace lumora::archive {

// Sets zalloc, zfree and opaque of a stream that is about to be initialised.
void UseHeapAllocator(z_stream& stream);

}  // namespace lumora::archive
