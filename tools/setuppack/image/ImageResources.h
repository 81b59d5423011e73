#pragma once
// The resources of the setup stub's program image, read, and replaced by
// others in a rebuilt resource section, so that an installer carries the
// author's version information and icon under its signature.
//
// The resource section keeps its place. The linker puts only the base
// relocations after it; they move along behind the grown section (nothing
// but the relocation directory refers to them). An image without resources
// gets a resource section after its last one.
#include <vector>

#include "ImageBytes.h"
#include "ResourceTree.h"

namespace setuppack {

// The resources of `image`; none when it has no resource directory. Throws
// lumora::Error saying what is wrong with the image.
std::vector<Resource> ReadImageResources(const Bytes& image);

// `image` with `resources` in place of its own: the section's raw and
// virtual size, the places of the sections after it, the size of the image
// and of its initialised data, and the resource and relocation directories
// set to match. The checksum is left as it was (the caller sets it over the
// whole file). Throws lumora::Error when the image cannot be rebuilt so (a
// section after the resources that holds more than base relocations, code
// that refers to a moved section by its address, no room for another
// section header).
Bytes WithResources(const Bytes& image, const std::vector<Resource>& resources);

}  // namespace setuppack
