#include "archive/PeImage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace lumora::archive {

namespace {

constexpr std::int64_t kNewHeaderPointer = 0x3C;
constexpr std::int64_t kCoffHeaderSize = 20;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kSecurityDirectory = 4;
constexpr std::int64_t kSectionHeaderSize = 40;
// The format's own limit on sections.
constexpr std::uint16_t kMaxSections = 96;

// Reads `count` bytes at `offset` of the file, or nothing when they are not
// all there.
template <std::size_t N>
std::optional<std::array<unsigned char, N>> BytesAt(Stream& file, std::int64_t offset)
{
    std::array<unsigned char, N> bytes{};
    if (offset < 0 || file.Seek(offset, Stream::Origin::Begin) != offset || file.Read(bytes.data(), N) != N)
        return std::nullopt;
    return bytes;
}

std::uint32_t Le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t Le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

std::optional<PeImage> ReadPeImage(Stream& file)
{
    const auto dos = BytesAt<kNewHeaderPointer + 4>(file, 0);
    if (!dos || (*dos)[0] != 'M' || (*dos)[1] != 'Z')
        return std::nullopt;
    const std::int64_t peAt = Le32(dos->data() + kNewHeaderPointer);
    const auto coff = BytesAt<4 + kCoffHeaderSize>(file, peAt);
    if (!coff || std::memcmp(coff->data(), "PE\0\0", 4) != 0)
        return std::nullopt;
    const std::uint16_t sections = Le16(coff->data() + 4 + 2);
    const std::uint16_t optionalSize = Le16(coff->data() + 4 + 16);
    if (sections > kMaxSections)
        return std::nullopt;

    // The fields up to the data directories differ in width between PE32
    // and PE32+; the directories are 8 bytes each.
    const std::int64_t optionalAt = peAt + 4 + kCoffHeaderSize;
    const auto magic = BytesAt<2>(file, optionalAt);
    if (!magic)
        return std::nullopt;
    const std::uint16_t kind = Le16(magic->data());
    if (kind != kPe32Magic && kind != kPe32PlusMagic)
        return std::nullopt;
    const std::int64_t countAt = kind == kPe32Magic ? 92 : 108;
    const std::int64_t directoriesAt = countAt + 4;
    const std::int64_t securityAt = directoriesAt + 8 * kSecurityDirectory;
    const auto headerSize = BytesAt<4>(file, optionalAt + 60);
    const auto subsystem = BytesAt<2>(file, optionalAt + 68);
    const auto count = BytesAt<4>(file, optionalAt + countAt);
    if (!headerSize || !subsystem || !count)
        return std::nullopt;

    PeImage image;
    image.imageEnd = Le32(headerSize->data());
    image.machine = Le16(coff->data() + 4);
    image.pe32Plus = kind == kPe32PlusMagic;
    image.subsystem = Le16(subsystem->data());
    if (Le32(count->data()) > kSecurityDirectory && securityAt + 8 <= optionalSize) {
        const auto security = BytesAt<8>(file, optionalAt + securityAt);
        if (!security)
            return std::nullopt;
        image.certificateAt = Le32(security->data());
        image.certificateSize = Le32(security->data() + 4);
    }
    const std::int64_t sectionTableAt = optionalAt + optionalSize;
    for (std::uint16_t i = 0; i < sections; ++i) {
        const auto section = BytesAt<kSectionHeaderSize>(file, sectionTableAt + i * kSectionHeaderSize);
        if (!section)
            return std::nullopt;
        const std::int64_t rawSize = Le32(section->data() + 16);
        const std::int64_t rawAt = Le32(section->data() + 20);
        if (rawSize > 0)
            image.imageEnd = std::max(image.imageEnd, rawAt + rawSize);
    }
    return image;
}

}  // namespace lumora::archive
