#pragma once
// Libraries of the system folder that the program looks up at run time:
// functions that older systems lack, and libraries that are not among the
// system's known DLLs, which a program importing them would look for in its
// own folder first (where a downloaded installer may find a planted copy).
#include <windows.h>

namespace lumora {

// Loads `fileName` from the system folder by its full path, never from
// anywhere else; nullptr when it cannot be loaded. The library stays loaded.
HMODULE LoadSystemLibrary(const char* fileName);

// A function of `module` by name, as the type the caller knows it to have;
// nullptr when the module or the function is missing.
template <class Function>
Function LookupFunction(HMODULE module, const char* name)
{
    if (!module)
        return nullptr;
    // The detour through a plain function pointer is what C++ allows
    // between unrelated function pointer types.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace lumora
