#include "framework/DllSearch.h"

#include <windows.h>

namespace lumora {

namespace {

// Not declared for the oldest systems this program runs on: looked up.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryCall = BOOL(WINAPI*)(LPCSTR);

// A function of `module` by name, as the type the caller knows it to have;
// nullptr when the system lacks it.
template <class Function>
Function Lookup(HMODULE module, const char* name)
{
    // The detour through a plain function pointer is what C++ allows
    // between unrelated function pointer types.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

void LimitDllSearchToSystemFolder()
{
    // kernel32 is mapped into every process: naming it loads nothing.
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return;
    const auto setDefault = Lookup<SetDefaultDllDirectoriesCall>(kernel, "SetDefaultDllDirectories");
    if (setDefault && setDefault(kSearchSystem32))
        return;
    if (const auto setDirectory = Lookup<SetDllDirectoryCall>(kernel, "SetDllDirectoryA"))
        setDirectory("");
}

}  // namespace lumora
