#pragma once
// An icon file (.ico) as a program carries its icon: each image a resource
// of its own (RT_ICON, numbered), and a group (RT_GROUP_ICON) that lists
// them by number with their sizes and colours, for Windows to choose from.
//
//   .ico            0, 1 (an icon; 2 is a cursor), the image count, then
//                   16 bytes an image: width, height (0 for 256), colours,
//                   0, planes, bits per pixel, size, offset in the file;
//                   each image a PNG or a device-independent bitmap
//   group           the same header, then 14 bytes an image: the first
//                   twelve of the file's, and the number of its resource
#include <cstdint>
#include <string>
#include <vector>

#include "ImageBytes.h"

namespace setuppack {

struct IconImages {
    Bytes group;                // the RT_GROUP_ICON data, images numbered from 1
    std::vector<Bytes> images;  // the RT_ICON data, in that order
};

// Reads the icon file `path`; throws lumora::Error saying why it is no
// icon and what to give instead.
IconImages ReadIconFile(const std::string& path);

}  // namespace setuppack
