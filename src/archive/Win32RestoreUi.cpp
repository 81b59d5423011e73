#include "archive/Win32RestoreUi.h"

#include <windows.h>

namespace lumora::archive {

void Win32RestoreUi::ProcessMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Left for the application's own message loop to see.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Win32RestoreUi::ShowError(const std::string& text)
{
    MessageBoxA(GetActiveWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

bool Win32RestoreUi::AskForDisk(const std::string& text)
{
    return MessageBoxA(GetActiveWindow(), text.c_str(), "Information", MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
}

}  // namespace lumora::archive
