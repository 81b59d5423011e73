#pragma once
// What an installer's tail depends on in its executable image (the PE
// format of Windows programs): where the image's own bytes end, and the
// certificate table that an Authenticode signature appends to the file,
// named by the image's security directory.
//
//   "MZ" header, its offset of the "PE\0\0" signature at 0x3C
//   COFF header: machine, section count, size of the optional header
//   optional header (PE32 or PE32+): size of the headers, subsystem, data
//     directories;
//     directory 4, the security directory, holds the certificate table's
//     file offset and size
//   section table: each section's file offset and size of raw data
#include <cstdint>
#include <optional>

#include "base/Stream.h"

namespace lumora::archive {

struct PeImage {
    std::int64_t imageEnd = 0;          // end of the headers and of every section's data
    std::uint32_t certificateAt = 0;    // file offset of the certificate table
    std::uint32_t certificateSize = 0;  // 0: the image is not signed
    std::uint16_t machine = 0;          // 0x14C: 32-bit x86
    bool pe32Plus = false;              // a 64-bit image
    std::uint16_t subsystem = 0;        // 2: a Windows GUI program, 3: a console program

    bool Signed() const { return certificateSize != 0; }
    bool Is32BitGuiProgram() const { return machine == 0x14C && !pe32Plus && subsystem == 2; }
};

// The PE facts of `file`, or nothing when it is not a PE image (or one too
// damaged to tell). Reads only within the file; the position is left
// anywhere.
std::optional<PeImage> ReadPeImage(Stream& file);

}  // namespace lumora::archive
