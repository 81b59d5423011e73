#include "wizard/InstallSteps.h"

#include <windows.h>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/Application.h"
#include "framework/MessageDialog.h"
#include "settings/CmnFunc2.h"
#include "settings/ExitCodes.h"
#include "settings/ExtractionFolder.h"
#include "settings/Globals.h"
#include "settings/RunLog.h"
#include "wizard/CopiesIntoPlace.h"
#include "wizard/FmxUtils.h"
#include "wizard/InfoFile.h"
#include "wizard/InstallPaths.h"
#include "wizard/RegistrationCommand.h"

namespace lumora {

const char* const kActiveXCaution =
    "Caution for the installation of this screensaver to work  correctly in Windows 2000 or NT4 SP4+ "
    "(with IE4) you will need to install the ActiveX update that will prompt you next if you say no to "
    "this update the results may produce undesired effects";

const char* const kActiveXNotStarted =
    "The ActiveX update could not be started, and the screensaver may not work correctly without it.";

namespace {

// Every program is started in this folder and shown normally.
constexpr const char* kWorkingFolder = "c:\\";

// What the shell's answer to a start says, for the log.
std::string StartResult(std::intptr_t result)
{
    return result > 32 ? std::string("started") : "not started (shell error " + std::to_string(result) + ")";
}

}  // namespace

void RunInstallationSteps(const std::string& targetFolder, const std::function<void()>& writeUninstallRegistry,
                          bool silent)
{
    // Until the steps are through, a failure is one of their own.
    RecordOutcome(ExitCode::OtherFailure);
    const char* step = "installation";
    try {
        // The screensaver's name is the author's bytes (a setting); the files
        // and the command line take it as path text. The base name is cut
        // from the author's name, as the uninstall entry's is.
        const std::string screenSaverFile = Globals.ScreenSaverFile;
        const std::string& targetPath = targetFolder;
        const std::string screenSaverName = AuthorText(screenSaverFile);
        const InstallPaths paths = PlanInstallPaths(
            targetPath, screenSaverName, AuthorText(ScreenSaverBaseName(screenSaverFile)), ExtractionFolder());

        // Both files or neither: an uninstaller that cannot be put in place
        // leaves the screensaver installed before as it was.
        step = "copy";
        RecordOutcome(ExitCode::CopyFailed);
        // Pending paints and clicks are handled after each of the copies.
        CopyFilesIntoPlace({{paths.screenSaverSource, paths.screenSaverTarget},
                            {paths.uninstallerSource, paths.uninstallerTarget}},
                           [] { Application.ProcessMessages(); });
        RecordOutcome(ExitCode::OtherFailure);
        LogStep(step, paths.screenSaverTarget + " and " + paths.uninstallerTarget + " in place");

        // The two programs open windows of their own, so a run without
        // windows leaves them out. Otherwise they run beside the remaining
        // steps; a program that does not start is not reported.
        const ShellCommand registration =
            IsWindowsNT() ? RegistrationCommandNT(GetSystemFolder(), targetPath, screenSaverName)
                          : RegistrationCommandOther(GetWindowsFolder(), targetPath, screenSaverName);
        if (silent) {
            LogStep(kActiveXInstallerFile, "left out: it opens windows of its own");
            LogStep("screensaver registration", "left out: the display settings open a window");
        } else {
            if (IsWindowsNT())
                MessageDlg(kActiveXCaution, mtWarning, {mbOK}, kDialogHelpContext);
            const std::intptr_t activeX = ShellRun(paths.activeXInstaller, "", kWorkingFolder, SW_SHOW);
            LogStep(kActiveXInstallerFile, StartResult(activeX));
            // The caution told the user to expect it; the log says why not.
            if (activeX <= 32)
                MessageDlg(kActiveXNotStarted, mtWarning, {mbOK}, kDialogHelpContext);
            LogStep("screensaver registration",
                    StartResult(ShellRun(registration.program, registration.parameters, kWorkingFolder, SW_SHOW)));
        }

        step = "info file";
        WriteInfoFile(paths.infoFile, screenSaverFile, targetFolder);
        LogStep(step, paths.infoFile + " written");
        step = "uninstall entry";
        writeUninstallRegistry();
    } catch (const Error& e) {
        LogFailure(step, e.what(), e.Reason());
        throw;
    }
    RecordOutcome(ExitCode::Installed);
}

}  // namespace lumora
