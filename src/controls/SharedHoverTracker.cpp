#include "controls/SharedHoverTracker.h"

#include <windows.h>

#include "framework/Application.h"
#include "framework/Win32Error.h"

namespace lumora {

namespace {

void CALLBACK HoverTimerTick(HWND, UINT, UINT_PTR, DWORD)
{
    // Called from the message loop's dispatch: nothing may unwind into it.
    try {
        ButtonHoverTracker().Tick();
    } catch (...) {
        Application.HandleException(nullptr);
    }
}

class Win32HoverEnvironment final : public HoverEnvironment {
public:
    void StartTimer() override
    {
        timer_ = SetTimer(nullptr, 0, kHoverInterval, HoverTimerTick);
        if (!timer_)
            RaiseLastOSError("Cannot start the buttons' hover timer");
    }

    void StopTimer() override
    {
        if (timer_)
            KillTimer(nullptr, timer_);
        timer_ = 0;
    }

    bool ApplicationActive() override
    {
        const HWND foreground = GetForegroundWindow();
        DWORD process = 0;
        return foreground && GetWindowThreadProcessId(foreground, &process) && process == GetCurrentProcessId();
    }

private:
    UINT_PTR timer_ = 0;
};

}  // namespace

HoverTracker& ButtonHoverTracker()
{
    static Win32HoverEnvironment* const environment = new Win32HoverEnvironment;
    static HoverTracker* const tracker = new HoverTracker(*environment);
    return *tracker;
}

}  // namespace lumora
