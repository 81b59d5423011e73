#pragma once
// Path text (base/PathEncoding.h) as a path of the standard library, whose
// narrow strings are ANSI text on Win32. Only the packing tool uses
// std::filesystem; the installer never links it.
#include <filesystem>
#include <string_view>

namespace setuppack {

std::filesystem::path NativePath(std::string_view path);

}  // namespace setuppack
