#pragma once
// Folder-path rules that need no system call. Paths are 8-bit ANSI text with
// backslashes as separators.
#include <cstdint>
#include <string>

namespace lumora {

// The path with a backslash appended unless its last character already is
// one. Never removes a backslash. An empty path becomes "\".
std::string EnsureBackslash(const std::string& path);

// Fits a buffer to the count a Win32 call returned: remembers whether the
// count is smaller than the buffer's length (the call fitted its answer,
// terminating zero included), then sets the length to the count. A count of 0
// (the call failed) gives an empty buffer and true; a count at or above the
// length (the size the call needs) grows the buffer and gives false, so the
// caller asks again.
bool TrimToResult(std::string& buffer, std::uint32_t count);

}  // namespace lumora
