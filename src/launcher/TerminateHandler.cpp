// The handler that std::terminate calls unless the program sets another.
// libstdc++'s own definition of this function writes the exception's type in
// readable form, and for that alone it links the C++ name demangler, with the
// printf machinery the demangler uses, into every program: about 75 KB of the
// setup program. Defined here, this definition is the one the linker takes
// (libstdc++ keeps its version in an archive member of its own, which is then
// never pulled in). It writes the same facts to the standard error stream,
// the type's name as the compiler encodes it, and aborts as the library's
// does. The program catches every exception at its entry and in its message
// loop; this runs only when one escapes from where it cannot be caught, such
// as a destructor.
#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

#include "settings/ExtractionFolder.h"

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    std::fputs("terminate called", stderr);
    if (const std::type_info* type = abi::__cxa_current_exception_type()) {
        std::fputs(" after throwing an instance of ", stderr);
        std::fputs(type->name(), stderr);
        try {
            throw;
        } catch (const std::exception& e) {
            std::fputs("\n  what():  ", stderr);
            std::fputs(e.what(), stderr);
        } catch (...) {
        }
    }
    std::fputs("\n", stderr);
    // The payload is not left behind, whatever ends the program.
    lumora::RemoveExtractionFolder();
    std::abort();
}

}  // namespace __gnu_cxx
