#pragma once
// The input/output errors of the info file: raised at the first operation
// that fails (create, a line, close) with the error number of that
// operation, as the runtime's file routines report them.
#include "base/Error.h"

namespace lumora {

// A write that stopped short without a system error: the disk is full.
inline constexpr unsigned kDiskFullError = 101;

// "File not found", "Invalid filename", "Too many open files" and "File
// access denied" for the system's error numbers 2 to 5, "Disk full" for 101,
// "I/O error <n>" for any other number.
std::string InOutErrorText(unsigned code);

class InOutError : public Error {
public:
    explicit InOutError(unsigned code) : Error(InOutErrorText(code)), code_(code) {}
    unsigned Code() const { return code_; }

private:
    unsigned code_;
};

}  // namespace lumora
