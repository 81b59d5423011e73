// Lmunist.exe: the sample package's uninstaller. The setup program copies it
// beside the screensaver as B.exe; run from there it asks, then removes the
// screensaver, its information file, its uninstall entry and itself (and,
// installed for the current user only, its folder once empty), and reports
// what it could not remove.
//   (no switch)              ask first
//   /y                       remove without asking
//   /S                       remove without a window or a question, for
//                            deployment tools (the uninstall entry's
//                            QuietUninstallString); exit code 0 when
//                            everything was removed
//   /LOG=FILE                with any of the above: what was left and how it
//                            ended, appended to FILE
//   /finish PID "PATH" [/LOG=FILE]  the finisher's part (SelfRemoval.h)
#include <windows.h>

#include "CommandLine.h"
#include "Installation.h"
#include "Removal.h"
#include "RemovalLog.h"
#include "SelfRemoval.h"
#include "SystemFolders.h"
#include "Text.h"
#include "Texts.h"

namespace {

using namespace lmunist;

// How long the finisher waits for the original to end, and then for its
// file to be let go.
const DWORD kOriginalEndMs = 30000;
const unsigned kOriginalFileMs = 10000;

int showBox(const Installation& installation, const std::string& text, UINT type)
{
    return MessageBoxW(nullptr, sample::wide(text).c_str(), sample::wide(captionText(installation)).c_str(),
                       type | MB_SETFOREGROUND);
}

void report(const Installation& installation, const Outcome& outcome)
{
    showBox(installation, reportText(installation, outcome),
            outcome.complete() ? MB_ICONINFORMATION : MB_ICONWARNING);
}

int finish(const FinishRequest& request)
{
    waitForProcessEnd(request.originalPid, kOriginalEndMs);
    const Installation installation = describeInstallation(request.originalPath);
    Outcome outcome;
    removeInstallation(installation, outcome);
    removeFile(request.originalPath, outcome, kOriginalFileMs, !installation.perUser);
    removeEmptyFolder(installation);
    // For the current user only, this copy stays in the temporary folder.
    if (!installation.perUser)
        removeOwnFileAtRestart(sample::moduleFileName());
    writeRemovalLog(request.logFile, installation, outcome, outcome.complete() ? 0 : 1);
    report(installation, outcome);
    return outcome.complete() ? 0 : 1;
}

// Without a window the work is done here, so that the exit code tells how it
// ended. This program's own file cannot be deleted while it runs; it leaves
// the installation's folder for the temporary folder, where the system
// deletes it at the next restart (installed for the current user only, it
// stays there).
int removeQuietly(const Installation& installation, const std::string& ownPath, const std::string& logFile)
{
    Outcome outcome;
    removeInstallation(installation, outcome);
    if (!DeleteFileW(sample::wide(ownPath).c_str())) {
        const std::string parked = sample::tempFolder() + installation.baseName + "-removed-" +
                                   std::to_string(GetCurrentProcessId()) + ".exe";
        if (MoveFileExW(sample::wide(ownPath).c_str(), sample::wide(parked).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) {
            if (!installation.perUser)
                removeOwnFileAtRestart(parked);
        } else {
            outcome.notRemoved.push_back(ownPath);
        }
    }
    removeEmptyFolder(installation);
    const int exitCode = outcome.complete() ? 0 : 1;
    writeRemovalLog(logFile, installation, outcome, exitCode);
    return exitCode;
}

bool hasSwitch(const std::vector<std::string>& args, const char* name)
{
    for (std::vector<std::string>::size_type i = 1; i < args.size(); ++i) {
        if (sample::equalsIgnoringCase(args[i], name))
            return true;
    }
    return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    chooseLanguage();
    const std::vector<std::string> args = sample::processArguments();
    FinishRequest request;
    if (parseFinishRequest(args, request))
        return finish(request);

    const std::string ownPath = sample::moduleFileName();
    const Installation installation = describeInstallation(ownPath);
    const bool quiet = hasSwitch(args, "/S");
    const std::string logFile = logFileArgument(args);
    if (!anythingInstalled(installation)) {
        writeRemovalLog(logFile, installation, Outcome(), 0);
        if (!quiet)
            showBox(installation, nothingInstalledText(installation), MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (quiet)
        return removeQuietly(installation, ownPath, logFile);
    if (!hasSwitch(args, "/y") &&
        showBox(installation, confirmText(installation), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    if (startFinisher(ownPath, installation.baseName, logFile))
        return 0;

    // Without a finisher the work is done here, and this file goes at the next restart.
    Outcome outcome;
    removeInstallation(installation, outcome);
    removeFile(ownPath, outcome, 0, !installation.perUser);
    removeEmptyFolder(installation);
    writeRemovalLog(logFile, installation, outcome, outcome.complete() ? 0 : 1);
    report(installation, outcome);
    return outcome.complete() ? 0 : 1;
}
