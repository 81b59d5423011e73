// Program entry of the setup program.
#include <windows.h>

#include "framework/Application.h"
#include "framework/DllSearch.h"
#include "launcher/Unit1.h"
#include "settings/ExitCodes.h"
#include "settings/ExtractionFolder.h"

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
        RemoveExtractionFolder();
        return static_cast<int>(ExitCode::OtherFailure);
    }
    // The forms are gone, and with them every file they held open.
    RemoveExtractionFolder();
    return static_cast<int>(RunOutcome());
}
