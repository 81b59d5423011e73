// A running program cannot delete its own file. The uninstaller therefore
// hands the work to a copy of itself in the temporary folder: the copy
// (the finisher) waits until the original has ended, removes the
// installation and the original file, and reports. The copy's own file is
// left to the system to remove at the next restart.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lmunist {

// The finisher's switch: FINISH_SWITCH PID "ORIGINAL PATH" [/LOG=FILE].
extern const char kFinishSwitch[];

struct FinishRequest {
    DWORD originalPid = 0;
    std::string originalPath;
    std::string logFile;  // empty: no log
};

// True when `args` (program name first) ask for the finisher; fills `request`.
bool parseFinishRequest(const std::vector<std::string>& args, FinishRequest& request);

// Copies this program (`ownPath`) into the temporary folder and starts the
// copy as the finisher for this process, writing the log `logFile` (none
// when empty). False when that failed.
bool startFinisher(const std::string& ownPath, const std::string& baseName, const std::string& logFile);

// Waits, at most `timeoutMs`, until the process `pid` has ended.
void waitForProcessEnd(DWORD pid, DWORD timeoutMs);

// Asks the system to remove this program's file at the next restart.
void removeOwnFileAtRestart(const std::string& ownPath);

}  // namespace lmunist
