// Lmunist.exe: the sample package's uninstaller. The setup program copies it
// beside the screensaver as B.exe; run from there it asks, then removes the
// screensaver, its information file, its uninstall entry and itself, and
// reports what it could not remove.
//   (no switch)              ask first
//   /y                       remove without asking
//   /finish PID "PATH"       the finisher's part (SelfRemoval.h)
#include <windows.h>

#include "CommandLine.h"
#include "Installation.h"
#include "Removal.h"
#include "SelfRemoval.h"
#include "SystemFolders.h"
#include "Texts.h"

namespace {

using namespace lmunist;

// How long the finisher waits for the original to end, and then for its
// file to be let go.
const DWORD kOriginalEndMs = 30000;
const unsigned kOriginalFileMs = 10000;

int showBox(const Installation& installation, const std::string& text, UINT type)
{
    return MessageBoxA(nullptr, text.c_str(), captionText(installation).c_str(), type | MB_SETFOREGROUND);
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
    removeFile(request.originalPath, outcome, kOriginalFileMs);
    removeOwnFileAtRestart(sample::moduleFileName());
    report(installation, outcome);
    return outcome.complete() ? 0 : 1;
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
    const std::vector<std::string> args = sample::processArguments();
    FinishRequest request;
    if (parseFinishRequest(args, request))
        return finish(request);

    const std::string ownPath = sample::moduleFileName();
    const Installation installation = describeInstallation(ownPath);
    if (!anythingInstalled(installation)) {
        showBox(installation, nothingInstalledText(installation), MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (!hasSwitch(args, "/y") &&
        showBox(installation, confirmText(installation), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    if (startFinisher(ownPath, installation.baseName))
        return 0;

    // Without a finisher the work is done here, and this file goes at the next restart.
    Outcome outcome;
    removeInstallation(installation, outcome);
    removeFile(ownPath, outcome);
    report(installation, outcome);
    return outcome.complete() ? 0 : 1;
}
