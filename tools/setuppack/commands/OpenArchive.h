#pragma once
// The operand of list and verify: exactly one file, an installer unless
// --archive says it is a bare archive.
#include <string>

#include "input/Arguments.h"

namespace setuppack {

struct ArchiveOperand {
    std::string path;
    bool bare = false;
};

// Throws UsageError unless there is exactly one operand.
ArchiveOperand ArchiveOperandOf(const Arguments& args);

}  // namespace setuppack
