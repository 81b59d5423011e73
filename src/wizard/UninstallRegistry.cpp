#include "wizard/UninstallRegistry.h"

#include "framework/Registry.h"
#include "wizard/UninstallValues.h"

namespace lumora {

void WriteUninstallEntry(const std::string& screenSaverFile, const std::string& targetFolder)
{
    {
        const TRegistryKey list = TRegistryKey::Open(HKEY_LOCAL_MACHINE, kUninstallListKey, KEY_ALL_ACCESS);
        if (list)
            TRegistryKey::Create(list.Handle(), UninstallEntryName(screenSaverFile), KEY_ALL_ACCESS);
    }
    // Opened again by its full path, whether the list opened or not; an
    // entry that cannot be opened is silently left out.
    TRegistryKey entry = TRegistryKey::Open(HKEY_LOCAL_MACHINE, UninstallEntryPath(screenSaverFile), KEY_ALL_ACCESS);
    if (!entry)
        return;
    for (const auto& [name, value] : UninstallValues(screenSaverFile, targetFolder))
        entry.WriteString(name, value);
    entry.Close();
}

}  // namespace lumora
