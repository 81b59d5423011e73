#pragma once
// An icon file (.ico) as a program carries its icon: each image a resource
// of its own (RT_ICON, numbered), and a group (RT_GROUP_ICON) that lists
// them by number with their sizes and colours, for Windows to choose from.
//
//   .ico            0, 1 (an icon; 2 is a cursor), the image count, then
//                   16 bytes an image: width, height (0 for 256), colours,
//                   0, planes, bits per pixel, size, offset in the file;
//                   each image a PNG or a device-independent bitmap
//                   (IconImage.h)
//   group           the same header, then 14 bytes an image: the first
//                   twelve of the file's, and the number of its resource
//
// Entries that give the same bytes share one resource, so that each image
// is carried once however often the file lists it; entries whose bytes
// overlap otherwise are no icon file's.
#include <cstdint>
#include <string>
#include <vector>

#include "ImageBytes.h"

namespace setuppack {

// The most bytes the images of an icon may hold together: a 256 x 256
// bitmap of 32 bits takes 270,376, and an icon of every size Windows shows
// well under a megabyte.
inline constexpr std::uint64_t kMaxIconBytes = 4 * 1024 * 1024;

struct IconImages {
    Bytes group;                // the RT_GROUP_ICON data, images numbered from 1
    std::vector<Bytes> images;  // the RT_ICON data, in that order
};

// The icon in the bytes of an icon file; throws lumora::Error saying why
// they are no icon.
IconImages IconImagesOf(const Bytes& file);

// Reads the icon file `path`; throws lumora::Error saying why it is no
// icon and what to give instead.
IconImages ReadIconFile(const std::string& path);

}  // namespace setuppack
