// Program entry of the setup program.
#include <windows.h>

#include "framework/Application.h"
#include "framework/DllSearch.h"
#include "launcher/Unit1.h"

using namespace lumora;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    LimitDllSearchToSystemFolder();
    try {
        Application.Initialize();
        Application.Title = "Lumora Install Program";
        Application.CreateForm(MainForm);
        Application.Run();
    } catch (...) {
        // Only the making of the main window can fail this far out.
        Application.HandleException(nullptr);
        return 1;
    }
    return 0;
}
