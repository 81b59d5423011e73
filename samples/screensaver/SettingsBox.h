// The settings box: what the screensaver shows and the random-play flag it
// read. There is nothing to change; the setup program sets the flag.
#pragma once

#include <windows.h>

namespace aurora {

// Shows the box modally, owned by `owner` when that is a window; returns
// when it is closed.
void showSettingsBox(HINSTANCE instance, HWND owner, bool randomPlay);

}  // namespace aurora
