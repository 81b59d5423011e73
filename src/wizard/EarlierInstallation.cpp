#include "wizard/EarlierInstallation.h"

#include <windows.h>

#include "base/PathEncoding.h"
#include "framework/FileObject.h"
#include "framework/Registry.h"
#include "settings/InstallScope.h"
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
