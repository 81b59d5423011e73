#pragma once
// One image of an icon file, as Windows draws it: a whole PNG picture, or a
// device-independent bitmap of twice the icon's height (the colours, then
// the transparency mask), uncompressed.
//
//   PNG      the 8-byte signature, then chunks (4-byte big-endian length,
//            4-letter type, data, CRC-32 of type and data): IHDR first
//            (13 bytes: width, height, ...), at least one IDAT, IEND last
//            and empty, at the image's end
//   bitmap   BITMAPINFOHEADER (40 bytes, or the 108 and 124 of its later
//            versions): width, height (both rows of masks), planes 1, bits
//            per pixel 1, 4, 8, 16, 24 or 32, compression none (or bit
//            fields, 16 and 32 bits); then the colour table, the pixels
//            and the 1-bit mask, rows padded to four bytes
#include "ImageBytes.h"

namespace setuppack {

// Throws lumora::Error saying what keeps `image` from being one ("is a PNG
// picture cut short: ...").
void CheckIconImage(const Bytes& image);

}  // namespace setuppack
