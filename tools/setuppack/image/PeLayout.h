#pragma once
// The layout of a 32-bit Windows program image (PE32) held in memory, as
// the packing tool needs it to rewrite the setup stub's resources: the
// header fields it reads or changes, the data directories and the sections.
//
//   0x3C                 offset of "PE\0\0"
//   COFF header          machine, section count, symbol table, size of the
//                        optional header
//   optional header      +8 size of initialised data, +28 image base,
//                        +32/+36 section/file alignment, +56 size of the
//                        image, +60 size of the headers, +64 checksum,
//                        +92 directory count, +96 directories (RVA, size):
//                        2 resources, 4 certificates, 5 base relocations
//   section table        40 bytes each: name, virtual size and address,
//                        size and offset of the raw data, characteristics
#include <cstdint>
#include <string>
#include <vector>

#include "ImageBytes.h"
#include "base/Stream.h"

namespace setuppack {

inline constexpr unsigned kResourceDirectory = 2;
inline constexpr unsigned kCertificateDirectory = 4;
inline constexpr unsigned kRelocationDirectory = 5;
inline constexpr std::uint32_t kSectionHeaderSize = 40;

struct PeSection {
    std::string name;
    std::uint32_t virtualSize = 0;
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawAt = 0;
    std::uint32_t characteristics = 0;

    // The bytes the section spans in memory.
    std::uint32_t Span() const { return virtualSize != 0 ? virtualSize : rawSize; }
    bool Holds(std::uint32_t rva) const { return rva >= virtualAddress && rva - virtualAddress < Span(); }
};

struct PeLayout {
    std::uint64_t coffAt = 0;          // the COFF header, after "PE\0\0"
    std::uint64_t optionalAt = 0;      // the optional header
    std::uint64_t sectionTableAt = 0;
    std::uint32_t imageBase = 0;
    std::uint32_t sectionAlignment = 0;
    std::uint32_t fileAlignment = 0;
    std::uint32_t headersSize = 0;
    std::uint32_t checksum = 0;
    std::uint32_t directoryCount = 0;
    std::vector<PeSection> sections;   // in ascending order of address

    std::uint64_t ChecksumAt() const { return optionalAt + 64; }
    std::uint64_t DirectoryAt(unsigned index) const { return optionalAt + 96 + 8 * std::uint64_t(index); }
    std::uint64_t SectionHeaderAt(std::size_t index) const { return sectionTableAt + kSectionHeaderSize * index; }
    // The file offset of the `size` bytes at `rva`, which must lie within
    // one section's raw data; throws lumora::Error naming `what` otherwise.
    std::uint64_t FileOffset(std::uint32_t rva, std::uint32_t size, const char* what) const;
};

// Reads and checks the headers of `image`; throws lumora::Error saying what
// is wrong with them.
PeLayout ReadPeLayout(const Bytes& image);

// The directory `index` as (RVA, size); (0, 0) when the image has fewer.
struct PeDirectory {
    std::uint32_t rva = 0;
    std::uint32_t size = 0;
};
PeDirectory ReadDirectory(const Bytes& image, const PeLayout& layout, unsigned index);

// The checksum of a whole program file as Windows computes it
// (MapFileAndCheckSum): the sum of its 16-bit words with the carries folded
// in, the checksum field at `checksumAt` taken as zero, plus the file's
// length. Reads `file` from its start to its end.
std::uint32_t PeChecksum(lumora::Stream& file, std::uint64_t checksumAt);

}  // namespace setuppack
