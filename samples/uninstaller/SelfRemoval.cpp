#include "SelfRemoval.h"

#include <cstdint>

#include "CommandLine.h"
#include "Handles.h"
#include "RemovalLog.h"
#include "SystemFolders.h"
#include "Text.h"

namespace lmunist {

const char kFinishSwitch[] = "/finish";

bool parseFinishRequest(const std::vector<std::string>& args, FinishRequest& request)
{
    if ((args.size() != 4 && args.size() != 5) || !sample::equalsIgnoringCase(args[1], kFinishSwitch))
        return false;
    std::uint32_t pid = 0;
    if (!sample::parseUnsigned(args[2], pid) || pid == 0 || args[3].empty())
        return false;
    request.originalPid = pid;
    request.originalPath = args[3];
    request.logFile = logFileArgument(args);
    return args.size() == 4 || !request.logFile.empty();
}

bool startFinisher(const std::string& ownPath, const std::string& baseName, const std::string& logFile)
{
    const std::string temp = sample::tempFolder();
    if (temp.empty())
        return false;
    const DWORD pid = GetCurrentProcessId();
    const std::string copy = temp + baseName + "-uninstall-" + std::to_string(pid) + ".exe";
    if (!CopyFileW(sample::wide(ownPath).c_str(), sample::wide(copy).c_str(), FALSE))
        return false;

    std::string commandLine = sample::quoteArgument(copy) + " " + kFinishSwitch + " " + std::to_string(pid) +
                              " " + sample::quoteArgument(ownPath);
    if (!logFile.empty())
        commandLine += " " + sample::quoteArgument("/LOG=" + logFile);
    std::wstring wideCommandLine = sample::wide(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(sample::wide(copy).c_str(), &wideCommandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        sample::wide(temp).c_str(), &startup, &process)) {
        DeleteFileW(sample::wide(copy).c_str());
        return false;
    }
    sample::UniqueHandle processHandle(process.hProcess);
    sample::UniqueHandle threadHandle(process.hThread);
    return true;
}

void waitForProcessEnd(DWORD pid, DWORD timeoutMs)
{
    sample::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (process)
        WaitForSingleObject(process.get(), timeoutMs);
}

void removeOwnFileAtRestart(const std::string& ownPath)
{
    MoveFileExW(sample::wide(ownPath).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace lmunist
