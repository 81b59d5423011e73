#include "launcher/SilentSetup.h"

#include <optional>

#include "archive/RestoreUi.h"
#include "archive/backup.h"
#include "base/UiTexts.h"
#include "framework/Application.h"
#include "launcher/PayloadLocation.h"
#include "launcher/PayloadRestore.h"
#include "settings/Globals.h"
#include "settings/ProductInfo.h"
#include "settings/RunLog.h"
#include "wizard/InstallSteps.h"
#include "wizard/UninstallRegistry.h"

namespace lumora {

namespace {

// The restore without a window: its failures are in the log already, and a
// volume marker, which no installer's payload holds, is no disk to ask for.
class SilentRestoreUi : public archive::RestoreUi {
public:
    void ProcessMessages() override {}
    void ShowError(const std::string&) override {}
    bool AskForDisk(const std::string&) override { return false; }
};

}  // namespace

ExitCode RunSilentSetup(const SetupSwitches& switches)
{
    LogStep("setup", "without windows (/S)");
    if (switches.help)
        LogStep("/?", "failed: the list of switches is a box, and /S shows none");
    for (const std::string& unknown : switches.unknown)
        LogStep(unknown, "failed: no switch of this installer");
    if (switches.help || !switches.unknown.empty())
        return ExitCode::OtherFailure;

    std::optional<PayloadLocation> payload = LocatePayload(Application.ExeName());
    if (!payload) {
        LogFailure("payload", EnglishText(TextId::MessageCorrupted));
        return ExitCode::PayloadDamaged;
    }
    archive::TBackupFile backup;
    SilentRestoreUi ui;
    backup.SetUserInterface(&ui);
    if (const std::optional<ExitCode> failure =
            RestorePayload(*payload->stream, payload->offset, payload->end, payload->imageEnd, backup,
                           [](const char*) {}))
        return *failure;
    // Without its settings the run would install a screensaver named
    // "NONE": the payload is not what its installer was built with, and
    // nothing is written.
    if (!ReadSettingsFile())
        return ExitCode::PayloadDamaged;
    WriteRandFlag();

    // The target the folder page shows.
    const std::string target = InstallTargetFolder();
    if (!AcceptsVersion(target, true, switches.allowDowngrade))
        return ExitCode::DowngradeRefused;
    try {
        RunInstallationSteps(
            target, [&target] { WriteUninstallEntry(Globals.ScreenSaverFile, target, Product); }, true);
    } catch (const Error&) {
        // In the log already; the outcome tells the rest.
    }
    return RunOutcome();
}

}  // namespace lumora
