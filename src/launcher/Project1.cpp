// Program entry of the setup program.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "base/PathEncoding.h"
#include "base/UiTexts.h"
#include "framework/Application.h"
#include "framework/DllSearch.h"
#include "framework/MessageDialog.h"
#include "launcher/InstallerLanguage.h"
#include "launcher/SetupSwitches.h"
#include "launcher/SilentSetup.h"
#include "launcher/Unit1.h"
#include "settings/ExitCodes.h"
#include "settings/ExtractionFolder.h"
#include "settings/RunLog.h"

using namespace lumora;

namespace {

// The command line's arguments but the program's name, as path text.
std::vector<std::string> ProgramArguments()
{
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide && i < count; ++i)
        args.push_back(PathFromWide(wide[i]));
    LocalFree(wide);
    return args;
}

// The wizard's run, as the program has always been run.
ExitCode RunInteractively(const SetupSwitches& switches)
{
    if (switches.help) {
        MessageDlg(Text(TextId::SwitchesHelp), mtInformation, {mbOK}, kDialogHelpContext);
        return ExitCode::Cancelled;
    }
    try {
        Application.CreateForm(MainForm);
        Application.Run();
    } catch (...) {
        // Only the making of the main window can fail this far out.
        Application.HandleException(nullptr);
        return ExitCode::OtherFailure;
    }
    return RunOutcome();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    LimitDllSearchToSystemFolder();
    Application.Initialize();
    Application.Title = "Lumora Install Program";
    SetupSwitches switches;
    try {
        switches = ParseSetupSwitches(ProgramArguments());
    } catch (const Error&) {
        // Arguments that are no text are no switches of this program.
    }
    OpenRunLog(switches.log);
    // Before any text is shown or the payload's names are read; the log
    // says why a table is refused.
    ChooseInstallerLanguage(switches.language);
    UseRecordedCodePage();
    const ExitCode code = switches.silent ? RunSilentSetup(switches) : RunInteractively(switches);
    // The forms are gone, and with them every file they held open.
    RemoveExtractionFolder();
    LogStep("exit code", std::to_string(static_cast<int>(code)));
    return static_cast<int>(code);
}
