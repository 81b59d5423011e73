#pragma once
// Ending the setup program early, for a failure after which nothing is left
// to show: the extraction folder is removed, then the process ends with the
// failure's code.
#include "settings/ExitCodes.h"

namespace lumora {

[[noreturn]] void EndSetup(ExitCode code);

}  // namespace lumora
