#pragma once
// Path rules that need no system call, the one home of each. Paths are text
// (base/PathEncoding.h) whose separators and drive are ASCII: "\" separates
// folders, "/" is taken as a separator too (the
// Win32 functions and the POSIX backend take both), and a drive such as "c:"
// may lead.
#include <cstdint>
#include <string>
#include <string_view>

namespace lumora {

bool IsPathSeparator(char c);

// The path with a backslash appended unless its last character already is
// one. Never removes a backslash. An empty path becomes "\".
std::string EnsureBackslash(const std::string& path);

// The file name of a path: the part after its last separator or ":".
std::string_view FileNamePart(std::string_view path);

// The folder a file lies in: everything up to its last separator or ":",
// without that separator unless it closes a drive root ("C:\") or follows
// another separator.
std::string FolderPart(std::string_view file);

// Where the last `count` characters of `name` begin: each byte is a
// character of 8-bit text; in UTF-8 (`utf8`), a lead byte and the
// continuation bytes after it are one. 0 when the name has no more than
// `count` characters.
std::size_t LastCharactersStart(std::string_view name, std::size_t count, bool utf8);

// `name` with its extension replaced by `extension` (which includes the
// "."), or with `extension` appended when its file name has none.
std::string ChangeFileExtension(std::string_view name, std::string_view extension);

// Fits a buffer to the count a Win32 call returned: remembers whether the
// count is smaller than the buffer's length (the call fitted its answer,
// terminating zero included), then sets the length to the count. A count of 0
// (the call failed) gives an empty buffer and true; a count at or above the
// length (the size the call needs) grows the buffer and gives false, so the
// caller asks again.
template <class Text>
bool TrimToResult(Text& buffer, std::uint32_t count)
{
    const bool fitted = count < buffer.size();
    buffer.resize(count);
    return fitted;
}

}  // namespace lumora
