#include "launcher/SetupEnd.h"

#include <windows.h>

#include "settings/ExtractionFolder.h"
#include "settings/RunLog.h"

namespace lumora {

void EndSetup(ExitCode code)
{
    RemoveExtractionFolder();
    LogStep("exit code", std::to_string(static_cast<int>(code)));
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace lumora
