#include "Installation.h"

#include <windows.h>

#include "Handles.h"
#include "InfoFile.h"
#include "SystemFolders.h"
#include "Text.h"

namespace lmunist {

namespace {

const char kUninstallParent[] = "Software\\Microsoft\\Windows\\currentversion\\uninstall\\";

// A name from the information file is used only as a plain file name in
// the uninstaller's own folder: nothing elsewhere is ever removed.
bool isPlainFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:*?\"<>|") == std::string::npos;
}

bool sameFolder(const std::string& a, const std::string& b)
{
    return CompareStringOrdinal(sample::wide(a).c_str(), -1, sample::wide(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool fileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(sample::wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The name the entry shows (DisplayName): the product's, where the installer
// was given one, else its own "B Uninstall"; empty without an entry.
std::string entryDisplayName(HKEY root, const std::string& uninstallKey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, sample::wide(uninstallKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::string();
    sample::RegKey owner(key);
    wchar_t name[260] = {};
    DWORD type = 0;
    DWORD size = sizeof name - sizeof name[0];
    if (RegQueryValueExW(key, L"DisplayName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    return sample::utf8(std::wstring(name, size / sizeof name[0]).c_str());
}

}  // namespace

Installation describeInstallation(const std::string& uninstallerPath)
{
    Installation result;
    result.folder = sample::folderOf(uninstallerPath);
    const std::string fileName = sample::fileNameOf(uninstallerPath);
    const std::string::size_type dot = fileName.find_last_of('.');
    result.baseName = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    result.infoFile = sample::joinPath(result.folder, result.baseName + ".nfo");

    std::string screensaver = readInfoFileScreensaver(result.infoFile);
    if (!isPlainFileName(screensaver))
        screensaver = result.baseName + ".scr";
    result.screensaver = sample::joinPath(result.folder, screensaver);
    result.uninstallKey = kUninstallParent + result.baseName + " Uninstall";
    result.perUser = !sameFolder(result.folder, sample::windowsFolder());
    result.root = result.perUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    const std::string shown = entryDisplayName(result.root, result.uninstallKey);
    result.shownName = shown.empty() || shown == result.baseName + " Uninstall" ? result.baseName : shown;
    return result;
}

bool anythingInstalled(const Installation& installation)
{
    if (fileExists(installation.screensaver) || fileExists(installation.infoFile))
        return true;
    HKEY key = nullptr;
    if (RegOpenKeyExW(installation.root, sample::wide(installation.uninstallKey).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    sample::RegKey owner(key);
    return true;
}

std::string uninstallKeyText(const Installation& installation)
{
    return (installation.perUser ? "HKEY_CURRENT_USER\\" : "HKEY_LOCAL_MACHINE\\") + installation.uninstallKey;
}

}  // namespace lmunist
