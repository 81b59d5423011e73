#pragma once
// The logical palette of the main window's backdrop: 64 blues from 255 down.
#include <windows.h>

#include "framework/Handles.h"

namespace lumora {

constexpr int kBackgroundPaletteSize = 64;

// Version 0x300, 64 entries, flags 0; entry i is red 0, green 0, blue
// 255 - 4i. Throws Error when the system cannot make it.
GdiObject<HPALETTE> MakeBackgroundPalette();

}  // namespace lumora
