#pragma once
// Shift states of keyboard messages.
#include <windows.h>

#include "framework/Events.h"

namespace lumora {

// Shift and Ctrl from the keyboard state of the message being handled; Alt
// from the key data's context bit (bit 29), which the system sets on
// WM_SYSKEYDOWN while Alt is held.
TShiftState KeyDataToShiftState(LPARAM keyData);

}  // namespace lumora
