// The restore's default user interface on Win32: pending messages through a
// PeekMessageW loop, the error and the disk request through MessageBoxW.
#include <windows.h>

#include "archive/RestoreUi.h"
#include "base/PathEncoding.h"

namespace lumora::archive {

namespace {

class Win32RestoreUi : public RestoreUi {
public:
    void ProcessMessages() override
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Left for the application's own message loop to see.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    void ShowError(const std::string& text) override { Box(text, L"Error", MB_OK | MB_ICONERROR); }

    bool AskForDisk(const std::string& text) override
    {
        return Box(text, L"Information", MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
    }

private:
    static int Box(const std::string& text, const wchar_t* caption, UINT type)
    {
        return MessageBoxW(GetActiveWindow(), WideText(text).c_str(), caption, type);
    }
};

}  // namespace

RestoreUi& PlatformRestoreUi()
{
    static Win32RestoreUi ui;
    return ui;
}

}  // namespace lumora::archive
