// The restore's default user interface on Win32: pending messages through a
// PeekMessageA loop, the error and the disk request through MessageBoxA.
#include <windows.h>

#include "archive/RestoreUi.h"

namespace lumora::archive {

namespace {

class Win32RestoreUi : public RestoreUi {
public:
    void ProcessMessages() override
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

    void ShowError(const std::string& text) override
    {
        MessageBoxA(GetActiveWindow(), text.c_str(), "Error", MB_OK | MB_ICONERROR);
    }

    bool AskForDisk(const std::string& text) override
    {
        return MessageBoxA(GetActiveWindow(), text.c_str(), "Information", MB_OKCANCEL | MB_ICONINFORMATION) ==
               IDOK;
    }
};

}  // namespace

RestoreUi& PlatformRestoreUi()
{
    static Win32RestoreUi ui;
    return ui;
}

}  // namespace lumora::archive
