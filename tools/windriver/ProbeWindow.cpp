#include "ProbeWindow.h"

#include <windows.h>

#include "Failure.h"
#include "Output.h"

namespace windriver {

namespace {

const wchar_t kClassName[] = L"WindriverProbe";

LRESULT CALLBACK probeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

void probeWindow(const Args& args, JsonWriter& out)
{
    expectCount(args, 1, 1, "window TITLE");
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = probeProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = kClassName;
    if (!RegisterClassW(&wc))
        throw systemFailure("RegisterClass");
    const HWND window = CreateWindowW(kClassName, args[0].c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                      320, 200, nullptr, nullptr, instance, nullptr);
    if (!window)
        throw systemFailure("CreateWindow");
    out.beginObject();
    out.key("hwnd");
    out.value(static_cast<int64_t>(reinterpret_cast<uintptr_t>(window)));
    out.endObject();
    printNow(out);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace windriver
