#include "settings/Globals.h"

#include "base/AsciiText.h"

namespace lumora {

SetupSettings Globals;

bool IsSolidBackground(const SetupSettings& settings)
{
    return UpperCaseAscii(settings.SolidBackground) == "TRUE";
}

}  // namespace lumora
