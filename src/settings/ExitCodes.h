#pragma once
// How a run of the setup program ends: one exit code for each outcome, the
// same table for every way the program can end. The README lists them.
namespace lumora {

enum class ExitCode : int {
    Installed = 0,       // the screensaver and its uninstaller are in place
    Cancelled = 1,       // the user declined, cancelled or closed the window first
    PayloadDamaged = 2,  // the payload is missing, cut short or damaged
    RestoreFailed = 3,   // the payload could not be written out (a full disk, a refused folder)
    CopyFailed = 4,      // the screensaver or its uninstaller could not be put in place; the installed version stays
    OtherFailure = 5,    // the info file or the uninstall entry failed: the installed version was put back
    DowngradeRefused = 6,  // /S without /ALLOWDOWNGRADE over a newer version of the product, which stays
};

// What the run has come to so far: Cancelled until the installation steps
// record how they ended; the last record counts.
ExitCode RunOutcome();
void RecordOutcome(ExitCode outcome);

}  // namespace lumora
