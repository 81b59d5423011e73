#include "ImageResources.h"

#include <algorithm>

#include "PeLayout.h"
#include "base/Error.h"

namespace setuppack {

namespace {

using lumora::Error;

constexpr std::uint16_t kRelocationPadding = 0;  // IMAGE_REL_BASED_ABSOLUTE
constexpr std::uint16_t kRelocationHighLow = 3;  // IMAGE_REL_BASED_HIGHLOW
constexpr std::uint32_t kInitializedData = 0x40;  // IMAGE_SCN_CNT_INITIALIZED_DATA
constexpr std::uint32_t kReadable = 0x40000000;    // IMAGE_SCN_MEM_READ

// The section that the resource directory starts, or none (sections.size())
// when the image has no resources.
std::size_t ResourceSection(const Bytes& image, const PeLayout& layout)
{
    const PeDirectory resources = ReadDirectory(image, layout, kResourceDirectory);
    if (resources.size == 0)
        return layout.sections.size();
    for (std::size_t i = 0; i < layout.sections.size(); ++i)
        if (layout.sections[i].virtualAddress == resources.rva)
            return i;
    throw Error("its resources do not start a section of their own");
}

// Checks that nothing but the resource and relocation directories refers to
// the sections from `first` on, which are about to move or change size:
// no other directory lies in them, and no address the loader relocates
// points into them or is written there.
void CheckMovable(const Bytes& image, const PeLayout& layout, std::size_t first)
{
    if (first >= layout.sections.size())
        return;
    const std::uint32_t from = layout.sections[first].virtualAddress;
    const PeDirectory relocations = ReadDirectory(image, layout, kRelocationDirectory);
    for (std::size_t i = first + 1; i < layout.sections.size(); ++i)
        if (relocations.size == 0 || layout.sections[i].virtualAddress != relocations.rva)
            throw Error("its section " + layout.sections[i].name +
                        " follows its resources and holds more than the base relocations: it cannot be moved");
    for (unsigned d = 0; d < layout.directoryCount; ++d) {
        // The certificate directory gives a file offset, not an address.
        if (d == kResourceDirectory || d == kRelocationDirectory || d == kCertificateDirectory)
            continue;
        const PeDirectory directory = ReadDirectory(image, layout, d);
        if (directory.size != 0 && directory.rva >= from)
            throw Error("its data directory " + std::to_string(d) + " lies in or after its resources");
    }
    if (relocations.size == 0)
        return;
    const std::uint64_t at = layout.FileOffset(relocations.rva, relocations.size, "the base relocations");
    const std::uint64_t end = at + relocations.size;
    const std::uint64_t imageFrom = std::uint64_t(layout.imageBase) + from;
    for (std::uint64_t block = at; block + 8 <= end;) {
        const std::uint32_t page = Get32(image, block, "the base relocations");
        const std::uint32_t size = Get32(image, block + 4, "the base relocations");
        if (size < 8 || size % 2 != 0 || size > end - block)
            throw Error("its base relocations are damaged");
        for (std::uint64_t e = block + 8; e < block + size; e += 2) {
            const std::uint16_t entry = Get16(image, e, "the base relocations");
            const std::uint16_t kind = entry >> 12;
            if (kind == kRelocationPadding)
                continue;
            if (kind != kRelocationHighLow)
                throw Error("its base relocations are of kind " + std::to_string(kind) +
                            ", not those of a 32-bit program");
            const std::uint64_t target = std::uint64_t(page) + (entry & 0xFFF);
            if (target >= from)
                throw Error("the loader relocates an address in or after its resources");
            const std::uint32_t address = Get32(
                image, layout.FileOffset(static_cast<std::uint32_t>(target), 4, "a relocated address"),
                "a relocated address");
            if (address >= imageFrom)
                throw Error("its code or data refers to an address in or after its resources");
        }
        block += size;
    }
}

void SetSectionHeader(Bytes& image, const PeLayout& layout, std::size_t index, const PeSection& section)
{
    const std::uint64_t at = layout.SectionHeaderAt(index);
    for (std::size_t i = 0; i < 8; ++i)
        image.at(at + i) = i < section.name.size() ? static_cast<unsigned char>(section.name[i]) : 0;
    Put32(image, at + 8, section.virtualSize, "the section table");
    Put32(image, at + 12, section.virtualAddress, "the section table");
    Put32(image, at + 16, section.rawSize, "the section table");
    Put32(image, at + 20, section.rawAt, "the section table");
    Put32(image, at + 36, section.characteristics, "the section table");
}

}  // namespace

std::vector<Resource> ReadImageResources(const Bytes& image)
{
    const PeLayout layout = ReadPeLayout(image);
    const PeDirectory directory = ReadDirectory(image, layout, kResourceDirectory);
    if (directory.size == 0)
        return {};
    return ReadResources(image, layout, directory.rva);
}

Bytes WithResources(const Bytes& image, const std::vector<Resource>& resources)
{
    const PeLayout layout = ReadPeLayout(image);
    if (layout.directoryCount <= kResourceDirectory)
        throw Error("its headers have no resource directory");
    const std::size_t index = ResourceSection(image, layout);
    const bool added = index == layout.sections.size();
    CheckMovable(image, layout, index);

    // Where the resource section lies: in its old place, or after the last
    // section (in memory and in the file).
    std::uint64_t fileEnd = layout.headersSize;
    for (const PeSection& section : layout.sections)
        if (section.rawSize > 0)
            fileEnd = std::max<std::uint64_t>(fileEnd, std::uint64_t(section.rawAt) + section.rawSize);
    PeSection resourceSection;
    if (added) {
        const std::uint64_t headerAt = layout.SectionHeaderAt(layout.sections.size());
        if (headerAt + kSectionHeaderSize > layout.headersSize ||
            std::any_of(image.begin() + static_cast<std::ptrdiff_t>(headerAt),
                        image.begin() + static_cast<std::ptrdiff_t>(headerAt + kSectionHeaderSize),
                        [](unsigned char b) { return b != 0; }))
            throw Error("its headers have no room for the header of a resource section");
        resourceSection.name = ".rsrc";
        resourceSection.characteristics = kInitializedData | kReadable;
        resourceSection.virtualAddress = static_cast<std::uint32_t>(AlignUp(
            layout.sections.empty() ? layout.headersSize
                                    : std::uint64_t(layout.sections.back().virtualAddress) + layout.sections.back().Span(),
            layout.sectionAlignment));
        resourceSection.rawAt = static_cast<std::uint32_t>(AlignUp(fileEnd, layout.fileAlignment));
    } else {
        resourceSection = layout.sections[index];
        for (std::size_t i = 0; i < index; ++i)
            if (layout.sections[i].rawSize > 0 &&
                std::uint64_t(layout.sections[i].rawAt) + layout.sections[i].rawSize > resourceSection.rawAt)
                throw Error("its section " + layout.sections[i].name + " lies behind its resources in the file");
    }
    const std::uint32_t oldRawSize = added ? 0 : resourceSection.rawSize;
    const Bytes tree = WriteResources(resources, resourceSection.virtualAddress);
    resourceSection.virtualSize = static_cast<std::uint32_t>(tree.size());
    resourceSection.rawSize = static_cast<std::uint32_t>(AlignUp(tree.size(), layout.fileAlignment));

    Bytes out(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(
                                                 resourceSection.rawAt, fileEnd)));
    out.resize(resourceSection.rawAt, 0);
    out.insert(out.end(), tree.begin(), tree.end());
    PadTo(out, layout.fileAlignment);
    SetSectionHeader(out, layout, index, resourceSection);

    // The base relocations, behind the resources.
    std::uint64_t nextAddress = AlignUp(std::uint64_t(resourceSection.virtualAddress) + resourceSection.virtualSize,
                                        layout.sectionAlignment);
    for (std::size_t i = index + 1; i < layout.sections.size(); ++i) {
        PeSection section = layout.sections[i];
        const Bytes data = Slice(image, section.rawAt, section.rawSize, "a section's data");
        const std::uint32_t moved = static_cast<std::uint32_t>(nextAddress) - section.virtualAddress;
        const std::uint64_t relocationAt = layout.DirectoryAt(kRelocationDirectory);
        Put32(out, relocationAt, Get32(out, relocationAt, "a data directory") + moved, "a data directory");
        section.virtualAddress = static_cast<std::uint32_t>(nextAddress);
        section.rawAt = static_cast<std::uint32_t>(out.size());
        section.rawSize = static_cast<std::uint32_t>(AlignUp(data.size(), layout.fileAlignment));
        out.insert(out.end(), data.begin(), data.end());
        PadTo(out, layout.fileAlignment);
        SetSectionHeader(out, layout, i, section);
        nextAddress = AlignUp(nextAddress + section.Span(), layout.sectionAlignment);
    }
    if (nextAddress > 0xFFFFFFFFu)
        throw Error("the image would be larger than 4 GiB");

    if (added)
        Put16(out, layout.coffAt + 2, static_cast<std::uint16_t>(layout.sections.size() + 1), "the COFF header");
    Put32(out, layout.optionalAt + 56, static_cast<std::uint32_t>(nextAddress), "the size of the image");
    const std::uint64_t initializedAt = layout.optionalAt + 8;
    Put32(out, initializedAt, Get32(out, initializedAt, "the optional header") - oldRawSize + resourceSection.rawSize,
          "the optional header");
    Put32(out, layout.DirectoryAt(kResourceDirectory), resourceSection.virtualAddress, "a data directory");
    Put32(out, layout.DirectoryAt(kResourceDirectory) + 4, resourceSection.virtualSize, "a data directory");
    return out;
}

}  // namespace setuppack
