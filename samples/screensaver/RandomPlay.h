// The random-play flag that the setup program leaves for the screensaver,
// key "Rand", "1" for on and "0" for off: installed for the current user
// only, in the user's registry (HKEY_CURRENT_USER\Software\Lumora Screen
// Saver, a string value), else in CONTROL.INI in the Windows folder
// (section "Lumora Screen Saver"). The registry is read first. A missing
// entry means off.
#pragma once

namespace aurora {

bool readRandomPlay();

// The line the settings box shows for the flag.
const char* randomPlayText(bool randomPlay);

}  // namespace aurora
