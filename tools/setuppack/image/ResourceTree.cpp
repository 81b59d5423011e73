#include "ResourceTree.h"

#include <algorithm>
#include <map>

#include "base/Error.h"

namespace setuppack {

namespace {

using lumora::Error;

constexpr std::uint32_t kHighBit = 0x80000000;
constexpr std::uint32_t kDirectorySize = 16;
constexpr std::uint32_t kEntrySize = 8;
constexpr std::uint32_t kDataEntrySize = 16;
// More resources than any program carries; a tree that names more is
// damaged (or made to exhaust memory). Entries are counted too: directories
// may share their entries, or hold none, and so be walked without end.
constexpr std::size_t kMaxResources = 4096;
constexpr std::size_t kMaxEntries = 4 * kMaxResources;
// An installer's offsets are signed 32-bit numbers (its payload trailer):
// its resources, and the address they start at, lie below 2 GiB.
constexpr std::uint64_t kMaxResourceBytes = 0x7FFFFFFF;

class TreeReader {
public:
    TreeReader(const Bytes& image, const PeLayout& layout, std::uint32_t rootRva)
        : image_(image), layout_(layout), rootRva_(rootRva)
    {
    }

    std::vector<Resource> Read()
    {
        Directory(0, 0, {});
        return std::move(resources_);
    }

private:
    // The file offset of `size` bytes at `offset` from the root.
    std::uint64_t At(std::uint32_t offset, std::uint32_t size, const char* what) const
    {
        if (offset > 0xFFFFFFFFu - rootRva_)
            throw Error(std::string(what) + " lies outside the image");
        return layout_.FileOffset(rootRva_ + offset, size, what);
    }

    ResourceKey Key(std::uint32_t field) const
    {
        ResourceKey key;
        if (!(field & kHighBit)) {
            if (field > 0xFFFF)
                throw Error("a resource number above 65535");
            key.id = static_cast<std::uint16_t>(field);
            return key;
        }
        key.named = true;
        const std::uint64_t at = At(field & ~kHighBit, 2, "a resource name");
        const std::uint16_t length = Get16(image_, at, "a resource name");
        At(field & ~kHighBit, 2 + 2u * length, "a resource name");
        for (std::uint16_t i = 0; i < length; ++i)
            key.name += static_cast<char16_t>(Get16(image_, at + 2 + 2u * i, "a resource name"));
        return key;
    }

    // The directory at `offset`, `level` 0 (types), 1 (names) or 2
    // (languages); `path` holds the keys above it.
    void Directory(std::uint32_t offset, int level, std::vector<ResourceKey> path)
    {
        const std::uint64_t at = At(offset, kDirectorySize, "a resource directory");
        const std::uint32_t count = std::uint32_t(Get16(image_, at + 12, "a resource directory")) +
                                    Get16(image_, at + 14, "a resource directory");
        At(offset, kDirectorySize + kEntrySize * count, "the entries of a resource directory");
        for (std::uint32_t i = 0; i < count; ++i) {
            if (++entries_ > kMaxEntries)
                throw Error("more than " + std::to_string(kMaxEntries) + " resource entries");
            const std::uint64_t entry = at + kDirectorySize + kEntrySize * i;
            const ResourceKey key = Key(Get32(image_, entry, "a resource entry"));
            const std::uint32_t target = Get32(image_, entry + 4, "a resource entry");
            path.push_back(key);
            if (level < 2) {
                if (!(target & kHighBit))
                    throw Error("a resource entry of the first two levels names no directory");
                Directory(target & ~kHighBit, level + 1, path);
            } else {
                if (target & kHighBit)
                    throw Error("a resource tree deeper than three levels");
                Leaf(target, path);
            }
            path.pop_back();
        }
    }

    void Leaf(std::uint32_t offset, const std::vector<ResourceKey>& path)
    {
        if (resources_.size() >= kMaxResources)
            throw Error("more than " + std::to_string(kMaxResources) + " resources");
        if (path[2].named)
            throw Error("a resource whose language is a name");
        const std::uint64_t at = At(offset, kDataEntrySize, "a resource's data entry");
        const std::uint32_t rva = Get32(image_, at, "a resource's data entry");
        const std::uint32_t size = Get32(image_, at + 4, "a resource's data entry");
        Resource resource;
        resource.type = path[0];
        resource.name = path[1];
        resource.language = path[2].id;
        resource.codePage = Get32(image_, at + 8, "a resource's data entry");
        resource.data = Slice(image_, layout_.FileOffset(rva, size, "a resource's data"), size, "a resource's data");
        resources_.push_back(std::move(resource));
    }

    const Bytes& image_;
    const PeLayout& layout_;
    std::uint32_t rootRva_;
    std::vector<Resource> resources_;
    std::size_t entries_ = 0;
};

// Names before numbers; names in the order of their letters in upper case
// (ASCII), numbers in ascending order.
bool KeyBefore(const ResourceKey& a, const ResourceKey& b)
{
    if (a.named != b.named)
        return a.named;
    if (!a.named)
        return a.id < b.id;
    auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                        [&](char16_t x, char16_t y) { return upper(x) < upper(y); });
}

// The tree as nested maps, in the order the entries are written.
struct KeyOrder {
    bool operator()(const ResourceKey& a, const ResourceKey& b) const { return KeyBefore(a, b); }
};
using Languages = std::map<std::uint16_t, const Resource*>;
using Names = std::map<ResourceKey, Languages, KeyOrder>;
using Types = std::map<ResourceKey, Names, KeyOrder>;

void DirectoryHeader(Bytes& out, const std::vector<ResourceKey>& keys)
{
    Append32(out, 0);  // characteristics
    Append32(out, 0);  // stamp: none, so that the same files give the same installer
    Append32(out, 0);  // version
    const auto named = std::count_if(keys.begin(), keys.end(), [](const ResourceKey& k) { return k.named; });
    Append16(out, static_cast<std::uint16_t>(named));
    Append16(out, static_cast<std::uint16_t>(keys.size() - named));
}

}  // namespace

std::vector<Resource> ReadResources(const Bytes& image, const PeLayout& layout, std::uint32_t rootRva)
{
    return TreeReader(image, layout, rootRva).Read();
}

Bytes WriteResources(std::vector<Resource> resources, std::uint32_t sectionRva)
{
    Types types;
    for (const Resource& resource : resources)
        if (!types[resource.type][resource.name].emplace(resource.language, &resource).second)
            throw Error("two resources of the same type, name and language");

    // Sizes first: the directories, then the names, then the data entries,
    // then the data, each part where the ones before it end. They are
    // counted in 64 bits and checked before any is written into the 32-bit
    // fields of the tree.
    std::uint64_t directories = kDirectorySize + kEntrySize * std::uint64_t(types.size());
    std::uint64_t names = 0;
    std::uint64_t leaves = 0;
    std::uint64_t dataSize = 0;
    auto nameSize = [](const ResourceKey& key) { return key.named ? 2 + 2 * std::uint64_t(key.name.size()) : 0; };
    for (const auto& [type, byName] : types) {
        directories += kDirectorySize + kEntrySize * std::uint64_t(byName.size());
        names += nameSize(type);
        for (const auto& [name, byLanguage] : byName) {
            directories += kDirectorySize + kEntrySize * std::uint64_t(byLanguage.size());
            names += nameSize(name);
            leaves += byLanguage.size();
            for (const auto& [language, resource] : byLanguage)
                dataSize = AlignUp(dataSize, 8) + resource->data.size();
        }
    }
    const std::uint64_t treeSize = AlignUp(AlignUp(directories + names, 4) + kDataEntrySize * leaves, 8) + dataSize;
    if (sectionRva > kMaxResourceBytes || treeSize > kMaxResourceBytes - sectionRva)
        throw Error("the resources would take " + std::to_string(treeSize) + " bytes, more than the " +
                    std::to_string(kMaxResourceBytes) + " an installer can hold");
    const std::uint32_t namesAt = std::uint32_t(directories);
    const std::uint32_t leavesAt = std::uint32_t(AlignUp(namesAt + names, 4));
    const std::uint32_t dataAt = std::uint32_t(AlignUp(leavesAt + kDataEntrySize * leaves, 8));

    Bytes tree;
    Bytes nameBytes;
    Bytes leafBytes;
    Bytes data;
    auto keyField = [&](const ResourceKey& key) -> std::uint32_t {
        if (!key.named)
            return key.id;
        const std::uint32_t at = namesAt + std::uint32_t(nameBytes.size());
        Append16(nameBytes, static_cast<std::uint16_t>(key.name.size()));
        for (const char16_t c : key.name)
            Append16(nameBytes, c);
        return kHighBit | at;
    };
    // Breadth first: the root, the type directories, the name directories.
    std::vector<ResourceKey> typeKeys;
    for (const auto& entry : types)
        typeKeys.push_back(entry.first);
    DirectoryHeader(tree, typeKeys);
    std::uint32_t next = kDirectorySize + kEntrySize * std::uint32_t(types.size());
    for (const auto& [type, byName] : types) {
        Append32(tree, keyField(type));
        Append32(tree, kHighBit | next);
        next += kDirectorySize + kEntrySize * std::uint32_t(byName.size());
    }
    for (const auto& [type, byName] : types) {
        std::vector<ResourceKey> nameKeys;
        for (const auto& entry : byName)
            nameKeys.push_back(entry.first);
        DirectoryHeader(tree, nameKeys);
        for (const auto& [name, byLanguage] : byName) {
            Append32(tree, keyField(name));
            Append32(tree, kHighBit | next);
            next += kDirectorySize + kEntrySize * std::uint32_t(byLanguage.size());
        }
    }
    std::uint32_t leaf = leavesAt;
    for (const auto& [type, byName] : types) {
        for (const auto& [name, byLanguage] : byName) {
            DirectoryHeader(tree, std::vector<ResourceKey>(byLanguage.size()));
            for (const auto& [language, resource] : byLanguage) {
                Append32(tree, language);
                Append32(tree, leaf);
                leaf += kDataEntrySize;
                // Each resource's data starts on an 8-byte boundary.
                PadTo(data, 8);
                Append32(leafBytes, sectionRva + dataAt + std::uint32_t(data.size()));
                Append32(leafBytes, std::uint32_t(resource->data.size()));
                Append32(leafBytes, resource->codePage);
                Append32(leafBytes, 0);
                data.insert(data.end(), resource->data.begin(), resource->data.end());
            }
        }
    }
    tree.insert(tree.end(), nameBytes.begin(), nameBytes.end());
    PadTo(tree, 4);
    tree.insert(tree.end(), leafBytes.begin(), leafBytes.end());
    PadTo(tree, 8);  // to dataAt
    tree.insert(tree.end(), data.begin(), data.end());
    return tree;
}

}  // namespace setuppack
