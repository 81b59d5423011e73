#include "framework/ShiftState.h"

namespace lumora {

TShiftState KeyDataToShiftState(LPARAM keyData)
{
    TShiftState shift;
    if (GetKeyState(VK_SHIFT) < 0)
        shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0)
        shift.Include(ssCtrl);
    if (keyData & (KF_ALTDOWN << 16))
        shift.Include(ssAlt);
    return shift;
}

}  // namespace lumora
