#include "wizard/UninstallRegistry.h"

#include "base/PathEncoding.h"
#include "framework/Registry.h"
#include "settings/RunLog.h"
#include "wizard/InstallPaths.h"
#include "wizard/UninstallValues.h"

namespace lumora {

namespace {

// The KiB the installed files take, rounded up.
DWORD InstalledKiB(const std::string& screenSaverFile, const std::string& targetFolder)
{
    const InstallPaths paths = PlanInstallPaths(PathFromAnsi(targetFolder), PathFromAnsi(screenSaverFile),
                                                PathFromAnsi(ScreenSaverBaseName(screenSaverFile)), {});
    unsigned long long bytes = 0;
    for (const std::string* file : {&paths.screenSaverTarget, &paths.uninstallerTarget, &paths.infoFile}) {
        WIN32_FILE_ATTRIBUTE_DATA facts{};
        if (GetFileAttributesExW(WidePath(*file).c_str(), GetFileExInfoStandard, &facts))
            bytes += static_cast<unsigned long long>(facts.nFileSizeHigh) << 32 | facts.nFileSizeLow;
    }
    return static_cast<DWORD>((bytes + 1023) / 1024);
}

}  // namespace

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
    if (!entry) {
        LogStep("uninstall entry", "left out: HKEY_LOCAL_MACHINE cannot be written");
        return;
    }
    for (const auto& [name, value] : UninstallValues(screenSaverFile, targetFolder))
        entry.WriteString(name, value);
    for (const auto& [name, value] : UninstallExtraValues(screenSaverFile, targetFolder))
        entry.WriteString(name, value);
    entry.WriteInteger("EstimatedSize", InstalledKiB(screenSaverFile, targetFolder));
    entry.Close();
    LogStep("uninstall entry", "HKEY_LOCAL_MACHINE\\" + PathFromAnsi(UninstallEntryPath(screenSaverFile)) + " written");
}

}  // namespace lumora
