#include "PeLayout.h"

#include "base/Error.h"

namespace setuppack {

namespace {

using lumora::Error;

constexpr std::uint64_t kNewHeaderPointer = 0x3C;
constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint32_t kFixedOptionalSize = 96;  // up to the directories
constexpr std::uint16_t kMaxSections = 96;        // the format's own limit
constexpr std::uint32_t kMaxDirectories = 16;

bool PowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

std::uint64_t PeLayout::FileOffset(std::uint32_t rva, std::uint32_t size, const char* what) const
{
    for (const PeSection& section : sections) {
        if (!section.Holds(rva))
            continue;
        const std::uint64_t into = rva - section.virtualAddress;
        if (into + size > section.rawSize || into + size > section.Span())
            break;
        return section.rawAt + into;
    }
    throw Error(std::string(what) + " lies outside the data of the image's sections");
}

PeLayout ReadPeLayout(const Bytes& image)
{
    if (Get16(image, 0, "the \"MZ\" header") != 0x5A4D)
        throw Error("it does not start with \"MZ\"");
    PeLayout layout;
    const std::uint32_t peAt = Get32(image, kNewHeaderPointer, "the offset of the PE header");
    if (Get32(image, peAt, "the PE header") != 0x00004550)
        throw Error("it has no \"PE\" header where its \"MZ\" header says");
    layout.coffAt = std::uint64_t(peAt) + 4;
    const std::uint16_t sectionCount = Get16(image, layout.coffAt + 2, "the COFF header");
    const std::uint16_t optionalSize = Get16(image, layout.coffAt + 16, "the COFF header");
    layout.optionalAt = layout.coffAt + kCoffHeaderSize;
    if (sectionCount > kMaxSections)
        throw Error("it names " + std::to_string(sectionCount) + " sections, more than the format allows");
    if (optionalSize < kFixedOptionalSize || Get16(image, layout.optionalAt, "the optional header") != kPe32Magic)
        throw Error("it is no 32-bit program image (PE32)");
    layout.imageBase = Get32(image, layout.optionalAt + 28, "the optional header");
    layout.sectionAlignment = Get32(image, layout.optionalAt + 32, "the optional header");
    layout.fileAlignment = Get32(image, layout.optionalAt + 36, "the optional header");
    layout.headersSize = Get32(image, layout.optionalAt + 60, "the optional header");
    layout.checksum = Get32(image, layout.ChecksumAt(), "the optional header");
    layout.directoryCount = Get32(image, layout.optionalAt + 92, "the optional header");
    if (!PowerOfTwo(layout.fileAlignment) || layout.fileAlignment < 512 || layout.fileAlignment > 65536 ||
        !PowerOfTwo(layout.sectionAlignment) || layout.sectionAlignment < layout.fileAlignment)
        throw Error("its alignments (sections " + std::to_string(layout.sectionAlignment) + ", file " +
                    std::to_string(layout.fileAlignment) + ") are not those of a program image");
    if (layout.directoryCount > kMaxDirectories ||
        kFixedOptionalSize + 8 * layout.directoryCount > optionalSize)
        throw Error("its optional header does not hold its " + std::to_string(layout.directoryCount) +
                    " data directories");
    layout.sectionTableAt = layout.optionalAt + optionalSize;
    if (layout.SectionHeaderAt(sectionCount) > layout.headersSize || layout.headersSize > image.size())
        throw Error("its section table lies outside its headers");

    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t at = layout.SectionHeaderAt(i);
        PeSection section;
        for (std::uint64_t c = at; c < at + 8 && image[c] != 0; ++c)
            section.name += static_cast<char>(image[c]);
        section.virtualSize = Get32(image, at + 8, "the section table");
        section.virtualAddress = Get32(image, at + 12, "the section table");
        section.rawSize = Get32(image, at + 16, "the section table");
        section.rawAt = Get32(image, at + 20, "the section table");
        section.characteristics = Get32(image, at + 36, "the section table");
        if (section.rawSize > 0 &&
            (section.rawAt < layout.headersSize || section.rawAt > image.size() ||
             section.rawSize > image.size() - section.rawAt))
            throw Error("the data of its section " + section.name + " lies outside the file");
        if (!layout.sections.empty() &&
            std::uint64_t(layout.sections.back().virtualAddress) + layout.sections.back().Span() >
                section.virtualAddress)
            throw Error("its sections are not in ascending order of address");
        layout.sections.push_back(section);
    }
    return layout;
}

PeDirectory ReadDirectory(const Bytes& image, const PeLayout& layout, unsigned index)
{
    if (index >= layout.directoryCount)
        return {};
    return {Get32(image, layout.DirectoryAt(index), "a data directory"),
            Get32(image, layout.DirectoryAt(index) + 4, "a data directory")};
}

std::uint32_t PeChecksum(lumora::Stream& file, std::uint64_t checksumAt)
{
    file.Seek(0, lumora::Stream::Origin::Begin);
    std::vector<unsigned char> buffer(1 << 16);  // even: words never straddle two reads
    std::uint64_t sum = 0;
    std::uint64_t at = 0;
    for (std::size_t n; (n = file.Read(buffer.data(), buffer.size())) > 0; at += n) {
        for (std::uint64_t i = checksumAt; i < checksumAt + 4; ++i)
            if (i >= at && i < at + n)
                buffer[i - at] = 0;
        for (std::size_t i = 0; i < n; i += 2) {
            sum += buffer[i] | (i + 1 < n ? buffer[i + 1] << 8 : 0);
            sum = (sum & 0xFFFF) + (sum >> 16);
        }
    }
    sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + at);
}

}  // namespace setuppack
