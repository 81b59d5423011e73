// Where the C++ runtime keeps the exceptions being handled: the caught
// exceptions, innermost first, and the count of those thrown and not yet
// caught. libstdc++ keeps a record per thread, through libgcc's emulation of
// thread-local storage, and that emulation alone is 1.5 KB of the setup
// program, which handles exceptions on one thread: its windows' thread (it
// starts no other; the system's threads in the process never run its code).
// Defined here, these two functions are the ones the linker takes, and the
// library's archive member is never pulled in. The record's layout is the
// one the C++ ABI gives (Itanium C++ ABI, 2.5.2); cxxabi.h declares the type
// without its members. Only the setup program has these definitions; its
// test suites, which run GoogleTest and a second thread, keep the library's.
#include <cxxabi.h>

namespace __cxxabiv1 {

struct __cxa_eh_globals {
    void* caughtExceptions;
    unsigned int uncaughtExceptions;
};

namespace {

__cxa_eh_globals g_exceptions;

}  // namespace

extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept { return &g_exceptions; }

extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept { return &g_exceptions; }

}  // namespace __cxxabiv1
