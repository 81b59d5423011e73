#include "wizard/EarlierInstallation.h"

#include <windows.h>

#include "base/PathEncoding.h"
#include "framework/FileObject.h"
#include "framework/Registry.h"
#include "wizard/UninstallValues.h"

namespace lumora {

std::vector<std::string> EarlierInstallationFiles(const std::string& screenSaverFile, const std::string& targetFolder,
                                                  const InstallPaths& paths)
{
    const TRegistryKey entry =
        TRegistryKey::Open(HKEY_LOCAL_MACHINE, UninstallEntryPath(screenSaverFile), KEY_QUERY_VALUE);
    std::vector<std::string> files;
    const std::string uninstaller = ProgramOfCommand(entry.ReadString("UninstallString"));
    files.push_back(uninstaller);
    files.push_back(entry.ReadString("DisplayIcon"));
    if (SamePath(WideText(uninstaller), WideText(paths.uninstallerTarget)))
        files.push_back(paths.infoFile);

    const std::string written = InfoFileText(screenSaverFile, targetFolder);
    const FileHandle info(CreateFileW(WidePath(paths.infoFile).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char bytes[2048];
    DWORD size = 0;
    if (info && ReadFile(info.Get(), bytes, sizeof bytes, &size, nullptr) && std::string_view(bytes, size) == written)
        for (const std::string* file : {&paths.screenSaverTarget, &paths.uninstallerTarget, &paths.infoFile})
            files.push_back(*file);
    return files;
}

}  // namespace lumora
