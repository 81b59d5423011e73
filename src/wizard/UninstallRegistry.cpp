#include "wizard/UninstallRegistry.h"

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/Registry.h"
#include "settings/InstallScope.h"
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
    return TRegistryKey::Open(ScopeRoot(), UninstallEntryPath(screenSaverFile), KEY_QUERY_VALUE)
        .ReadString(kDisplayVersion);
}

void WriteUninstallEntry(const std::string& screenSaverFile, const std::string& targetFolder,
                         const ProductInfo& product)
{
    {
        // A user's own list is made with the user's first entry.
        const TRegistryKey list = TRegistryKey::CreateIfAllowed(ScopeRoot(), kUninstallListKey, KEY_ALL_ACCESS);
        if (list)
            TRegistryKey::Create(list.Handle(), UninstallEntryName(screenSaverFile), KEY_ALL_ACCESS);
    }
    // Opened again by its full path, whether the list opened or not; an
    // entry that cannot be opened is silently left out.
    TRegistryKey entry = TRegistryKey::Open(ScopeRoot(), UninstallEntryPath(screenSaverFile), KEY_ALL_ACCESS);
    if (!entry) {
        LogStep("uninstall entry", std::string("left out: ") + ScopeRootName() + " cannot be written");
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
    for (const auto& [name, value] : UninstallExtraValues(screenSaverFile, targetFolder, product))
        entry.WriteString(name, value);
    entry.WriteInteger("EstimatedSize", InstalledKiB(screenSaverFile, targetFolder));
    if (!product.ProductId.empty()) {
        // The day of the installation, yyyymmdd, as the list shows it; the
        // uninstaller neither changes nor repairs an installation.
        SYSTEMTIME today{};
        GetLocalTime(&today);
        char date[16];
        wsprintfA(date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
        for (const char* flag : {"NoModify", "NoRepair"})
            entry.WriteInteger(flag, 1);
        // The identity last: the next version takes only a whole entry for
        // the product's.
        const std::pair<const char*, std::string> values[] = {
            {"InstallDate", date},
            {"InstallLocation", targetFolder},
            {kScreenSaverValue, AuthorText(screenSaverFile)},
            {kProductIdValue, AuthorText(product.ProductId)},
        };
        for (const auto& [name, value] : values)
            entry.WriteString(name, value);
    }
    // On the disk before the installation counts as complete.
    RegFlushKey(entry.Handle());
    entry.Close();
    LogStep("uninstall entry", ScopeRootName() + ("\\" + UninstallEntryPath(screenSaverFile)) + " written");
}

namespace {

std::string KeptEntryPath(const std::string& copy) { return std::string(kKeptEntriesKey) + "\\" + copy; }

}  // namespace

TargetBefore KeepUninstallEntry(const std::string& entryName, const std::string& copy)
{
    const std::string copyPath = KeptEntryPath(copy);
    const TRegistryKey kept = TRegistryKey::CreateIfAllowed(ScopeRoot(), copyPath, KEY_ALL_ACCESS);
    // Where no copy can be made, the entry cannot be written either.
    if (!kept)
        return TargetBefore::Left;
    const LONG copied = kept.CopyTreeFrom(ScopeRoot(), UninstallEntryPathOf(entryName));
    if (copied == ERROR_FILE_NOT_FOUND) {
        DropUninstallEntryCopy(entryName);
        return TargetBefore::Absent;
    }
    if (copied != ERROR_SUCCESS || RegFlushKey(kept.Handle()) != ERROR_SUCCESS)
        throw Error("Failed to create key " + copyPath);
    return TargetBefore::Kept;
}

bool RestoreUninstallEntry(const std::string& entryName, TargetBefore before, const std::string& copy)
{
    const std::string entryPath = UninstallEntryPathOf(entryName);
    if (before == TargetBefore::Absent)
        return TRegistryKey::DeleteTree(ScopeRoot(), entryPath);
    // Emptied and filled again, the key keeps the name it has; an entry
    // that the group removed is made again.
    const TRegistryKey kept = TRegistryKey::Open(ScopeRoot(), KeptEntryPath(copy), KEY_READ);
    TRegistryKey entry = TRegistryKey::Open(ScopeRoot(), entryPath, KEY_ALL_ACCESS);
    if (!entry && kept && before == TargetBefore::Kept)
        entry = TRegistryKey::CreateIfAllowed(ScopeRoot(), entryPath, KEY_ALL_ACCESS);
    return before == TargetBefore::Left || !kept || !entry ||
           (TRegistryKey::DeleteTree(entry.Handle(), {}) && entry.CopyTreeFrom(kept.Handle(), {}) == ERROR_SUCCESS);
}

bool UninstallEntryCopyExists(const std::string& copy)
{
    return static_cast<bool>(TRegistryKey::Open(ScopeRoot(), KeptEntryPath(copy), KEY_READ));
}

void DropUninstallEntryCopy(const std::string& entryName)
{
    TRegistryKey::DeleteTree(ScopeRoot(), KeptEntryPath(entryName));
    // Only a key without keys beneath it goes so.
    RegDeleteKeyW(ScopeRoot(), WideText(kKeptEntriesKey).c_str());
}

}  // namespace lumora
