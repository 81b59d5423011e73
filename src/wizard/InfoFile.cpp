#include "wizard/InfoFile.h"

#include <windows.h>

#include "base/PathEncoding.h"
#include "framework/Handles.h"
#include "wizard/InOutError.h"
#include "wizard/InstallPaths.h"

namespace lumora {

void WriteInfoFile(const std::string& path, const std::string& screenSaverFile, const std::string& targetFolder)
{
    FileHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw InOutError(GetLastError());
    WriteInfoFile(file.Get(), screenSaverFile, targetFolder);
    if (!CloseHandle(file.Release()))
        throw InOutError(GetLastError());
}

void WriteInfoFile(HANDLE file, const std::string& screenSaverFile, const std::string& targetFolder)
{
    const std::string text = InfoFileText(screenSaverFile, targetFolder);
    // One write takes at most MAXDWORD bytes; a longer text cannot be
    // written whole, as on a full disk.
    DWORD written = 0;
    if (text.size() <= MAXDWORD && !WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        throw InOutError(GetLastError());
    if (written != text.size())
        throw InOutError(kDiskFullError);
    // On the disk before it is moved into place.
    if (!FlushFileBuffers(file))
        throw InOutError(GetLastError());
}

}  // namespace lumora
