// What `setuppack build --icon` does with an icon file, on fuzz input: the
// file taken apart into its images and the group that lists them, and
// those written as a resource tree, as the stub's new resources are.
//
// Input: the bytes of the icon file.
//
// Aborts when an icon is accepted
//  - whose images together hold more than kMaxIconBytes, or more images
//    than the file lists;
//  - whose group does not list as many entries as the file, each naming an
//    image that is there, every image named at least once;
//  - with an image that starts as neither a PNG picture nor a bitmap;
//  - whose resource tree is smaller than its images.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/IconFile.h"
#include "image/ResourceTree.h"
#include "base/Error.h"

using namespace setuppack;

namespace {

[[noreturn]] void Fault(const std::string& what)
{
    std::fprintf(stderr, "icon_fuzz: %s\n", what.c_str());
    std::abort();
}

bool StartsAsImage(const Bytes& image)
{
    if (image.size() >= 8 && std::memcmp(image.data(), "\x89PNG\r\n\x1a\n", 8) == 0)
        return true;
    const std::uint32_t header = image.size() >= 4 ? Get32(image, 0, "a bitmap's header") : 0;
    return header == 40 || header == 108 || header == 124;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes file(data, data + size);
    IconImages icon;
    try {
        icon = IconImagesOf(file);
    } catch (const lumora::Error&) {
        return 0;
    }
    const std::uint16_t count = Get16(file, 4, "the header");
    std::uint64_t total = 0;
    for (const Bytes& image : icon.images) {
        total += image.size();
        if (!StartsAsImage(image))
            Fault("an image starts as neither a PNG picture nor a bitmap");
    }
    if (total > kMaxIconBytes || icon.images.size() > count)
        Fault("the images hold " + std::to_string(total) + " bytes in " + std::to_string(icon.images.size()) +
              " resources for " + std::to_string(count) + " entries");
    if (icon.group.size() != 6 + 14u * count || Get16(icon.group, 4, "the group") != count)
        Fault("the group lists other entries than the file");
    std::vector<bool> named(icon.images.size());
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint16_t number = Get16(icon.group, 6 + 14u * i + 12, "the group");
        if (number == 0 || number > icon.images.size())
            Fault("entry " + std::to_string(i + 1) + " names image " + std::to_string(number));
        named[number - 1] = true;
    }
    for (std::size_t i = 0; i < named.size(); ++i)
        if (!named[i])
            Fault("image " + std::to_string(i + 1) + " is carried but named by no entry");

    std::vector<Resource> resources;
    Resource group;
    group.type.id = kGroupIconType;
    group.name.id = 1;
    group.data = icon.group;
    resources.push_back(group);
    for (std::size_t i = 0; i < icon.images.size(); ++i) {
        Resource image;
        image.type.id = kIconType;
        image.name.id = static_cast<std::uint16_t>(i + 1);
        image.data = icon.images[i];
        resources.push_back(std::move(image));
    }
    if (WriteResources(resources, 0x1000).size() < total)
        Fault("the resource tree is smaller than its images");
    return 0;
}
