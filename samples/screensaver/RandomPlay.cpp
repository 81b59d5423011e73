#include "RandomPlay.h"

#include <windows.h>

#include <cwchar>

namespace aurora {

bool readRandomPlay()
{
    wchar_t value[16] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Lumora Screen Saver", L"Rand", RRF_RT_REG_SZ, nullptr, value,
                     &size) == ERROR_SUCCESS)
        return std::wcstol(value, nullptr, 10) != 0;
    return GetPrivateProfileIntA("Lumora Screen Saver", "Rand", 0, "CONTROL.INI") != 0;
}

const char* randomPlayText(bool randomPlay)
{
    return randomPlay ? "Random play: on" : "Random play: off";
}

}  // namespace aurora
