#include "framework/SystemLibrary.h"

#include <cstring>
#include <string>

#include "base/PathText.h"

namespace lumora {

HMODULE LoadSystemLibrary(const char* fileName)
{
    std::wstring folder(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const UINT count = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
        if (TrimToResult(folder, count))
            break;
    }
    if (folder.empty())
        return nullptr;
    if (folder.back() != L'\\')
        folder += L'\\';
    return LoadLibraryW((folder + std::wstring(fileName, fileName + std::strlen(fileName))).c_str());
}

}  // namespace lumora
