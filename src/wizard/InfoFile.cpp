#include "wizard/InfoFile.h"

#include <windows.h>

#include "base/PathEncoding.h"
#include "framework/Handles.h"
#include "wizard/InOutError.h"
#include "wizard/InstallPaths.h"

namespace lumora {

namespace {

// Each line is written as it comes, so a failure is reported by the line
// that met it.
void WriteLine(HANDLE file, const std::string& text)
{
    const std::string line = text + "\r\n";
    // One write takes at most MAXDWORD bytes; a longer line cannot be
    // written whole, as on a full disk.
    if (line.size() > MAXDWORD)
        throw InOutError(kDiskFullError);
    DWORD written = 0;
    if (!WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
        throw InOutError(GetLastError());
    if (written != line.size())
        throw InOutError(kDiskFullError);
}

}  // namespace

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
    for (const std::string& line : InfoFileLines(screenSaverFile, targetFolder))
        WriteLine(file, line);
    // On the disk before it is moved into place.
    if (!FlushFileBuffers(file))
        throw InOutError(GetLastError());
}

}  // namespace lumora
