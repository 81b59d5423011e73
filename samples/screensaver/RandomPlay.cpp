#include "RandomPlay.h"

#include <windows.h>

namespace aurora {

bool readRandomPlay()
{
    return GetPrivateProfileIntA("Lumora Screen Saver", "Rand", 0, "CONTROL.INI") != 0;
}

const char* randomPlayText(bool randomPlay)
{
    return randomPlay ? "Random play: on" : "Random play: off";
}

}  // namespace aurora
