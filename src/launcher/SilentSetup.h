#pragma once
// The installation without any window (/S), for deployment tools: what the
// wizard's forward button does on its default path, into the Windows folder,
// with the statements taken as agreed. Nothing is shown: every step and
// every failure goes to the run's log, and the outcome to the exit code.
#include "launcher/SetupSwitches.h"
#include "settings/ExitCodes.h"

namespace lumora {

ExitCode RunSilentSetup(const SetupSwitches& switches);

}  // namespace lumora
