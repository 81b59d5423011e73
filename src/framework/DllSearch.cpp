#include "framework/DllSearch.h"

#include <windows.h>

#include "framework/SystemLibrary.h"

namespace lumora {

namespace {

// Not declared for the oldest systems this program runs on: looked up.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryCall = BOOL(WINAPI*)(LPCSTR);

}  // namespace

void LimitDllSearchToSystemFolder()
{
    // kernel32 is mapped into every process: naming it loads nothing.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = LookupFunction<SetDefaultDllDirectoriesCall>(kernel, "SetDefaultDllDirectories");
    if (setDefault && setDefault(kSearchSystem32))
        return;
    if (const auto setDirectory = LookupFunction<SetDllDirectoryCall>(kernel, "SetDllDirectoryA"))
        setDirectory("");
}

}  // namespace lumora
