#include "wizard/UninstallRegistry.h"

#include "base/PathEncoding.h"
#include "framework/Registry.h"
#include "settings/RunLog.h"
#include "wizard/UninstallValues.h"

namespace lumora {

namespace {

// The KiB the installed files take, rounded up.
DWORD InstalledKiB(const std::string& screenSaverFile, const std::string& targetFolder)
{
    const InstallPaths paths = InstalledPaths(screenSaverFile, targetFolder);
    unsigned long long bytes = 0;
    for (const std::string* file : {&paths.screenSaverTarget, &paths.uninstallerTarget, &paths.infoFile}) {
        WIN32_FILE_ATTRIBUTE_DATA facts{};
        if (GetFileAttributesExW(WidePath(*file).c_str(), GetFileExInfoStandard, &facts))
            bytes += static_cast<unsigned long long>(facts.nFileSizeHigh) << 32 | facts.nFileSizeLow;
    }
    return static_cast<DWORD>((bytes + 1023) / 1024);
}

}  // namespace

std::string InstalledVersion(const std::string& screenSaverFile)
{
    // An object without a key reads as no version.
    return TRegistryKey::Open(HKEY_LOCAL_MACHINE, UninstallEntryPath(screenSaverFile), KEY_QUERY_VALUE)
        .ReadString(kDisplayVersion);
}

void WriteUninstallEntry(const std::string& screenSaverFile, const std::string& targetFolder,
                         const ProductInfo& product)
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
    const std::string installed = InstalledVersion(screenSaverFile);
    const std::string version = AuthorText(product.Version);
    if (!installed.empty() && !version.empty()) {
        std::string replaced = "replaces version ";
        replaced += installed;
        replaced += " with ";
        replaced += version;
        LogStep("uninstall entry", replaced);
    }
    UninstallValueList values = UninstallValues(screenSaverFile, targetFolder);
    ApplyProductInfo(values, product);
    for (const auto& [name, value] : values)
        entry.WriteString(name, value);
    // A version written by an earlier installer is not this one's.
    if (version.empty())
        entry.DeleteValue(kDisplayVersion);
    else
        entry.WriteString(kDisplayVersion, version);
    for (const auto& [name, value] : UninstallExtraValues(screenSaverFile, targetFolder))
        entry.WriteString(name, value);
    entry.WriteInteger("EstimatedSize", InstalledKiB(screenSaverFile, targetFolder));
    entry.Close();
    LogStep("uninstall entry", "HKEY_LOCAL_MACHINE\\" + UninstallEntryPath(screenSaverFile) + " written");
}

}  // namespace lumora
