#include "wizard/InstallSteps.h"

#include <windows.h>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "base/UiTexts.h"
#include "framework/Application.h"
#include "framework/MessageDialog.h"
#include "framework/Registry.h"
#include "framework/Win32Error.h"
#include "settings/CmnFunc2.h"
#include "settings/ExitCodes.h"
#include "settings/ExtractionFolder.h"
#include "settings/Globals.h"
#include "settings/InstallScope.h"
#include "settings/ProductInfo.h"
#include "settings/RunLog.h"
#include "wizard/CopiesIntoPlace.h"
#include "wizard/EarlierInstallation.h"
#include "wizard/FmxUtils.h"
#include "wizard/InOutError.h"
#include "wizard/InfoFile.h"
#include "wizard/InstallPaths.h"
#include "wizard/RegistrationCommand.h"
#include "wizard/UninstallRegistry.h"
#include "wizard/UninstallValues.h"

namespace lumora {

namespace {

// Every program is started in this folder and shown normally.
constexpr const char* kWorkingFolder = "c:\\";

// What the shell's answer to a start says, for the log.
std::string StartResult(std::intptr_t result)
{
    return result > 32 ? std::string("started") : "not started (shell error " + std::to_string(result) + ")";
}

}  // namespace

std::string InstallTargetFolder()
{
    return ScopeFolder(
        ProductFolderName(AuthorText(Product.Product), AuthorText(ScreenSaverBaseName(Globals.ScreenSaverFile))));
}

bool AcceptsVersion(const std::string& targetFolder, bool silent, bool allowDowngrade)
{
    const std::string installed = InstalledProductVersion(Globals.ScreenSaverFile, targetFolder);
    const std::string version = AuthorText(Product.Version);
    if (!IsDowngrade(installed, version))
        return true;
    const bool yes = silent ? allowDowngrade
                            : MessageDlg(FormatText(Text(TextId::MessageDowngrade), {installed, version}), mtConfirmation,
                                         {mbYes, mbNo}, kDialogHelpContext) == mrYes;
    LogStep("downgrade", installed + " to " + version + (yes ? ": allowed" : ": refused"));
    return yes;
}

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

        // The programs, the info file and the uninstall entry change
        // together, or not at all: no program is left without its info file
        // and entry, and a failure puts back the version installed before.
        step = "copy";
        RecordOutcome(ExitCode::CopyFailed);
        // Without a folder the files would go to the root of the drive.
        if (targetFolder.empty()) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            RaiseWithSystemReason("Cannot create file ", screenSaverName);
        }
        MakeScopeFolder(targetFolder);
        // An earlier installation of the product under another name goes
        // with the group: its files that this one does not replace, and its
        // entry.
        const EarlierProduct earlier =
            FindEarlierProduct(AuthorText(Product.ProductId), UninstallEntryName(screenSaverFile), targetFolder, paths);
        FilesIntoPlace files({paths.screenSaverTarget, paths.uninstallerTarget, paths.infoFile}, screenSaverFile,
                             earlier.files, earlier.entry);
        files.ClaimTargets(EarlierInstallationFiles(screenSaverFile, targetFolder, paths));
        const std::string* const sources[] = {&paths.screenSaverSource, &paths.uninstallerSource};
        for (std::size_t i = 0; i < 2; ++i) {
            if (!files.Prepare(i))
                RaiseWithSystemReason("Cannot create file ", files.Target(i));
            CopyFileByChunks(*sources[i], files.NewFile(i), files.Target(i));
            // Pending paints and clicks are handled after each of the copies.
            Application.ProcessMessages();
        }
        for (std::size_t i = 3; i < files.Count(); ++i)
            if (!files.Prepare(i))
                RaiseWithSystemReason("Cannot create file ", files.Target(i));
        step = "info file";
        RecordOutcome(ExitCode::OtherFailure);
        if (!files.Prepare(2))
            throw InOutError(GetLastError());
        WriteInfoFile(files.NewFile(2), screenSaverFile, targetFolder);
        step = "uninstall entry";
        files.KeepUninstallEntries();

        step = "copy";
        RecordOutcome(ExitCode::CopyFailed);
        files.WriteJournal();
        for (std::size_t i = 0; i < 2; ++i)
            if (!files.Place(i))
                RaiseWithSystemReason("Cannot create file ", files.Target(i));
        LogStep(step, paths.screenSaverTarget + " and " + paths.uninstallerTarget + " in place");
        step = "info file";
        RecordOutcome(ExitCode::OtherFailure);
        if (!files.Place(2))
            throw InOutError(GetLastError());
        LogStep(step, paths.infoFile + " written");
        for (std::size_t i = 3; i < files.Count(); ++i)
            if (!files.Place(i))
                RaiseWithSystemReason("Cannot delete file ", files.Target(i));
        step = "uninstall entry";
        writeUninstallRegistry();
        if (!earlier.entry.empty()) {
            if (!TRegistryKey::DeleteTree(ScopeRoot(), UninstallEntryPathOf(earlier.entry)))
                throw Error("Failed to delete key " + earlier.entry);
            LogStep("earlier installation", earlier.entry + " replaced");
        }
        files.Commit();
        RecordOutcome(ExitCode::Installed);
        step = "installation";

        // Nothing from here on is undone, so the two programs, which cannot
        // be called back once started, start only now. They open windows
        // of their own, so a run without windows leaves them out. Otherwise
        // they run beside the rest of the setup; a program that does not
        // start is only logged.
        const ShellCommand registration =
            IsWindowsNT() ? RegistrationCommandNT(GetSystemFolder(), targetPath, screenSaverName)
                          : RegistrationCommandOther(GetWindowsFolder(), targetPath, screenSaverName);
        if (silent) {
            LogStep(kActiveXInstallerFile, "left out: it opens windows of its own");
            LogStep("screensaver registration", "left out: the display settings open a window");
        } else {
            if (IsWindowsNT())
                MessageDlg(Text(TextId::MessageActivexCaution), mtWarning, {mbOK}, kDialogHelpContext);
            LogStep(kActiveXInstallerFile, StartResult(ShellRun(paths.activeXInstaller, "", kWorkingFolder, SW_SHOW)));
            LogStep("screensaver registration",
                    StartResult(ShellRun(registration.program, registration.parameters, kWorkingFolder, SW_SHOW)));
        }
    } catch (const Error& e) {
        LogFailure(step, e.what(), e.Reason());
        throw;
    }
}

}  // namespace lumora
