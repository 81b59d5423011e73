#pragma once
// The message of a range error of libstdc++'s containers and strings, made
// from the library's format and arguments the way the library makes it,
// without the C runtime's printf (see LibraryErrors.cpp).
#include <cstdarg>
#include <string>

namespace lumora {

// `format` with each %s replaced by the next argument as text, each %zu by
// the next argument as a std::size_t in decimal and each %% by %. The
// library's formats use nothing else; any other % is kept as it is and takes
// no argument.
std::string LibraryErrorText(const char* format, va_list arguments);

}  // namespace lumora
