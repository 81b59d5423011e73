#include "RemovalLog.h"

#include <windows.h>

#include "CommandLine.h"
#include "Handles.h"
#include "Text.h"

namespace lmunist {

std::string logFileArgument(const std::vector<std::string>& args)
{
    const std::string prefix = "/LOG=";
    for (std::vector<std::string>::size_type i = 1; i < args.size(); ++i) {
        if (args[i].size() > prefix.size() && sample::equalsIgnoringCase(args[i].substr(0, prefix.size()), prefix))
            return args[i].substr(prefix.size());
    }
    return std::string();
}

void writeRemovalLog(const std::string& logFile, const Installation& installation, const Outcome& outcome,
                     int exitCode)
{
    if (logFile.empty())
        return;
    std::string text = "uninstall " + installation.baseName + " from " + installation.folder + "\r\n";
    for (const std::string& left : outcome.notRemoved)
        text += "not removed: " + left + "\r\n";
    for (const std::string& later : outcome.atRestart)
        text += "removed at the next restart: " + later + "\r\n";
    text += "exit code: " + std::to_string(exitCode) + "\r\n";
    sample::UniqueHandle file(CreateFileW(sample::wide(logFile).c_str(), FILE_APPEND_DATA,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    DWORD written = 0;
    WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace lmunist
