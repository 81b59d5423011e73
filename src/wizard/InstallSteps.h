#pragma once
// The installation steps, run by the wizard's forward button on the summary
// page once the final page shows.
#include <functional>
#include <string>

namespace lumora {

// The caution shown on the NT family before the ActiveX update installer
// starts (two blanks after "work" are part of the text).
extern const char* const kActiveXCaution;
// The warning shown when the ActiveX update installer does not start.
extern const char* const kActiveXNotStarted;

// Copies the screensaver and the uninstaller from the extraction folder into
// `targetFolder` (path text, no trailing backslash), both or neither (CopiesIntoPlace.h),
// shows the caution on the NT family, starts the ActiveX update installer
// and the screensaver's registration through rundll32 (neither waited for,
// their results ignored), writes the info file, then calls
// `writeUninstallRegistry`. Inputs are read afresh on each call: the
// screensaver file from the setup settings, the extraction folder of this
// run, the system's folders from the system.
// A failing step throws Error and the steps after it are skipped. The run's
// outcome (settings/ExitCodes.h) becomes Installed at the end, CopyFailed
// when the copies fail and OtherFailure when a later step does.
// With `silent`, nothing opens a window: the caution, the ActiveX update
// installer and the registration through the display settings are left out.
// Each step and its result go to the run's log.
void RunInstallationSteps(const std::string& targetFolder, const std::function<void()>& writeUninstallRegistry,
                          bool silent = false);

}  // namespace lumora
