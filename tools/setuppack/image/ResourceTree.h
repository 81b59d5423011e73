#pragma once
// The resources of a program image: the tree of its resource section read
// into a list, and a list written as such a tree.
//
//   directory       16 bytes (characteristics, stamp, version, counts of
//                   named and of numbered entries), then its entries
//   entry           8 bytes: a number, or the offset of a name (high bit
//                   set: a 16-bit length and UTF-16 letters), and the
//                   offset of a directory (high bit set) or of a data entry
//   data entry      16 bytes: the data's RVA, its size, its code page
//
// Three levels: the type, the name, the language. Offsets count from the
// tree's root; data lies anywhere in the image, by RVA.
#include <cstdint>
#include <string>
#include <vector>

#include "ImageBytes.h"
#include "PeLayout.h"

namespace setuppack {

inline constexpr std::uint16_t kIconType = 3;       // RT_ICON: one image of an icon
inline constexpr std::uint16_t kDataType = 10;      // RT_RCDATA: data of the program's own
inline constexpr std::uint16_t kGroupIconType = 14; // RT_GROUP_ICON: the icon, its images by number
inline constexpr std::uint16_t kVersionType = 16;   // RT_VERSION
inline constexpr std::uint16_t kManifestType = 24;  // RT_MANIFEST

// A number, or a name (when `named`).
struct ResourceKey {
    bool named = false;
    std::uint16_t id = 0;
    std::u16string name;

    bool operator==(const ResourceKey& other) const
    {
        return named == other.named && (named ? name == other.name : id == other.id);
    }
};

struct Resource {
    ResourceKey type;
    ResourceKey name;
    std::uint16_t language = 0;
    std::uint32_t codePage = 0;
    Bytes data;
};

// The resources of `image` whose tree starts at `rootRva`; throws
// lumora::Error saying where the tree is damaged.
std::vector<Resource> ReadResources(const Bytes& image, const PeLayout& layout, std::uint32_t rootRva);

// The resources as a tree that starts at `sectionRva`, data included, in the
// order the format asks for (names before numbers, each in ascending order).
// Throws lumora::Error when they would reach beyond 2 GiB.
Bytes WriteResources(std::vector<Resource> resources, std::uint32_t sectionRva);

}  // namespace setuppack
