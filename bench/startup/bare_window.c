/* The least a Windows program does before its first window: register a
   class, make a maximised window and run the message loop. first_window.py
   measures it next to the installers, as the start that Wine itself costs. */
#include <windows.h>

static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    WNDCLASSA windowClass = {0};
    MSG message;
    (void)previous;
    (void)commandLine;
    (void)show;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = "BareWindow";
    RegisterClassA(&windowClass);
    ShowWindow(CreateWindowA("BareWindow", "Bare Window", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, NULL, NULL,
                             instance, NULL),
               SW_SHOWMAXIMIZED);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
