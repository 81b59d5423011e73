#include "Trace.h"

#include <windows.h>

#include <cstdio>

#include "Handles.h"
#include "SystemFolders.h"
#include "Text.h"

namespace activex {

namespace {

std::string localTimeText()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                                     now.wDay, now.wHour, now.wMinute, now.wSecond);
    if (length <= 0 || length >= static_cast<int>(sizeof text))
        return std::string();
    return std::string(text, length);
}

}  // namespace

std::string traceFilePath()
{
    return sample::joinPath(sample::windowsFolder(), "lumora-activex.log");
}

bool appendTrace()
{
    // FILE_APPEND_DATA alone: every write lands at the end, also when two
    // runs write at the same time.
    sample::UniqueHandle file(CreateFileW(sample::wide(traceFilePath()).c_str(), FILE_APPEND_DATA,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    const std::string line = localTimeText() + " Lumora ActiveX update: nothing to update\r\n";
    DWORD written = 0;
    return WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}

}  // namespace activex
