#pragma once
// The operand of list and verify: exactly one file, an installer unless
// --archive says it is a bare archive.
#include <optional>
#include <string>
#include <vector>

#include "author/CodePage.h"
#include "image/ResourceTree.h"
#include "input/Arguments.h"
#include "payload/ArchiveLocation.h"

namespace setuppack {

struct ArchiveOperand {
    std::string path;
    bool bare = false;
};

// Throws UsageError unless there is exactly one operand.
ArchiveOperand ArchiveOperandOf(const Arguments& args);

// The resources of an installer's program image; none when it has none or
// its image cannot be read as a program.
std::vector<Resource> InstallerResources(lumora::Stream& file, const ArchiveLocation& location);

// The code page that an installer of 8-bit texts records in its resources;
// none for one that records none (built before it did, or of texts all
// ASCII) or for a bare archive.
std::optional<unsigned> RecordedCodePage(lumora::Stream& file, const ArchiveLocation& location);

// The code page to read an installer's texts and names in: --codepage when
// given, else the one it records, else the default; UTF-8 when its check
// record says so (CodePageOf).
CodePage InstallerCodePage(const Arguments& args, lumora::Stream& file, const ArchiveLocation& location);

}  // namespace setuppack
