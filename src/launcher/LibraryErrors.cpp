// The functions through which libstdc++'s containers and strings report a
// misuse or an impossible size. The library's own definitions, all in one
// archive member, throw std::length_error, std::logic_error and
// std::out_of_range, and with those classes come their copy-on-write string,
// their transactional-memory variants and, through that string's archive
// member, std::random_device: about 20 KB of the setup program. Defined here,
// these are the ones the linker takes, and the library's member is never
// pulled in (should anything still need it, the link fails on the duplicate
// definitions rather than taking either silently).
//
// They throw as the library does, with the library's message, but the three
// errors as lumora::Error: the program catches exceptions only as
// std::exception (and shows what()) and as std::bad_alloc, which stays the
// standard's. Only the setup program has these definitions; its test suites
// link GoogleTest, which needs the library's.
#include <cstdarg>
#include <new>
#include <string>

#include "base/Error.h"
#include "launcher/LibraryErrorText.h"

namespace std {

void __throw_bad_alloc() { throw bad_alloc(); }

void __throw_bad_array_new_length() { throw bad_array_new_length(); }

void __throw_length_error(const char* message) { throw lumora::Error(message); }

void __throw_logic_error(const char* message) { throw lumora::Error(message); }

void __throw_out_of_range_fmt(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const std::string message = lumora::LibraryErrorText(format, arguments);
    va_end(arguments);
    throw lumora::Error(message);
}

}  // namespace std
