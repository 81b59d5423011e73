#include "framework/SystemLibrary.h"

#include <string>

#include "base/PathText.h"

namespace lumora {

HMODULE LoadSystemLibrary(const char* fileName)
{
    std::string folder(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const UINT count = GetSystemDirectoryA(folder.data(), static_cast<UINT>(folder.size()));
        if (TrimToResult(folder, count))
            break;
    }
    if (folder.empty())
        return nullptr;
    return LoadLibraryA((EnsureBackslash(folder) + fileName).c_str());
}

}  // namespace lumora
