#include "framework/WindowSubclass.h"

#include <utility>

#include "base/Error.h"
#include "framework/Application.h"
#include "framework/Win32Error.h"

namespace lumora {

namespace {

// Window property that holds the subclass object of a window.
const wchar_t kSubclassProperty[] = L"Lumora.Subclass";

}  // namespace

WindowSubclass::WindowSubclass(HWND window, Handler handler) : window_(window), handler_(std::move(handler))
{
    if (!window_ || !IsWindow(window_))
        throw Error("Cannot replace the window procedure: there is no window");
    if (!SetPropW(window_, kSubclassProperty, this))
        RaiseLastOSError("Cannot replace the window procedure");
    // A procedure of 0 is a valid answer only when the last error stays 0.
    SetLastError(0);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowSubclass::Procedure)));
    if (!previous_ && GetLastError() != 0) {
        RemovePropW(window_, kSubclassProperty);
        RaiseLastOSError("Cannot replace the window procedure");
    }
}

WindowSubclass::~WindowSubclass() { Restore(); }

void WindowSubclass::Restore()
{
    const HWND window = std::exchange(window_, nullptr);
    if (!window)
        return;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    RemovePropW(window, kSubclassProperty);
}

LRESULT WindowSubclass::CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return CallWindowProcW(previous_, window_, message, wParam, lParam);
}

LRESULT CALLBACK WindowSubclass::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowSubclass* const self = static_cast<WindowSubclass*>(GetPropW(window, kSubclassProperty));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window's last message: its own procedure comes back first, so
        // that it finishes the destruction and nothing is left to restore.
        const WNDPROC previous = self->previous_;
        self->Restore();
        return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    try {
        return self->handler_(message, wParam, lParam);
    } catch (...) {
        Application.HandleException(nullptr);
        return 0;
    }
}

}  // namespace lumora
