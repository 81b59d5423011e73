// Install.exe: the sample package's stand-in for the ActiveX update
// installer. It finds nothing to update, says so, and leaves a trace
// (Trace.h) so that a test can tell it has run.
#include <windows.h>

#include "Trace.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    activex::appendTrace();
    MessageBoxA(nullptr,
                "The ActiveX components that the screensaver needs are already installed on this computer. "
                "Nothing needs to be updated.",
                "Lumora ActiveX update", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
    return 0;
}
