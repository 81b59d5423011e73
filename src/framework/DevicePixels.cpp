#include "framework/DevicePixels.h"

#include "framework/Handles.h"
#include "framework/SystemLibrary.h"

namespace lumora {

int ScaleToDpi(int pixels, int dpi) { return MulDiv(pixels, dpi, kLayoutDpi); }

int DpiOf(HWND window)
{
    // Looked up at run time: the program starts on systems without it.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow =
        LookupFunction<GetDpiForWindowFunction>(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    if (window && getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(window))
            return static_cast<int>(dpi);
    WindowDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : kLayoutDpi;
}

}  // namespace lumora
