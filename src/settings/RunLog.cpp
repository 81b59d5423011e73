#include "settings/RunLog.h"

#include <windows.h>

#include <shlobj.h>

#include "base/Error.h"
#include "base/PathEncoding.h"

namespace lumora {

namespace {

std::wstring logPath;

// Makes the missing folders of the log file `file`, so that a log asked for
// in a folder that is not there yet is written all the same.
void MakeFolderOf(const std::wstring& file)
{
    std::wstring full(MAX_PATH, L'\0');
    wchar_t* name = nullptr;
    const DWORD length = GetFullPathNameW(file.c_str(), MAX_PATH, full.data(), &name);
    if (length == 0 || length >= MAX_PATH || !name)
        return;
    full.resize(static_cast<std::size_t>(name - full.data()));
    SHCreateDirectoryExW(nullptr, full.c_str(), nullptr);
}

}  // namespace

void OpenRunLog(const std::string& path)
{
    try {
        logPath = path.empty() ? std::wstring() : WidePath(path);
    } catch (const Error&) {
        logPath.clear();
    }
    if (!logPath.empty())
        MakeFolderOf(logPath);
}

void LogStep(const std::string& step, const std::string& result)
{
    if (logPath.empty())
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    // "YYYY-MM-DD hh:mm:ss " (no printf in the setup program).
    std::string line = std::to_string(now.wYear);
    for (const WORD part : {now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond}) {
        line += line.size() == 4 ? '-' : line.size() == 7 ? '-' : line.size() == 10 ? ' ' : ':';
        line += static_cast<char>('0' + part / 10);
        line += static_cast<char>('0' + part % 10);
    }
    line += ' ' + step + ": " + result + "\r\n";
    const HANDLE file = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

void LogFailure(const std::string& step, const std::string& message, const std::string& reason)
{
    LogStep(step, "failed: " + message + (reason.empty() ? "" : " (" + reason + ")"));
}

}  // namespace lumora
