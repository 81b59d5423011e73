#include "wizard/EarlierInstallation.h"

#include <windows.h>

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

namespace {

// Whether the entry `key` describes an installation of the product
// `productId` in `targetFolder`; fills `earlier` with it then, the files
// that `paths` does not name.
bool ReadEarlierProduct(const TRegistryKey& key, const std::string& productId, const std::string& targetFolder,
                        const InstallPaths& paths, EarlierProduct& earlier)
{
    const std::string screenSaver = key.ReadString(kScreenSaverValue);
    const std::string uninstaller = ProgramOfCommand(key.ReadString("UninstallString"));
    const std::size_t slash = uninstaller.rfind('\\');
    if (lstrcmpiA(key.ReadString(kProductIdValue).c_str(), productId.c_str()) != 0 || screenSaver.size() <= 4 ||
        screenSaver.find_first_of("\\/:") != std::string::npos || slash == std::string::npos ||
        uninstaller.size() - slash <= 5 || !SamePath(WideText(uninstaller.substr(0, slash)), WideText(targetFolder)))
        return false;
    earlier.version = key.ReadString(kDisplayVersion);
    // The uninstaller and the info file share the base name.
    for (const std::string& file : {targetFolder + "\\" + screenSaver, uninstaller,
                                    uninstaller.substr(0, uninstaller.size() - 4) + ".nfo"})
        if (!SamePath(WideText(file), WideText(paths.screenSaverTarget)) &&
            !SamePath(WideText(file), WideText(paths.uninstallerTarget)) &&
            !SamePath(WideText(file), WideText(paths.infoFile)))
            earlier.files.push_back(file);
    return true;
}

}  // namespace

EarlierProduct FindEarlierProduct(const std::string& productId, const std::string& ownEntry,
                                  const std::string& targetFolder, const InstallPaths& paths)
{
    EarlierProduct earlier;
    if (productId.empty())
        return earlier;
    // An entry that a killed run removed lives on as its copy, until the
    // next run puts it back.
    const TRegistryKey list = TRegistryKey::Open(ScopeRoot(), kUninstallListKey, KEY_READ);
    const TRegistryKey kept = TRegistryKey::Open(ScopeRoot(), kKeptEntriesKey, KEY_READ);
    for (const TRegistryKey* parent : {&list, &kept})
        for (const std::string& name : parent->KeyNames()) {
            if (lstrcmpiA(name.c_str(), ownEntry.c_str()) == 0)
                continue;
            const TRegistryKey key = TRegistryKey::Open(parent->Handle(), name, KEY_READ);
            // An entry, or the copies of one ("" opens the key itself).
            const std::vector<std::string> copies = parent == &list ? std::vector<std::string>{{}} : key.KeyNames();
            for (const std::string& copy : copies)
                if (ReadEarlierProduct(TRegistryKey::Open(key.Handle(), copy, KEY_READ), productId, targetFolder,
                                       paths, earlier)) {
                    earlier.entry = name;
                    return earlier;
                }
        }
    return earlier;
}

std::string InstalledProductVersion(const std::string& screenSaverFile, const std::string& targetFolder)
{
    const EarlierProduct earlier = FindEarlierProduct(AuthorText(Product.ProductId), UninstallEntryName(screenSaverFile),
                                                      targetFolder, InstalledPaths(screenSaverFile, targetFolder));
    return earlier.entry.empty() ? InstalledVersion(screenSaverFile) : earlier.version;
}

}  // namespace lumora
