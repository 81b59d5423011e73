#include "Removal.h"

#include <windows.h>

#include "Text.h"

namespace lmunist {

namespace {

const DWORD kRetryStepMs = 200;

bool isGone(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool mayBeFreedSoon(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

// Deletes the file; true when it is gone afterwards.
bool deleteFile(const std::string& path, DWORD& error)
{
    const std::wstring file = sample::wide(path);
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (DeleteFileW(file.c_str()))
        return true;
    error = GetLastError();
    return isGone(error);
}

void removeKey(HKEY root, const std::string& subKey, const std::string& shownName, Outcome& outcome)
{
    const LONG result = RegDeleteKeyW(root, sample::wide(subKey).c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        outcome.notRemoved.push_back(shownName);
}

}  // namespace

void removeFile(const std::string& path, Outcome& outcome, unsigned retryMs, bool atRestart)
{
    DWORD error = 0;
    if (deleteFile(path, error))
        return;
    for (unsigned waited = 0; waited < retryMs && mayBeFreedSoon(error); waited += kRetryStepMs) {
        Sleep(kRetryStepMs);
        if (deleteFile(path, error))
            return;
    }
    if (atRestart && MoveFileExW(sample::wide(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        outcome.atRestart.push_back(path);
    else
        outcome.notRemoved.push_back(path);
}

void removeInstallation(const Installation& installation, Outcome& outcome)
{
    removeFile(installation.screensaver, outcome, 0, !installation.perUser);
    removeFile(installation.infoFile, outcome, 0, !installation.perUser);
    removeKey(installation.root, installation.uninstallKey, uninstallKeyText(installation), outcome);
}

void removeEmptyFolder(const Installation& installation)
{
    if (installation.perUser)
        RemoveDirectoryW(sample::wide(installation.folder).c_str());
}

}  // namespace lmunist
