// The random-play flag that the setup program leaves for the screensaver:
// CONTROL.INI in the Windows folder, section "Lumora Screen Saver", key
// "Rand", "1" for on and "0" for off. A missing entry means off.
#pragma once

namespace aurora {

bool readRandomPlay();

// The line the settings box shows for the flag.
const char* randomPlayText(bool randomPlay);

}  // namespace aurora
