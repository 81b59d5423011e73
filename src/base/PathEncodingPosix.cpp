// On POSIX, paths are the bytes the system takes and 8-bit names are used
// as they are.
#include "base/PathEncoding.h"

namespace lumora {

std::string PathFromAnsi(std::string_view ansi) { return std::string(ansi); }

std::string AnsiFromPath(std::string_view path) { return std::string(path); }

}  // namespace lumora
