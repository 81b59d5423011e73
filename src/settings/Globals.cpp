#include "settings/Globals.h"

#include "base/AsciiText.h"
#include "settings/InstallScope.h"
#include "settings/ProductInfo.h"

namespace lumora {

SetupSettings Globals;
ProductInfo Product;
bool InstallsPerUser = false;

bool IsSolidBackground(const SetupSettings& settings)
{
    return UpperCaseAscii(settings.SolidBackground) == "TRUE";
}

}  // namespace lumora
