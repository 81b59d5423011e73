#include "launcher/SetupEnd.h"

#include <windows.h>

#include "settings/ExtractionFolder.h"

namespace lumora {

void EndSetup(ExitCode code)
{
    RemoveExtractionFolder();
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace lumora
