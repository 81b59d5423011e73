#pragma once
// Replaces the window procedure of a window this program did not make (a
// system window such as an MDI client) for as long as this object lives.
// The previous procedure is kept; the owner's handler passes messages on to
// it with CallPrevious(). The previous procedure is put back when the object
// goes, or as the window is destroyed, whichever comes first.
//
// Exceptions must not unwind through the system's frames: one that leaves the
// handler is given to the application's standard error box, and the message
// is answered with 0.
#include <windows.h>

#include <functional>

namespace lumora {

class WindowSubclass {
public:
    using Handler = std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)>;

    // Installs `handler` as the window procedure of `window`. Throws Error
    // when the window does not exist or its procedure cannot be replaced.
    WindowSubclass(HWND window, Handler handler);
    ~WindowSubclass();
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;

    // Null once the window has been destroyed.
    HWND Window() const { return window_; }
    WNDPROC PreviousProcedure() const { return previous_; }
    // Hands a message to the kept procedure and returns its answer.
    LRESULT CallPrevious(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Restore();

    HWND window_;
    Handler handler_;
    WNDPROC previous_ = nullptr;
};

}  // namespace lumora
