#include "SettingsBox.h"

#include "RandomPlay.h"
#include "resource.h"

namespace aurora {

namespace {

INT_PTR CALLBACK settingsProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_RANDOM_PLAY, randomPlayText(lparam != 0));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wparam));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

void showSettingsBox(HINSTANCE instance, HWND owner, bool randomPlay)
{
    if (owner && !IsWindow(owner))
        owner = nullptr;
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, settingsProc, randomPlay ? 1 : 0);
}

}  // namespace aurora
