#include "wizard/EarlierInstallation.h"

#include <windows.h>

#include "base/AsciiText.h"
#include "base/PathEncoding.h"
#include "framework/FileObject.h"
#include "framework/Registry.h"
#include "settings/InstallScope.h"
#include "wizard/UninstallRegistry.h"
#include "wizard/UninstallValues.h"

namespace lumora {

std::vector<std::string> EarlierInstallationFiles(const std::string& screenSaverFile, const std::string& targetFolder,
                                                  const InstallPaths& paths)
{
    const TRegistryKey entry =
        TRegistryKey::Open(ScopeRoot(), UninstallEntryPath(screenSaverFile), KEY_QUERY_VALUE);
    // An empty text names no file.
    std::vector<std::string> files(5);
    files[0] = ProgramOfCommand(entry.ReadString("UninstallString"));
    files[1] = entry.ReadString("DisplayIcon");
    if (SamePath(WideText(files[0]), WideText(paths.uninstallerTarget)))
        files[2] = paths.infoFile;

    // An info file as this installer writes it names an installation of
    // the product in this folder, also one without its entry.
    const std::string written = InfoFileText(screenSaverFile, targetFolder);
    const FileHandle info(CreateFileW(WidePath(paths.infoFile).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char bytes[2048];
    DWORD size = 0;
    if (info && ReadFile(info.Get(), bytes, sizeof bytes, &size, nullptr) && std::string_view(bytes, size) == written) {
        files[2] = paths.infoFile;
        files[3] = paths.screenSaverTarget;
        files[4] = paths.uninstallerTarget;
    }
    return files;
}

}  // namespace lumora

namespace lumora {

namespace {

// The product's installation that the entry `key` describes, if it is one.
std::optional<EarlierProduct> ProductOfEntry(const TRegistryKey& key, const std::string& name,
                                             const std::string& productId, const std::string& targetFolder)
{
    const std::string screenSaver = key.ReadString(kScreenSaverValue);
    const std::string uninstaller = ProgramOfCommand(key.ReadString("UninstallString"));
    const std::size_t slash = uninstaller.rfind('\\');
    if (!key || UpperCaseAscii(key.ReadString(kProductIdValue)) != UpperCaseAscii(productId) ||
        screenSaver.size() <= 4 || screenSaver.find_first_of("\\/:") != std::string::npos ||
        slash == std::string::npos || uninstaller.size() - slash <= 5 ||
        !SamePath(WideText(uninstaller.substr(0, slash)), WideText(targetFolder)))
        return std::nullopt;
    // The uninstaller and the info file share the base name.
    const std::string base = uninstaller.substr(0, uninstaller.size() - 4);
    return EarlierProduct{name, key.ReadString(kDisplayVersion),
                          {targetFolder + "\\" + screenSaver, uninstaller, base + ".nfo"}};
}

}  // namespace

std::optional<EarlierProduct> FindEarlierProduct(const std::string& productId, const std::string& ownEntry,
                                                 const std::string& targetFolder)
{
    if (productId.empty())
        return std::nullopt;
    const std::string own = UpperCaseAscii(ownEntry);
    const TRegistryKey list = TRegistryKey::Open(ScopeRoot(), kUninstallListKey, KEY_READ);
    for (const std::string& name : list.KeyNames())
        if (UpperCaseAscii(name) != own)
            if (auto found = ProductOfEntry(TRegistryKey::Open(list.Handle(), name, KEY_QUERY_VALUE), name,
                                            productId, targetFolder))
                return found;
    // An entry that a killed run removed lives on as its copy, until the
    // next run puts it back.
    const TRegistryKey kept = TRegistryKey::Open(ScopeRoot(), kKeptEntriesKey, KEY_READ);
    for (const std::string& name : kept.KeyNames()) {
        const TRegistryKey copies = TRegistryKey::Open(kept.Handle(), name, KEY_READ);
        for (const std::string& copy : copies.KeyNames())
            if (UpperCaseAscii(name) != own)
                if (auto found = ProductOfEntry(TRegistryKey::Open(copies.Handle(), copy, KEY_QUERY_VALUE), name,
                                                productId, targetFolder))
                    return found;
    }
    return std::nullopt;
}

std::string InstalledProductVersion(const std::string& screenSaverFile, const std::string& targetFolder)
{
    const std::optional<EarlierProduct> earlier =
        FindEarlierProduct(AuthorText(Product.ProductId), UninstallEntryName(screenSaverFile), targetFolder);
    return earlier ? earlier->version : InstalledVersion(screenSaverFile);
}

}  // namespace lumora
