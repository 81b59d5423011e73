#include "wizard/InstallSteps.h"

#include <windows.h>

#include "base/PathEncoding.h"
#include "framework/Application.h"
#include "framework/MessageDialog.h"
#include "settings/CmnFunc2.h"
#include "settings/ExitCodes.h"
#include "settings/ExtractionFolder.h"
#include "settings/Globals.h"
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

namespace {

// Every program is started in this folder and shown normally.
constexpr const char* kWorkingFolder = "c:\\";

}  // namespace

void RunInstallationSteps(const std::string& targetFolder, const std::function<void()>& writeUninstallRegistry)
{
    // Until the steps are through, a failure is one of their own.
    RecordOutcome(ExitCode::OtherFailure);
    // The target folder and the screensaver's name are 8-bit text (a caption
    // and a setting); the files and the command line take them as path text.
    // The base name is cut from the 8-bit name, as the uninstall entry's is.
    const std::string screenSaverFile = Globals.ScreenSaverFile;
    const std::string targetPath = PathFromAnsi(targetFolder);
    const std::string screenSaverName = PathFromAnsi(screenSaverFile);
    const InstallPaths paths = PlanInstallPaths(targetPath, screenSaverName,
                                                PathFromAnsi(ScreenSaverBaseName(screenSaverFile)), ExtractionFolder());

    // Both files or neither: an uninstaller that cannot be put in place
    // leaves the screensaver installed before as it was.
    try {
        CopyFilesIntoPlace({{paths.screenSaverSource, paths.screenSaverTarget},
                            {paths.uninstallerSource, paths.uninstallerTarget}});
    } catch (...) {
        RecordOutcome(ExitCode::CopyFailed);
        throw;
    }
    // Pending paints and clicks are handled once the copies are in place.
    Application.ProcessMessages();

    const bool nt = IsWindowsNT();
    if (nt)
        MessageDlg(kActiveXCaution, mtWarning, {mbOK}, kDialogHelpContext);

    // The started programs run beside the remaining steps; a program that
    // does not start is not reported.
    ShellRun(paths.activeXInstaller, "", kWorkingFolder, SW_SHOW);
    const ShellCommand registration =
        nt ? RegistrationCommandNT(GetSystemFolder(), targetPath, screenSaverName)
           : RegistrationCommandOther(GetWindowsFolder(), targetPath, screenSaverName);
    ShellRun(registration.program, registration.parameters, kWorkingFolder, SW_SHOW);

    WriteInfoFile(paths.infoFile, screenSaverFile, targetFolder);
    writeUninstallRegistry();
    RecordOutcome(ExitCode::Installed);
}

}  // namespace lumora
